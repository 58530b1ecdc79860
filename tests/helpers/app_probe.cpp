// Looks at a running Korvane.exe from outside, as another program would:
// its main window, the messages it takes, the global hotkeys it holds and the
// balloons the notification area shows. One command per run; prints plain
// "key value" lines for the Python tests to read.
//
//   app_probe wait-window <timeout ms>     the main window exists and answers
//   app_probe window                       its state: visible, rect, topmost, count
//   app_probe post <msg> <wparam> <lparam> PostMessageW to the main window
//   app_probe wait-gone <timeout ms>       the main window is gone
//   app_probe hotkey <mods> <vk>...        "free" or "taken" for each pair
//   app_probe hold <mods> <vk>             registers the pair, prints "held", keeps
//                                          it until stdin closes
//   app_probe balloons                     the texts of the tooltip windows shown
//   app_probe autostart on|off|query       switches or reads the Run value

#include "services/autostart.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kMainClass[] = L"KorvaneMain";

long number(const char* text) { return std::strtol(text, nullptr, 0); }

HWND main_window() { return FindWindowW(kMainClass, nullptr); }

bool answers(HWND hwnd) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

BOOL CALLBACK count_main(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == kMainClass) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int wait_window(long timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = main_window();
        if (hwnd && answers(hwnd)) {
            std::printf("window %p\n", static_cast<void*>(hwnd));
            return 0;
        }
        if (static_cast<long>(GetTickCount() - start) > timeout_ms) {
            std::printf("no-window\n");
            return 1;
        }
        Sleep(50);
    }
}

int wait_gone(long timeout_ms) {
    const DWORD start = GetTickCount();
    while (main_window()) {
        if (static_cast<long>(GetTickCount() - start) > timeout_ms) {
            std::printf("still-there\n");
            return 1;
        }
        Sleep(50);
    }
    std::printf("gone\n");
    return 0;
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

BOOL CALLBACK print_tooltip(HWND hwnd, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) != L"tooltips_class32") return TRUE;
    wchar_t text[512] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &got);
    if (text[0]) {
        std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
        std::printf("tooltip %d %s\n", IsWindowVisible(hwnd) ? 1 : 0, utf8.c_str());
    }
    return TRUE;
}

BOOL CALLBACK print_any(HWND hwnd, LPARAM depth) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("%*swin %ls [%ls] pid %lu vis %d\n", (int)depth * 2, "", cls, text, pid, IsWindowVisible(hwnd) ? 1 : 0);
    if (depth < 2) EnumChildWindows(hwnd, print_any, depth + 1);
    return TRUE;
}

int balloons() {
    EnumWindows(print_tooltip, 0);
    if (getenv("PROBE_ALL")) EnumWindows(print_any, 0);
    return 0;
}

int autostart(const std::string& what) {
    if (what == "on") set_autostart(true);
    if (what == "off") set_autostart(false);
    std::printf("enabled %d\n", is_autostart_enabled() ? 1 : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return 2;
    const std::string cmd = argv[1];
    if (cmd == "wait-window" && argc >= 3) return wait_window(number(argv[2]));
    if (cmd == "wait-gone" && argc >= 3) return wait_gone(number(argv[2]));
    if (cmd == "window") return show_window_state();
    if (cmd == "post" && argc >= 5)
        return post(static_cast<UINT>(number(argv[2])), static_cast<WPARAM>(std::strtoull(argv[3], nullptr, 0)),
                    static_cast<LPARAM>(std::strtoll(argv[4], nullptr, 0)));
    if (cmd == "hotkey") return hotkeys(argc - 2, argv + 2);
    if (cmd == "hold" && argc >= 4) return hold(static_cast<UINT>(number(argv[2])), static_cast<UINT>(number(argv[3])));
    if (cmd == "balloons") return balloons();
    if (cmd == "autostart" && argc >= 3) return autostart(argv[2]);
    return 2;
}
