#include "services/focus.h"

#include "services/scope_exit.h"
#include "services/window_util.h"

#include <array>

namespace {

// Written before WinMain and before any thread exists.
const DWORD g_own_process_id = GetCurrentProcessId();

// The taskbars, the notification area's overflow (Windows 10's and 11's) and
// the desktop: in front after a click on the tray icon or a taskbar pin, or
// under a hotkey pressed over the desktop.
const std::array<const wchar_t*, 6> kShellClasses{
    L"NotifyIconOverflowWindow",
    L"TopLevelWindowForOverflowXamlIsland",
    L"Shell_TrayWnd",
    L"Shell_SecondaryTrayWnd",
    L"Progman",
    L"WorkerW",
};

}  // namespace

DWORD own_process_id() { return g_own_process_id; }

bool is_own_window(HWND window) {
    DWORD pid = 0;
    return window && GetWindowThreadProcessId(window, &pid) && pid == g_own_process_id;
}

bool is_own_or_shell_window(HWND window) {
    if (!window || is_own_window(window)) return true;
    const std::wstring cls = window_class_name(window);
    for (const wchar_t* shell : kShellClasses)
        if (cls == shell) return true;
    return false;
}

bool force_foreground(HWND window) {
    if (!window) return false;
    // Windows lets a thread take the foreground only while it shares input
    // state with the thread that has it.
    const HWND front = GetForegroundWindow();
    const DWORD self = GetCurrentThreadId();
    const DWORD front_thread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached = front_thread != 0 && front_thread != self && AttachThreadInput(self, front_thread, TRUE);
    ScopeExit detach([&] {
        if (attached) AttachThreadInput(self, front_thread, FALSE);
    });
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    const bool ok = SetForegroundWindow(window) != FALSE;
    BringWindowToTop(window);
    return ok;
}
