// Looks at and drives the entry list of a running Korvane from outside, as
// the user's mouse would. One command per run; prints "key value" lines,
// texts as hex of their UTF-8 ("-" when empty).
//
//   entry_list_probe rows                 "row <index> <item data> <selected> <text>" per row, "visible <0|1>",
//                                         "focus <control id>" of the window's focus (0: none of its children)
//   entry_list_probe keys <key>...        real key presses to whatever has the focus (as settings_driver's)
//   entry_list_probe select <data>...     exactly the rows with these item data become selected
//   entry_list_probe click <data> left|right|double [under]
//                                         a real click on the row, scrolled into view first;
//                                         "under": just below it, on the next row or the blank part
//   entry_list_probe view <sidebar data>  chooses the sidebar row with that item data
//   entry_list_probe box <class> <button id> <timeout ms> [text=<hex>]
//                                         waits for a box of the program, prints "title", "text" for
//                                         its static texts, "field <length>" for its edit field,
//                                         "client <width> <height>", "margin <pixels>" between its
//                                         controls and the edges of its client area (below 0: one
//                                         is cut off), "dpi <n>", "caption <pixels>" above the client
//                                         area and "prompt-ink <rows>" of the first text's letters on
//                                         the screen; fills the field when asked and clicks the
//                                         button; "no-box"
//   entry_list_probe target-text          "text <text>" of the paste target's edit control

#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/pixels.h"
#include "support/remote_window.h"
#include "support/test_support.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND main_window() { return FindWindowW(kMainWindowClass, nullptr); }
HWND child(int id) { return main_window() ? GetDlgItem(main_window(), id) : nullptr; }

using probe::hex;
using probe::row_text;

int row_of(HWND list, long long data) {
    const LRESULT count = list ? SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT row = 0; row < count; ++row)
        if (static_cast<long long>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == data)
            return static_cast<int>(row);
    return -1;
}

int rows() {
    HWND list = child(kIdEntryList);
    const LRESULT count = list ? SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT row = 0; row < count; ++row) {
        const auto data = static_cast<long long>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
        const bool selected = SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
        std::printf("row %d %lld %d %s\n", static_cast<int>(row), data, selected ? 1 : 0,
                    hex(row_text(list, static_cast<int>(row))).c_str());
    }
    std::printf("visible %d\n", IsWindowVisible(main_window()) ? 1 : 0);
    GUITHREADINFO info{sizeof info};
    const bool focused = GetGUIThreadInfo(GetWindowThreadProcessId(main_window(), nullptr), &info) && info.hwndFocus &&
                         IsChild(main_window(), info.hwndFocus);
    std::printf("focus %d\n", focused ? GetDlgCtrlID(info.hwndFocus) : 0);
    return list ? 0 : probe::give_up(1, "no entry list");
}

int select(int argc, char** argv) {
    HWND list = child(kIdEntryList);
    if (!list) return probe::give_up(1, "no entry list");
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    int first = -1, n = 0;
    for (int i = 0; i < argc; ++i) {
        const int row = row_of(list, std::strtoll(argv[i], nullptr, 0));
        if (row < 0) continue;
        SendMessageW(list, LB_SETSEL, TRUE, row);
        if (first < 0) first = row;
        ++n;
    }
    if (first >= 0) SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(first), FALSE);
    std::printf("selected %d\n", n);
    return n == argc ? 0 : probe::give_up(1, "not every row asked for is in the list");
}

int click_row(long long data, const std::string& how, bool under) {
    HWND list = child(kIdEntryList);
    const int row = row_of(list, data);
    RECT client{}, r{};
    GetClientRect(list, &client);
    if (row >= 0 && SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
        (r.top < 0 || r.bottom > client.bottom)) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    }
    if (row < 0) {
        std::printf("no-row\n");
        return probe::give_up(1, "no row with that item data");
    }
    const POINT at = testsupport::to_screen(list, {r.left + 40, under ? r.bottom + 4 : (r.top + r.bottom) / 2});
    testsupport::click_at(at, how == "right");
    if (how == "double") testsupport::click_at(at);
    Sleep(200);
    std::printf("clicked %d\n", row);
    return 0;
}

int view(long long data) {
    HWND sidebar = child(kIdSidebar);
    const int row = row_of(sidebar, data);
    if (row < 0) return probe::give_up(1, "no sidebar row with that item data");
    SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(main_window(), WM_COMMAND, MAKEWPARAM(kIdSidebar, LBN_SELCHANGE), reinterpret_cast<LPARAM>(sidebar));
    return 0;
}

// A visible top-level window of the class that belongs to the program.
HWND find_box(const std::wstring& cls) {
    const std::vector<HWND> found = testsupport::windows_of_process(main_window(), cls);
    return found.empty() ? nullptr : found.front();
}

// Rows of a control on the screen that hold any colour but its background's
// (the colour of its top-left pixel), from the first to the last.
int ink_rows(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    testsupport::PixelImage image(r.right - r.left, r.bottom - r.top);
    testsupport::capture_screen(r, image);
    const COLORREF background = image.at(0, 0);
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.at(x, y) != background) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

int answer_box(const std::wstring& cls, int button, DWORD ms, const std::wstring& text) {
    HWND box = nullptr;
    for (const DWORD start = GetTickCount(); !box && GetTickCount() - start <= ms; Sleep(30)) box = find_box(cls);
    if (!box) {
        std::printf("no-box\n");
        return probe::give_up(1, "the box did not come in time");
    }
    Sleep(150);  // let it finish showing
    std::printf("title %s\n", hex(testsupport::remote_text(box)).c_str());
    RECT client{};
    GetClientRect(box, &client);
    MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
    LONG margin = client.bottom - client.top;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        if (IsWindowVisible(c))
            margin = std::min(
                {margin, r.left - client.left, r.top - client.top, client.right - r.right, client.bottom - r.bottom});
    }
    RECT frame{};
    GetWindowRect(box, &frame);
    std::printf("client %ld %ld\nmargin %ld\ndpi %u\ncaption %ld\n", client.right - client.left,
                client.bottom - client.top, margin, GetDpiForWindow(box), client.top - frame.top);
    bool inked = false;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(c, name, 64);
        if (std::wstring(name) == L"Static" && !testsupport::remote_text(c).empty()) {
            std::printf("text %s\n", hex(testsupport::remote_text(c)).c_str());
            if (!inked) std::printf("prompt-ink %d\n", ink_rows(c));
            inked = true;
        } else if (std::wstring(name) == L"Edit") {
            std::printf("field %ld\n", static_cast<long>(SendMessageW(c, WM_GETTEXTLENGTH, 0, 0)));
            if (!text.empty()) SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    testsupport::click_at(testsupport::client_center(GetDlgItem(box, button)));
    for (const DWORD start = GetTickCount(); IsWindowVisible(box) && GetTickCount() - start < 5000;) Sleep(30);
    std::printf(IsWindowVisible(box) ? "still-open\n" : "answered\n");
    return 0;
}

int target_text() {
    HWND frame = FindWindowW(L"KorvaneTestPasteTarget", nullptr);
    HWND edit = frame ? GetWindow(frame, GW_CHILD) : nullptr;
    std::printf("text %s\n", edit ? hex(testsupport::remote_text(edit)).c_str() : "-");
    return edit ? 0 : probe::give_up(1, "no paste target");
}

std::wstring unhex(const std::string& h) {
    std::string out;
    for (size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return wide_from_utf8(out);
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    const std::string cmd = argc >= 2 ? argv[1] : "";
    if (cmd == "rows") return rows();
    if (cmd == "select") return select(argc - 2, argv + 2);
    if (cmd == "click" && argc >= 4)
        return click_row(std::strtoll(argv[2], nullptr, 0), argv[3], argc >= 5 && std::string(argv[4]) == "under");
    if (cmd == "view" && argc >= 3) return view(std::strtoll(argv[2], nullptr, 0));
    if (cmd == "target-text") return target_text();
    if (cmd == "keys") return probe::type_keys(argc - 2, argv + 2);
    if (cmd == "box" && argc >= 5) {
        const std::string text = argc >= 6 ? std::string(argv[5]) : "";
        return answer_box(wide_from_utf8(argv[2]), std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 0),
                          text.rfind("text=", 0) == 0 ? unhex(text.substr(5)) : L"");
    }
    return probe::bad_arguments();
}
