#pragma once
// One registration for every window class the program owns. Windows are
// created again after being closed (dialogs, the overlay, the settings
// window), so a class that is already there counts as registered.

#include <windows.h>

struct WindowClass {
    HINSTANCE instance = nullptr;  // null: this executable
    const wchar_t* name = nullptr;
    WNDPROC procedure = DefWindowProcW;
    const wchar_t* cursor = IDC_ARROW;  // a system cursor
    UINT style = CS_HREDRAW | CS_VREDRAW;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON small_icon = nullptr;
};

// True when the class is registered now or was before.
bool register_window_class(const WindowClass& window_class);
