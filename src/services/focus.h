#pragma once
// Which window may receive a paste, and bringing it to the front.

#include <windows.h>

// This process's id, taken once before WinMain runs.
DWORD own_process_id();

// A window of this process (the main window, the quick menu, a dialog): a
// paste sent there would never reach the program the user pastes into.
bool is_own_window(HWND window);

// True for no window, for a window of this process, and for the taskbar,
// tray overflow and desktop windows: none of them is ever a paste target.
bool is_own_or_shell_window(HWND window);

// Restores and raises the window, borrowing the foreground thread's input
// state for the switch. False for no window, else whether
// SetForegroundWindow succeeded.
bool force_foreground(HWND window);
