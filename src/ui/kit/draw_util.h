#pragma once
// Small drawing helpers the custom-drawn windows share.

#include "services/handles.h"

#include <windows.h>

#include <optional>
#include <string>

// Fills a rectangle with a colour; the brush lives only for the call.
void fill_solid(HDC dc, const RECT& rect, COLORREF color);

// Fills a rounded rectangle (corners of the given diameter, the right and
// bottom edges included) with a colour, no outline.
void fill_round(HDC dc, const RECT& rect, int corner, COLORREF color);

// A 1-pixel outline of a rectangle, no fill.
void frame_solid(HDC dc, const RECT& rect, COLORREF color);

// The font a control was given (WM_GETFONT), else the stock GUI font.
HFONT control_font(HWND window);

// Fills the window's client area with one colour and returns 1, the answer
// to WM_ERASEBKGND that says the background is done.
LRESULT erase_with(HWND window, HDC dc, COLORREF color);

// A control's own text in its font, on a transparent background; nothing
// for a null control or an empty text.
void draw_control_text(HDC dc, HWND control, RECT rect, COLORREF color, UINT format);

// Marks the whole window for painting without erasing.
void repaint(HWND window);

// The paint messages every self-drawn control answers alike: no background
// erase, and WM_PAINT and WM_PRINTCLIENT drawn by paint. True when the
// message was one of them; result then holds the answer.
bool handle_paint_message(HWND window, UINT message, WPARAM wparam, void (*paint)(HWND, HDC), LRESULT& result);

// Passes a message on to the standard control underneath. When the control
// answers it by drawing its own face straight onto the screen (self_drawn),
// the custom face is painted over it at once.
LRESULT forward_and_repaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool self_drawn);

// An off-screen bitmap of the target's format for flicker-free painting:
// draw into dc(), then copy_to() the target at (0, 0).
class MemoryCanvas {
public:
    MemoryCanvas(HDC target, int width, int height);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    // Null when the bitmap could not be made; callers then paint directly.
    HDC dc() const { return dc_.get(); }
    void copy_to(HDC target) const;

private:
    int width_;
    int height_;
    ScopedDc dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ old_bitmap_ = nullptr;
};
