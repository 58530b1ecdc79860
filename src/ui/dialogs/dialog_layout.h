#pragma once
// The arithmetic of the dialog boxes, free of windows so that it can be
// checked directly: box sizes, the view dialog's image area, fitting and
// zooming a picture, and how a stored time is shown.

#include <windows.h>

#include <string>

// The confirm box wraps its message at this width and is never narrower
// than kConfirmMinTextWidth plus its glyph column and margins.
inline constexpr int kConfirmWrapWidth = 320;
inline constexpr int kConfirmMinTextWidth = 240;
// Client size of a confirm box whose message measures text_width × text_height.
SIZE confirm_box_client_size(int text_width, int text_height);

// The input box's outer width: the main window's narrowest top row, at
// least 300; 460 when there is no main window (main_row_width below 0).
int input_box_width(int main_row_width);
inline constexpr int kInputBoxHeight = 210;

// The view dialog's picture is zoomed by the mouse wheel within these limits.
inline constexpr float kMinViewZoom = 0.25f;
inline constexpr float kMaxViewZoom = 8.0f;
// The zoom after a wheel turn of wheel_delta (120 a notch, negative towards
// the user): each notch multiplies it by 1.15, kept within the limits.
float wheel_zoom(float zoom, int wheel_delta);

// Scales w × h down to fit max_w × max_h keeping its proportions, never up;
// each side at least 1 (sizes below 1 count as 1).
SIZE fit_size(int w, int h, int max_w, int max_h);

// Where the view dialog shows its picture or text: the client area less 10
// pixels at the left, top and right and 118 at the bottom (the meta lines
// and buttons), never turned inside out.
RECT view_image_area(const RECT& client);

// "2024-03-05T07:09:00" shown as "05.03.2024 07:09"; a text without a year
// is shown as stored.
std::wstring display_created_at(const std::wstring& created_at);
