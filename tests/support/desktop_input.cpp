#include "desktop_input.h"

#include "services/encoding.h"
#include "services/handles.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace testsupport {

namespace {

void send_one(INPUT input) { SendInput(1, &input, sizeof input); }

void key_event(WORD vk, wchar_t unicode, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = unicode;
    in.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    send_one(in);
    Sleep(30);
}

WORD vk_of(const std::string& name) {
    static const std::map<std::string, WORD> names = {
        {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},    {"win", VK_LWIN},   {"tab", VK_TAB},
        {"enter", VK_RETURN}, {"esc", VK_ESCAPE},  {"back", VK_BACK},   {"del", VK_DELETE}, {"f12", VK_F12},
        {"home", VK_HOME},    {"end", VK_END},     {"space", VK_SPACE}, {"up", VK_UP},      {"down", VK_DOWN},
    };
    if (const auto found = names.find(name); found != names.end()) return found->second;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

}  // namespace

std::string send_key_names(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        if (item.rfind("text:", 0) == 0) {
            for (wchar_t c : wide_from_utf8(item.substr(5))) {
                key_event(0, c, false);
                key_event(0, c, true);
            }
            continue;
        }
        std::vector<WORD> held;
        for (size_t start = 0, end = 0; start <= item.size(); start = end + 1) {
            end = std::min(item.find('+', start), item.size());
            const WORD vk = vk_of(item.substr(start, end - start));
            if (!vk) return item;
            held.push_back(vk);
        }
        for (WORD vk : held) key_event(vk, 0, false);
        for (auto vk = held.rbegin(); vk != held.rend(); ++vk) key_event(*vk, 0, true);
        Sleep(50);
    }
    return {};
}

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

bool xdotool(const std::wstring& arguments) {
    std::wstring command = L"Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ScopedHandle running(process.hProcess), thread(process.hThread);
    return true;
}

bool window_manager_activates(HWND window) {
    const auto x_window = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    return x_window && xdotool(L"windowactivate " + std::to_wstring(x_window));
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

HWND settled_window(HWND (*read)()) {
    pump_messages(1000);
    const HWND seen = read();
    return pump_until([&] { return read() != seen; }, 500) ? nullptr : seen;
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
