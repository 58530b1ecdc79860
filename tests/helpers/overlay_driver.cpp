// Drives the screenshot editor of a running Korvane.exe with real input
// (SendInput), as a user would. Runs its commands in order; points are
// picture coordinates (the overlay's client area), turned into screen ones.
//   backdrop                   shows a full-screen window of grey bands (no colour
//                              the editor draws with), prints "ready" and keeps it
//                              until stdin closes; no other command may follow
//   front x y w h [minimized]  shows a window filled with kFrontColor there (screen
//                              coordinates), minimized if asked, puts it in front,
//                              prints "ready x y w h" of its rectangle and keeps it
//                              until stdin closes; no other command may follow
//   wait                       waits for the overlay (10 s) and for it to be in
//                              front; prints "overlay x y w h"
//   gone                       waits until it is gone (10 s); prints "gone"
//   drag x1 y1 x2 y2           left press at 1, moves in steps, release at 2
//   click x y | rclick x y
//   button id x y w h          clicks the toolbar button id laid out for that selection
//   hover id x y w h           rests the pointer on it
//   key vk | ctrl vk           a key (decimal or 0x..), alone or with Ctrl
//   type text                  types the letters of text (A-Z, a-z, 0-9, space)
//   wheel n                    n notches of the wheel (negative: toward the user)
//   sleep ms
// Exit code 0 when every command ran, 1 when waiting failed.

#include "helpers/probe_util.h"
#include "screenshot/overlay_toolbar.h"
#include "screenshot/screen_capture.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace testsupport;

namespace {

HWND overlay() { return probe::visible_window(kCaptureOverlayClass); }

POINT screen_point(int x, int y) {
    RECT r{};
    if (HWND hwnd = overlay()) GetWindowRect(hwnd, &r);
    return {r.left + x, r.top + y};
}

void settle() { Sleep(60); }

void drag(int x1, int y1, int x2, int y2) {
    move_mouse(screen_point(x1, y1));
    settle();
    mouse_button(false, true);
    settle();
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        move_mouse(screen_point(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps));
        Sleep(25);
    }
    settle();
    mouse_button(false, false);
    settle();
}

void click(int x, int y, bool right) {
    move_mouse(screen_point(x, y));
    settle();
    mouse_button(right, true);
    Sleep(30);
    mouse_button(right, false);
    settle();
}

void press_key(WORD vk, bool ctrl) {
    if (ctrl) send_key_down(VK_CONTROL);
    send_key(vk);
    if (ctrl) send_key_up(VK_CONTROL);
    settle();
}

void type_text(const std::string& text) {
    for (char c : text) {
        const bool upper = c >= 'A' && c <= 'Z';
        const WORD vk = (c >= 'a' && c <= 'z') ? WORD(c - 'a' + 'A') : WORD(c);
        if (upper) send_key_down(VK_SHIFT);
        send_key(vk);
        if (upper) send_key_up(VK_SHIFT);
        Sleep(20);
    }
    settle();
}

// The centre of a toolbar button as the overlay lays it out for the selection,
// in the work area of the monitor that shows the selection.
bool button_centre(int id, const PixelRect& selection, int& x, int& y) {
    RECT r{};
    GetWindowRect(overlay(), &r);
    const EdgeRect area =
        work_area_for(monitor_areas(r.left, r.top), selection, {0, 0, r.right - r.left, r.bottom - r.top});
    for (const ToolbarButton& b : layout_toolbar_for(selection, area).buttons)
        if (b.id == id) {
            x = (b.rect.left + b.rect.right) / 2;
            y = (b.rect.top + b.rect.bottom) / 2;
            return true;
        }
    return false;
}

// Pumps messages until the test closes stdin, then ends the process.
[[noreturn]] void keep_until_stdin_closes() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::thread([input] {
        char buffer[64];
        DWORD got = 0;
        while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        }
        ExitProcess(0);
    }).detach();
    for (;;) pump_messages(1000);
}

constexpr COLORREF kFrontColor = RGB(20, 150, 90);

int front(int x, int y, int w, int h, bool minimized) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(kFrontColor);
    wc.lpszClassName = L"KorvaneShotFront";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"In front", WS_POPUP, x, y, w, h, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ShowWindow(hwnd, minimized ? SW_SHOWMINIMIZED : SW_SHOW);
    UpdateWindow(hwnd);
    // The window a window screenshot takes is the one in front.
    const bool in_front = pump_until(
        [&] {
            if (GetForegroundWindow() != hwnd) SetForegroundWindow(hwnd);
            return GetForegroundWindow() == hwnd && (IsIconic(hwnd) != FALSE) == minimized;
        },
        10000);
    if (!in_front) return std::printf("not-in-front\n"), 1;
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("ready %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    keep_until_stdin_closes();
}

LRESULT CALLBACK backdrop_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    for (int x = 0; x < client.right; x += 32) {
        const int level = 60 + (x / 32 * 37) % 160;
        HBRUSH brush = CreateSolidBrush(RGB(level, level, level));
        RECT band{x, 0, x + 32, client.bottom};
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

int backdrop() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = backdrop_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaneShotBackdrop";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, GetSystemMetrics(SM_XVIRTUALSCREEN),
                                GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    pump_messages(300);
    std::printf("ready\n");
    std::fflush(stdout);
    keep_until_stdin_closes();
}

}  // namespace

int main(int argc, char** argv) {
    install_crash_guard();
    auto n = [&](int i) { return static_cast<int>(std::strtol(argv[i], nullptr, 0)); };
    for (int i = 1; i < argc; ++i) {
        const std::string cmd = argv[i];
        if (cmd == "backdrop") return backdrop();
        if (cmd == "front" && i + 4 < argc)
            return front(n(i + 1), n(i + 2), n(i + 3), n(i + 4),
                         i + 5 < argc && std::string(argv[i + 5]) == "minimized");
        if (cmd == "wait") {
            if (!wait_for_window(overlay, 10000)) return std::printf("no-overlay\n"), 1;
            // Keys go to the window in front.
            if (!pump_until([] { return overlay() && GetForegroundWindow() == overlay(); }, 10000))
                return std::printf("overlay-not-in-front\n"), 1;
            Sleep(300);  // let it take the focus
            RECT r{};
            GetWindowRect(overlay(), &r);
            std::printf("overlay %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        } else if (cmd == "gone") {
            if (!wait_until_gone(overlay, 10000)) return std::printf("still-there\n"), 1;
            std::printf("gone\n");
        } else if (cmd == "drag" && i + 4 < argc) {
            drag(n(i + 1), n(i + 2), n(i + 3), n(i + 4));
            i += 4;
        } else if ((cmd == "click" || cmd == "rclick") && i + 2 < argc) {
            click(n(i + 1), n(i + 2), cmd == "rclick");
            i += 2;
        } else if ((cmd == "button" || cmd == "hover") && i + 5 < argc) {
            int x = 0, y = 0;
            if (button_centre(n(i + 1), {n(i + 2), n(i + 3), n(i + 4), n(i + 5)}, x, y)) {
                if (cmd == "button") click(x, y, false);
                else move_mouse(screen_point(x, y)), Sleep(300);
            }
            i += 5;
        } else if ((cmd == "key" || cmd == "ctrl") && i + 1 < argc) {
            press_key(static_cast<WORD>(n(i + 1)), cmd == "ctrl");
            i += 1;
        } else if (cmd == "type" && i + 1 < argc) {
            type_text(argv[++i]);
        } else if (cmd == "wheel" && i + 1 < argc) {
            send_wheel(n(++i));
            settle();
        } else if (cmd == "sleep" && i + 1 < argc) {
            Sleep(static_cast<DWORD>(n(++i)));
        } else {
            std::printf("unknown %s\n", cmd.c_str());
            return 2;
        }
    }
    std::fflush(stdout);
    return 0;
}
