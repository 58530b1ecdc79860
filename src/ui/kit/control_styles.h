#pragma once
// Flat dark/light styles for standard controls, applied by subclassing:
// combo boxes and up-down (spin) controls painted on the field background
// with an accent frame and their own arrows, a thin one-pixel border for
// edits and lists, and a panel background that also colours the edits and
// lists placed on it. Each attach function takes the window and the dark
// flag, stores the flag in the window's user data and may be called again
// after a theme change. A null window is ignored.

#include <windows.h>
#include <commctrl.h>

#include <array>

void attach_combo_style(HWND combo, bool dark);
void attach_spin_style(HWND updown, bool dark);
// Replaces a sunken client edge by a one-pixel frame in the border colour.
void attach_thin_border(HWND window, bool dark);
void attach_panel_background(HWND window, bool dark);
// Switches a styled control's theme without attaching it again; the caller
// repaints.
void set_style_dark(HWND window, bool dark);

// The corners of an arrow triangle inside rect: the base runs over two
// thirds of the width, the apex points up or down, the whole centred.
std::array<POINT, 3> arrow_triangle_points(const RECT& rect, bool up);
void draw_arrow_triangle(HDC dc, const RECT& rect, bool up, bool dark);
// The arrows of a spin (up and down, over the whole rect) or of a combo (one
// down arrow in a strip of the scroll bar's width at the right edge).
void draw_arrow_buttons(HDC dc, bool dark, const RECT& rect, bool combo_form);
// Where a combo's text goes: from 6 pixels in to the arrow strip, which it
// never reaches.
RECT combo_text_rect(const RECT& client, int arrow_width);

LRESULT CALLBACK combo_style_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK spin_style_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK thin_border_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK panel_background_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
