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

// The input box's width: the main window's narrowest top row, at least 300;
// 460 when there is no main window (main_row_width below 0).
int input_box_width(int main_row_width);

// The input box's client area and children, for its width and the height of
// a line of the prompt's font: the prompt, the field under it, OK and Cancel
// at the right under the field. The box's frame is made around this client
// area, so the buttons stay whole however tall the caption is at the
// display's scale.
struct InputBoxLayout {
    SIZE client{};
    RECT prompt{}, field{}, ok{}, cancel{};
};
InputBoxLayout input_box_layout(int width, int prompt_line_height);

// The view dialog's picture is zoomed by the mouse wheel within these limits.
inline constexpr float kMinViewZoom = 0.25f;
inline constexpr float kMaxViewZoom = 8.0f;
// The zoom after a wheel turn of wheel_delta (120 a notch, negative towards
// the user): each notch multiplies it by 1.15, kept within the limits.
float wheel_zoom(float zoom, int wheel_delta);

// Scales w × h down to fit max_w × max_h keeping its proportions, never up;
// each side at least 1 (sizes below 1 count as 1).
SIZE fit_size(int w, int h, int max_w, int max_h);

// The view dialog's lines about the entry stand above its buttons in an area
// as tall as their text measures (meta_height), at least this tall and at
// most half the client area; the picture or text takes the room above them.
inline constexpr int kViewMetaMinHeight = 62;
RECT view_meta_area(const RECT& client, int meta_height);
// Where the view dialog shows its picture or text: the client area less 10
// pixels at the left, top and right, and at the bottom the lines and the
// buttons; never turned inside out.
RECT view_image_area(const RECT& client, int meta_height);

// "2024-03-05T07:09:00" shown as "05.03.2024 07:09"; a text without a year
// is shown as stored.
std::wstring display_created_at(const std::wstring& created_at);
