// Drives the settings window of a running Korvane.exe from outside, as a
// user would: clicks, keys and choices, and reads back what its controls
// show. One command per run; prints plain lines for the Python tests.
//
//   settings_driver wait <timeout ms>     a settings window is shown; prints "settings <handle>"
//   settings_driver gone <timeout ms>     no settings window is left; prints "gone" or "still-there"
//   settings_driver state                 the window ("page", "title", "client") and one line per
//                                         control: "control <id> <class> <visible> <check> <row> <text>"
//   settings_driver click <id>            a left click in the middle of a control
//   settings_driver page <n>              a click on row n of the navigation list
//   settings_driver choose <id> <row>     picks a row of a combo box, as the user does
//   settings_driver settext <id> <file>   sets a control's text to a UTF-8 file's content (WM_SETTEXT)
//   settings_driver focus <id>            the window to the front and the focus into a control
//   settings_driver keys <key>...         real key presses: "text:<characters>", or a combination
//                                         of names and letters joined by "+" (ctrl+shift+k, tab,
//                                         enter, esc, back, del, f12, home, end)
//   settings_driver shot <png file>       what the screen shows of the window; prints
//                                         "at client|<control id>|nav-row|page-row left top
//                                         right bottom", where they are in the picture
//   settings_driver close                 WM_CLOSE, as the title bar's close button sends

#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/pixels.h"
#include "support/remote_window.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kNavRowHeight = 40;

HWND settings_window() {
    HWND found = nullptr;
    for (HWND w = FindWindowW(kSettingsWindowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, kSettingsWindowClass, nullptr))
        if (IsWindowVisible(w)) found = w;
    return found;
}

LRESULT send(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

// One line per control: line breaks of multi-line labels become blanks.
std::string text_of(HWND hwnd) {
    std::string text = utf8_from_wide(testsupport::remote_text(hwnd));
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string class_of(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return utf8_from_wide(cls);
}

HWND control(HWND window, int id) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

int state(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::printf("page %d\n", static_cast<int>(send(control(window, kIdSettingsNav), LB_GETCURSEL)));
    std::printf("title %s\n", text_of(window).c_str());
    std::printf("client %ld %ld\n", client.right, client.bottom);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = class_of(child);
        long check = 0, row = -1;
        if (cls == "Button") check = static_cast<long>(send(child, BM_GETCHECK));
        if (cls == "ComboBox") row = static_cast<long>(send(child, CB_GETCURSEL));
        if (cls == "ListBox") row = static_cast<long>(send(child, LB_GETCURSEL));
        std::printf("control %d %s %d %ld %ld %s\n", GetDlgCtrlID(child), cls.c_str(), IsWindowVisible(child) ? 1 : 0,
                    check, row, text_of(child).c_str());
    }
    return 0;
}

void post_click(HWND target, POINT client_point) {
    const LPARAM at = MAKELPARAM(client_point.x, client_point.y);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(target, WM_LBUTTONUP, 0, at);
}

int click(HWND window, int id) {
    HWND target = control(window, id);
    if (!target) {
        std::printf("no-control\n");
        return 1;
    }
    RECT r{};
    GetClientRect(target, &r);
    post_click(target, POINT{r.right / 2, r.bottom / 2});
    std::printf("clicked\n");
    return 0;
}

int page(HWND window, int row) {
    HWND nav = control(window, kIdSettingsNav);
    if (!nav) return probe::give_up(1, "no page list");
    post_click(nav, POINT{60, row * kNavRowHeight + kNavRowHeight / 2});
    std::printf("clicked\n");
    return 0;
}

int choose(HWND window, int id, int row) {
    HWND combo = control(window, id);
    if (!combo) return probe::give_up(1, "no such combo box");
    send(combo, CB_SETCURSEL, static_cast<WPARAM>(row));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    std::printf("chosen\n");
    return 0;
}

int set_text(HWND window, int id, const std::wstring& file) {
    HWND target = control(window, id);
    if (!target) return probe::give_up(1, "no such control");
    const std::wstring text = wide_from_utf8(testsupport::read_bytes(file));
    send(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    std::printf("set %zu\n", text.size());
    return 0;
}

int focus(HWND window, int id) {
    HWND target = id ? control(window, id) : window;
    const DWORD own = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(own, theirs, TRUE);
    SetForegroundWindow(window);
    SetFocus(target);
    AttachThreadInput(own, theirs, FALSE);
    Sleep(100);
    std::printf("focused\n");
    return 0;
}

int shot(HWND window, const std::wstring& path) {
    RECT r{};
    GetWindowRect(window, &r);
    testsupport::PixelImage image(r.right - r.left, r.bottom - r.top);
    testsupport::capture_screen(r, image);
    if (!image.save_png(path)) return probe::give_up(1, "the picture was not saved");
    std::printf("saved %ld %ld\n", r.right - r.left, r.bottom - r.top);
    // Where the client area and each shown control are in the picture.
    const auto print_at = [&](const char* what, HWND hwnd) {
        RECT box{};
        GetClientRect(hwnd, &box);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&box), 2);
        std::printf("at %s %ld %ld %ld %ld\n", what, box.left - r.left, box.top - r.top, box.right - r.left,
                    box.bottom - r.top);
    };
    print_at("client", window);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child)) print_at(std::to_string(GetDlgCtrlID(child)).c_str(), child);
    // The navigation's rows, the page's own as "at page-row".
    HWND nav = control(window, kIdSettingsNav);
    const LRESULT shown = send(nav, LB_GETCURSEL);
    for (LRESULT row = 0, rows = send(nav, LB_GETCOUNT); row < rows; ++row) {
        RECT box{};
        SendMessageW(nav, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&box));
        MapWindowPoints(nav, nullptr, reinterpret_cast<POINT*>(&box), 2);
        std::printf("at %s %ld %ld %ld %ld\n", row == shown ? "page-row" : "nav-row", box.left - r.left,
                    box.top - r.top, box.right - r.left, box.bottom - r.top);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return probe::bad_arguments();
    const std::string cmd = argv[1];
    const auto number = [&](int i) { return static_cast<int>(std::strtol(argv[i], nullptr, 0)); };
    if (cmd == "wait" && argc >= 3) return probe::wait_shown(settings_window, number(2), "settings", "no-settings");
    if (cmd == "gone" && argc >= 3) return probe::wait_gone(settings_window, number(2));
    HWND window = settings_window();
    if (!window) {
        std::printf("no-settings\n");
        return 1;
    }
    if (cmd == "state") return state(window);
    if (cmd == "click" && argc >= 3) return click(window, number(2));
    if (cmd == "page" && argc >= 3) return page(window, number(2));
    if (cmd == "choose" && argc >= 4) return choose(window, number(2), number(3));
    if (cmd == "settext" && argc >= 4) return set_text(window, number(2), testsupport::command_line_args()[3]);
    if (cmd == "focus" && argc >= 3) return focus(window, number(2));
    if (cmd == "keys") return probe::type_keys(argc - 2, argv + 2);
    if (cmd == "shot" && argc >= 3) return shot(window, testsupport::command_line_args()[2]);
    if (cmd == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : probe::give_up(1, "WM_CLOSE not posted");
    return probe::bad_arguments();
}
