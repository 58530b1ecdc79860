#include "remote_window.h"

#include <vector>

namespace testsupport {

bool answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

HWND wait_for_window(const std::function<HWND()>& find, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = find();
        if (window && answers(window)) return window;
        if (GetTickCount() - start > timeout_ms) return nullptr;
        Sleep(50);
    }
}

std::vector<HWND> windows_of_process(HWND owner, const std::wstring& window_class) {
    struct Search {
        DWORD pid = 0;
        const std::wstring& cls;
        std::vector<HWND> found;
    } search{0, window_class, {}};
    if (!owner || !GetWindowThreadProcessId(owner, &search.pid)) return {};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid && s->cls == cls && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool wait_until_gone(const std::function<HWND()>& find, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (find()) {
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(50);
    }
    return true;
}

std::wstring remote_text(HWND window) {
    std::vector<wchar_t> buffer(8192, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                        2000, &got);
    return buffer.data();
}

}  // namespace testsupport
