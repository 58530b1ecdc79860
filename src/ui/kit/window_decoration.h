#pragma once
// Window decoration through DWM, looked up at run time; each does nothing
// where the system lacks it.

#include <windows.h>

void apply_round_corners(HWND window);
void apply_dark_title_bar(HWND window, bool dark);
// The system backdrop (Windows 11 22H2 and later); true when it was applied.
bool apply_system_backdrop(HWND window);
