#pragma once
// Small window functions shared by several parts.

#include <windows.h>

#include <string>

// The window's title; empty when it has none.
std::wstring window_text(HWND window);

// The window's class name (at most 255 characters).
std::wstring window_class_name(HWND window);

// The work area of the monitor under the point (the nearest one when the
// point is on none); the primary screen when it cannot be read.
RECT work_area_at(POINT point);

// The outer width of a window (null: an overlapped window) whose client
// area is client_width wide, at the window's DPI when the system can say.
int window_width_for_client(HWND window, int client_width);

// Shows a hidden window, with a short fade when the system animates windows,
// and restores a minimised one to where it was (maximised or not).
void show_window_animated(HWND window);

// Waits for the compositor to present what is drawn, then 60 ms more, so a
// window just hidden is gone from the screen before it is captured.
void flush_and_wait();
