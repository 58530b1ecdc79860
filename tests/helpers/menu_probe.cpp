// Looks at and drives the popup menus of a running Korvane from outside:
//   menu_probe wait-menu <ms>      waits for an open menu; prints
//                                  "menu <x> <y> <width> <height> <count>"
//   menu_probe wait-no-menu <ms>   waits until no menu is open; prints "gone"
//                                  or "still-there"
//   menu_probe key <vk>...         posts key presses to the newest menu
//   menu_probe quit-thread <code>  posts WM_QUIT to the main window's thread
// Exit code 0 on success, 1 when the awaited state did not come (and why on
// stderr).

#include "helpers/probe_util.h"
#include "services/ids.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int visible_menus() {
    int count = 0;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (IsWindowVisible(w) && std::wstring(cls) == kPopupMenuClass) ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// The newest menu is the topmost of its class.
HWND newest_menu() {
    HWND w = FindWindowW(kPopupMenuClass, nullptr);
    return w && IsWindowVisible(w) ? w : nullptr;
}

bool wait_for(bool want_menu, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if ((visible_menus() > 0) == want_menu) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

int wait_menu(DWORD ms) {
    if (!wait_for(true, ms)) return probe::give_up(1, "no menu came in time");
    Sleep(100);  // let it paint and settle
    HWND menu = newest_menu();
    RECT r{};
    GetWindowRect(menu, &r);
    std::printf("menu %ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top, visible_menus());
    return 0;
}

int keys(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        HWND menu = newest_menu();
        if (!menu) return probe::give_up(1, "no menu open for the key");
        const WPARAM vk = std::strtoul(argv[i], nullptr, 0);
        PostMessageW(menu, WM_KEYDOWN, vk, 1);
        PostMessageW(menu, WM_KEYUP, vk, 0xC0000001);
        Sleep(150);
    }
    return 0;
}

int quit_thread(int code) {
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    if (!main) return probe::give_up(1, "no main window");
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    return PostThreadMessageW(thread, WM_QUIT, static_cast<WPARAM>(code), 0) ? 0
                                                                             : probe::give_up(1, "WM_QUIT not posted");
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return probe::bad_arguments();
    const std::string cmd = argv[1];
    if (cmd == "wait-menu" && argc >= 3) return wait_menu(std::strtoul(argv[2], nullptr, 0));
    if (cmd == "wait-no-menu" && argc >= 3) {
        const bool gone = wait_for(false, std::strtoul(argv[2], nullptr, 0));
        std::printf(gone ? "gone\n" : "still-there\n");
        return gone ? 0 : probe::give_up(1, "a menu stayed open");
    }
    if (cmd == "key") return keys(argc - 2, argv + 2);
    if (cmd == "quit-thread" && argc >= 3) return quit_thread(std::atoi(argv[2]));
    return probe::bad_arguments();
}
