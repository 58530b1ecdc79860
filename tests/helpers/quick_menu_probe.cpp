// Looks at and drives the quick menu of a running Korvane from outside, as
// the user's other programs and keyboard would:
//   quick_menu_probe wait-shown <ms>    waits for the menu; prints "menu x y w h",
//                                       "work l t r b" (its monitor's work area),
//                                       "active 0|1", "selected <row>", "rows <n>"
//                                       and "row <hex of UTF-8>" for each row
//   quick_menu_probe wait-hidden <ms>   waits until the menu is hidden; prints
//                                       "gone" or "still-there"
//   quick_menu_probe keys <vk>...       presses keys, as typed on the keyboard
//   quick_menu_probe chord <vk>...      holds the keys down together, then lets go
//   quick_menu_probe cursor <x> <y>     puts the mouse cursor there
//   quick_menu_probe activate <class>   brings the window of that class to the front
// Exit code 0 on success, 1 when the awaited state did not come (and why on
// stderr).

#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND shown_menu() { return probe::visible_window(kQuickMenuClass); }

int describe(HWND menu) {
    Sleep(150);  // let it settle and paint
    RECT r{};
    GetWindowRect(menu, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{r.left, r.top}, MONITOR_DEFAULTTONEAREST), &info);
    std::printf("menu %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::printf("work %ld %ld %ld %ld\n", info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
    std::printf("active %d\n", GetForegroundWindow() == menu ? 1 : 0);
    HWND list = FindWindowExW(menu, nullptr, L"LISTBOX", nullptr);
    const int rows = list ? static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) : 0;
    std::printf("selected %d\nrows %d\n", list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1, rows);
    for (int i = 0; i < rows; ++i) std::printf("row %s\n", probe::hex(probe::row_text(list, i)).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return probe::bad_arguments();
    const std::string cmd = argv[1];
    if (cmd == "wait-shown" && argc >= 3) {
        HWND menu = testsupport::wait_for_window(shown_menu, std::strtoul(argv[2], nullptr, 0));
        return menu ? describe(menu) : probe::give_up(1, "the quick menu did not come in time");
    }
    if (cmd == "wait-hidden" && argc >= 3) return probe::wait_gone(shown_menu, std::strtol(argv[2], nullptr, 0));
    if (cmd == "keys") {
        for (int i = 2; i < argc; ++i) {
            testsupport::send_key(static_cast<WORD>(std::strtoul(argv[i], nullptr, 0)));
            Sleep(150);
        }
        return 0;
    }
    if (cmd == "chord") {
        for (int i = 2; i < argc; ++i) testsupport::send_key_down(static_cast<WORD>(std::strtoul(argv[i], nullptr, 0)));
        Sleep(50);
        for (int i = argc - 1; i >= 2; --i)
            testsupport::send_key_up(static_cast<WORD>(std::strtoul(argv[i], nullptr, 0)));
        return 0;
    }
    if (cmd == "cursor" && argc >= 4)
        return SetCursorPos(std::atoi(argv[2]), std::atoi(argv[3])) ? 0 : probe::give_up(1, "SetCursorPos failed");
    if (cmd == "activate" && argc >= 3) {
        HWND window = FindWindowW(wide_from_utf8(argv[2]).c_str(), nullptr);
        if (!window) return probe::give_up(1, "no window of that class");
        return SetForegroundWindow(window) ? 0 : probe::give_up(1, "SetForegroundWindow refused");
    }
    return probe::bad_arguments();
}
