#include "desktop_input.h"

#include "services/handles.h"

namespace testsupport {

namespace {

void send_one(INPUT input) { SendInput(1, &input, sizeof input); }

}  // namespace

void send_key_down(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    send_one(in);
}

void send_key_up(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    send_one(in);
}

void send_key(WORD vk) {
    send_key_down(vk);
    send_key_up(vk);
}

void move_mouse(POINT screen) {
    // Absolute input is normalised to 0..65535 over the primary screen.
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65535 + w / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((screen.y * 65535 + h / 2) / (h - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send_one(in);
}

void mouse_button(bool right, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                          : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    send_one(in);
}

void click_at(POINT screen, bool right) {
    move_mouse(screen);
    mouse_button(right, true);
    mouse_button(right, false);
}

void send_wheel(int notches) {
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
        send_one(in);
        Sleep(30);
    }
}

std::vector<TooltipText> tooltip_texts() {
    std::vector<TooltipText> found;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            if (std::wstring(cls) != L"tooltips_class32") return TRUE;
            wchar_t text[512] = {};
            DWORD_PTR got = 0;
            SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &got);
            if (text[0])
                reinterpret_cast<std::vector<TooltipText>*>(param)->push_back({IsWindowVisible(hwnd) != FALSE, text});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

ClipboardHolder::ClipboardHolder()
    : thread_([this] {
          ScopedWindow window(
              CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
          ScopedClipboard clipboard(window.get());
          holding_ = clipboard.opened();
          started_ = true;
          while (!release_) Sleep(5);
      }) {
    while (!started_) Sleep(5);
}

void ClipboardHolder::release() {
    release_ = true;
    if (thread_.joinable()) thread_.join();
}

void pump_messages(DWORD ms) {
    pump_until([] { return false; }, ms);
}

bool pump_until(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms) return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::vector<HWND> visible_thread_windows(const wchar_t* window_class) {
    struct Search {
        const wchar_t* cls;
        std::vector<HWND> found;
    } search{window_class, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (IsWindowVisible(w) && wcscmp(cls, s->cls) == 0) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

POINT client_center(HWND window) {
    RECT rc;
    GetClientRect(window, &rc);
    return to_screen(window, POINT{rc.right / 2, rc.bottom / 2});
}

POINT to_screen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

}  // namespace testsupport
