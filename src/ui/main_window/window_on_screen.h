#pragma once
// Windows kept where the user can reach them: the rules of
// window_placement.h over the monitors attached now.

#include "ui/main_window/window_placement.h"

#include <windows.h>

#include <vector>

// The work area of every monitor attached now.
std::vector<ScreenRect> monitor_work_areas();

// The height of a main window's title bar with its sizing frame above it: the
// strip that must stay on some work area for the window to be moved at all.
int title_strip_height();

// Moves a window whose title strip meets no work area onto the nearest one,
// in the state it is in: maximised stays maximised, there, and a minimised
// window is restored there. Windows leaves a hidden window where its monitor
// was when that monitor is unplugged.
void keep_on_work_area(HWND window);
