#pragma once
// Which window may receive a paste, and bringing it to the front.

#include <windows.h>

#include <string>

// This process's id, taken once before WinMain runs.
DWORD own_process_id();

// A window of this process (the main window, the quick menu, a dialog): a
// paste sent there would never reach the program the user pastes into.
bool is_own_window(HWND window);

// True for no window, for a window of this process, and for the taskbar,
// tray overflow and desktop windows: what the poll of the foreground window
// passes over, keeping the last program the user was in.
bool is_own_or_shell_window(HWND window);

// Whether a window of another program with this class may become the paste
// target. The taskbars and the tray's overflow never: they are in front
// because the user clicked the program's own icon there. The desktop only
// for a hotkey (the window in front when it was pressed): the user may be
// renaming a file there, while the poll keeps the program used before it.
enum class TargetRoad { Poll, Hotkey };
bool class_may_be_target(const std::wstring& window_class, TargetRoad road);

// The window in front when a hotkey was pressed, when it may take the paste:
// not this program's own, not the taskbar (class_may_be_target).
bool is_hotkey_target(HWND window);

// Restores and raises the window, borrowing the foreground thread's input
// state for the switch, without waiting for the window's program: the
// restore and the raise may land a moment after the call. False for no
// window, else whether SetForegroundWindow succeeded (true at once for the
// window already in front).
bool force_foreground(HWND window);
