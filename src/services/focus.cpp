#include "services/focus.h"

#include "services/scope_exit.h"
#include "services/window_util.h"

#include <algorithm>
#include <array>

namespace {

// Written before WinMain and before any thread exists.
const DWORD g_own_process_id = GetCurrentProcessId();

// In front after a click on the tray icon or a taskbar pin.
const std::array<const wchar_t*, 4> kTaskbarClasses{
    L"NotifyIconOverflowWindow",
    L"TopLevelWindowForOverflowXamlIsland",
    L"Shell_TrayWnd",
    L"Shell_SecondaryTrayWnd",
};
const std::array<const wchar_t*, 2> kDesktopClasses{L"Progman", L"WorkerW"};

template <size_t N>
bool is_one_of(const std::wstring& cls, const std::array<const wchar_t*, N>& classes) {
    return std::any_of(classes.begin(), classes.end(), [&](const wchar_t* c) { return cls == c; });
}

}  // namespace

DWORD own_process_id() { return g_own_process_id; }

bool is_own_window(HWND window) {
    DWORD pid = 0;
    return window && GetWindowThreadProcessId(window, &pid) && pid == g_own_process_id;
}

bool class_may_be_target(const std::wstring& window_class, TargetRoad road) {
    if (is_one_of(window_class, kTaskbarClasses)) return false;
    return road == TargetRoad::Hotkey || !is_one_of(window_class, kDesktopClasses);
}

bool is_own_or_shell_window(HWND window) {
    return !window || is_own_window(window) || !class_may_be_target(window_class_name(window), TargetRoad::Poll);
}

bool is_hotkey_target(HWND window) {
    return window && !is_own_window(window) && class_may_be_target(window_class_name(window), TargetRoad::Hotkey);
}

bool force_foreground(HWND window) {
    if (!window) return false;
    const HWND front = GetForegroundWindow();
    // Already there: a program that hangs in front is never called into.
    if (front == window && !IsIconic(window)) return true;
    // Windows lets a thread take the foreground only while it shares input
    // state with the thread that has it.
    const DWORD self = GetCurrentThreadId();
    const DWORD front_thread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached = front_thread != 0 && front_thread != self && AttachThreadInput(self, front_thread, TRUE);
    ScopeExit detach([&] {
        if (attached) AttachThreadInput(self, front_thread, FALSE);
    });
    // Another program's window may hang: these ask it and do not wait for
    // its answer (BringWindowToTop would).
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    const bool ok = SetForegroundWindow(window) != FALSE;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    return ok;
}
