// Looks at a running Korvane.exe from outside, as another program would:
// its main window, the messages it takes, the global hotkeys it holds and the
// balloons the notification area shows. One command per run; prints plain
// "key value" lines for the Python tests to read.
//
//   app_probe wait-window <timeout ms>     the main window exists and answers
//   app_probe window                       its state: visible, rect, topmost, count
//   app_probe post <msg> <wparam> <lparam> PostMessageW to the main window
//   app_probe move <x> <y>                 moves the main window, as a drag would
//   app_probe second-start <window>        starts against that window as a second Korvane
//                                          does; the exit code is the process id granted
//                                          the foreground, 0 for none
//   app_probe wait-gone <timeout ms>       the main window is gone
//   app_probe hotkey <mods> <vk>...        "free" or "taken" for each pair
//   app_probe hold <mods> <vk>             registers the pair, prints "held", keeps
//                                          it until stdin closes
//   app_probe balloons                     the texts of the tooltip windows shown
//   app_probe autostart on|off|query       switches ("set 1" when done) or reads the Run value
//   app_probe dialogs                      title and texts of the program's dialog boxes
//   app_probe answer-dialog <file name>    fills the file name of the program's file
//                                          dialog and presses its OK button
//   app_probe dismiss-dialog [IDOK|IDCANCEL] presses a button of every dialog box shown
//   app_probe rows <control id>            the rows of a list box of the main window:
//                                          "row <index> <item data> <selected> <hex of UTF-8 text>"
//   app_probe click-row <control id> <row> [right]
//                                          brings the window up and clicks the middle of the row

#include "app/program.h"
#include "config/file_locations.h"
#include "helpers/probe_util.h"
#include "services/autostart.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/remote_window.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

long number(const char* text) { return std::strtol(text, nullptr, 0); }

HWND main_window() { return FindWindowW(kMainWindowClass, nullptr); }

BOOL CALLBACK count_main(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == kMainWindowClass) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int show_window_state() {
    HWND hwnd = main_window();
    if (!hwnd) {
        std::printf("no-window\n");
        return 1;
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    int count = 0;
    EnumWindows(count_main, reinterpret_cast<LPARAM>(&count));
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    std::printf("visible %d\n", IsWindowVisible(hwnd) ? 1 : 0);
    std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::printf("topmost %d\n", (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    std::printf("count %d\n", count);
    std::printf("foreground %d\n", GetForegroundWindow() == hwnd ? 1 : 0);
    return 0;
}

int post(UINT msg, WPARAM wparam, LPARAM lparam) {
    HWND hwnd = main_window();
    if (!hwnd) {
        std::printf("no-window\n");
        return 1;
    }
    std::printf(PostMessageW(hwnd, msg, wparam, lparam) ? "posted\n" : "not-posted\n");
    return 0;
}

int second_start(HWND running) {
    static DWORD granted = 0;
    show_running_instance(running, [](DWORD process) -> BOOL { return granted = process, TRUE; });
    return static_cast<int>(granted);
}

int move(int x, int y) {
    HWND hwnd = main_window();
    if (!hwnd) {
        std::printf("no-window\n");
        return 1;
    }
    std::printf(SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? "moved\n"
                                                                                                    : "not-moved\n");
    return 0;
}

int hotkeys(int argc, char** argv) {
    for (int i = 0; i + 1 < argc; i += 2) {
        const UINT mods = static_cast<UINT>(number(argv[i]));
        const UINT vk = static_cast<UINT>(number(argv[i + 1]));
        const bool free = RegisterHotKey(nullptr, 0x4000 + i, mods, vk) != FALSE;
        if (free) UnregisterHotKey(nullptr, 0x4000 + i);
        std::printf("%s\n", free ? "free" : "taken");
    }
    return 0;
}

int hold(UINT mods, UINT vk) {
    if (!RegisterHotKey(nullptr, 0x4100, mods, vk)) {
        std::printf("not-held\n");
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    char buffer[64];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    UnregisterHotKey(nullptr, 0x4100);
    return 0;
}

int balloons() {
    for (const auto& tip : testsupport::tooltip_texts())
        std::printf("tooltip %d %s\n", tip.visible ? 1 : 0, utf8_from_wide(tip.text).c_str());
    return 0;
}

// The visible dialog boxes (class #32770) of the process that owns the main window.
std::vector<HWND> program_dialogs() { return testsupport::windows_of_process(main_window(), L"#32770"); }

int dialogs() {
    for (HWND dialog : program_dialogs()) {
        std::printf("dialog %s\n", utf8_from_wide(testsupport::remote_text(dialog)).c_str());
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64] = {};
            GetClassNameW(child, cls, 64);
            if (std::wstring(cls) != L"Static") continue;
            const std::wstring text = testsupport::remote_text(child);
            if (!text.empty()) std::printf("text %s\n", utf8_from_wide(text).c_str());
        }
    }
    return 0;
}

// The file name box of the common file dialogs: the combo box 0x47C (or its
// edit), or the plain edit 0x480 of the older layout.
int answer_dialog(const std::wstring& file) {
    for (HWND dialog : program_dialogs()) {
        HWND box = GetDlgItem(dialog, 0x47C);
        if (!box) box = GetDlgItem(dialog, 0x480);
        if (!box) continue;
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        std::printf("answered\n");
        return 0;
    }
    std::printf("no-file-dialog\n");
    return 1;
}

int dismiss_dialogs(WPARAM button) {
    int n = 0;
    for (HWND dialog : program_dialogs()) {
        PostMessageW(dialog, WM_COMMAND, button, 0);
        ++n;
    }
    std::printf("dismissed %d\n", n);
    return 0;
}

HWND main_child(int id) {
    HWND main = main_window();
    return main ? GetDlgItem(main, id) : nullptr;
}

// Read with the list's own messages, which reach into the other process.
int rows(int id) {
    HWND list = main_child(id);
    if (!list) {
        std::printf("no-list\n");
        return 1;
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT current = SendMessageW(list, LB_GETCURSEL, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        const long long data = static_cast<long long>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
        const bool selected = row == current || SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
        std::printf("row %ld %lld %d %s\n", static_cast<long>(row), data, selected ? 1 : 0,
                    probe::hex(probe::row_text(list, static_cast<int>(row))).c_str());
    }
    return 0;
}

int click_row(int id, int row, bool right) {
    HWND list = main_child(id);
    if (!list) {
        std::printf("no-list\n");
        return 1;
    }
    SetForegroundWindow(main_window());
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0));
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    const POINT point = testsupport::to_screen(list, POINT{client.right / 2, (row - top) * height + height / 2});
    testsupport::click_at(point, right);
    std::printf("clicked %ld %ld\n", point.x, point.y);
    return 0;
}

int autostart(const std::string& what) {
    if (what == "on" || what == "off") std::printf("set %d\n", set_autostart(what == "on", exe_path()) ? 1 : 0);
    std::printf("enabled %d\n", is_autostart_enabled() ? 1 : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return probe::bad_arguments();
    const std::string cmd = argv[1];
    if (cmd == "wait-window" && argc >= 3)
        return probe::wait_shown(main_window, number(argv[2]), "window", "no-window");
    if (cmd == "wait-gone" && argc >= 3) return probe::wait_gone(main_window, number(argv[2]));
    if (cmd == "window") return show_window_state();
    if (cmd == "post" && argc >= 5)
        return post(static_cast<UINT>(number(argv[2])), static_cast<WPARAM>(std::strtoull(argv[3], nullptr, 0)),
                    static_cast<LPARAM>(std::strtoll(argv[4], nullptr, 0)));
    if (cmd == "second-start" && argc >= 3)
        return second_start(reinterpret_cast<HWND>(static_cast<intptr_t>(std::strtoll(argv[2], nullptr, 0))));
    if (cmd == "move" && argc >= 4) return move(static_cast<int>(number(argv[2])), static_cast<int>(number(argv[3])));
    if (cmd == "hotkey") return hotkeys(argc - 2, argv + 2);
    if (cmd == "hold" && argc >= 4) return hold(static_cast<UINT>(number(argv[2])), static_cast<UINT>(number(argv[3])));
    if (cmd == "balloons") return balloons();
    if (cmd == "autostart" && argc >= 3) return autostart(argv[2]);
    if (cmd == "dialogs") return dialogs();
    if (cmd == "answer-dialog" && argc >= 3) return answer_dialog(wide_from_utf8(argv[2]));
    if (cmd == "rows" && argc >= 3) return rows(static_cast<int>(number(argv[2])));
    if (cmd == "click-row" && argc >= 4)
        return click_row(static_cast<int>(number(argv[2])), static_cast<int>(number(argv[3])),
                         argc >= 5 && std::string(argv[4]) == "right");
    if (cmd == "dismiss-dialog")
        return dismiss_dialogs(argc >= 3 && std::string(argv[2]) == "IDCANCEL" ? IDCANCEL : IDOK);
    return probe::bad_arguments();
}
