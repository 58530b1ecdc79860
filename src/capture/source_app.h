#pragma once
// Which program a copy came from.

#include <windows.h>

#include <string>

// Lower-cased file name of the window's process image ("notepad.exe"), or
// empty when the process cannot be queried.
std::wstring process_name_of_window(HWND window);
std::wstring foreground_process_name();
// Of the clipboard's owner; of the foreground window when the clipboard has
// no owner or its name cannot be found.
std::wstring clipboard_owner_process_name();
