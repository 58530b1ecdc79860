#pragma once
// The toggle switch: a standard BS_CHECKBOX button, subclassed, that draws a
// rounded track with a sliding knob and its label to the right. A click flips
// it and tells the parent with WM_COMMAND (notification 0, BN_CLICKED).
// The window's user data holds the dark flag; to change the theme, call
// attach_toggle_switch again (or rewrite the user data) and repaint.

#include <windows.h>
#include <commctrl.h>

#include <string>

// The height of a toggle in the settings rows.
inline constexpr int kToggleSwitchHeight = 22;

// Creates the switch as a child of parent with the given control id, check
// state and theme. Returns null when the button cannot be created.
HWND create_toggle_switch(HWND parent, int id, const std::wstring& text, int x, int y, int width, int height,
                          bool checked, bool dark);

// Subclasses an existing BS_CHECKBOX button as a switch, or re-themes one.
void attach_toggle_switch(HWND button, bool dark);

// Flips the check and notifies the parent, as a click does.
void toggle_switch_flip(HWND button);

// Paints a switch into rect: window background, track (on or off colour),
// knob (pressed colour while the button is pushed) and the button's text.
void paint_toggle_switch(HDC dc, const RECT& rect, bool checked, bool dark, HWND button);

LRESULT CALLBACK toggle_switch_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                    DWORD_PTR ref_data);
