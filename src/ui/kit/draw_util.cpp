#include "ui/kit/draw_util.h"

#include "services/window_util.h"

#include <commctrl.h>

#include <vector>

void fill_solid(HDC dc, const RECT& rect, COLORREF color) {
    ScopedBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void fill_round(HDC dc, const RECT& rect, int corner, COLORREF color) {
    ScopedBrush brush(CreateSolidBrush(color));
    ScopedSelect keep_brush(dc, brush.get());
    ScopedSelect keep_pen(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1, corner, corner);
}

void frame_solid(HDC dc, const RECT& rect, COLORREF color) {
    ScopedBrush brush(CreateSolidBrush(color));
    FrameRect(dc, &rect, brush.get());
}

HFONT control_font(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT erase_with(HWND window, HDC dc, COLORREF color) {
    RECT client;
    GetClientRect(window, &client);
    fill_solid(dc, client, color);
    return 1;
}

void draw_control_text(HDC dc, HWND control, RECT rect, COLORREF color, UINT format) {
    if (!control) return;
    const std::wstring text = window_text(control);
    if (text.empty()) return;
    ScopedSelect use_font(dc, control_font(control));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void repaint(HWND window) { InvalidateRect(window, nullptr, FALSE); }

bool handle_paint_message(HWND window, UINT message, WPARAM wparam, void (*paint)(HWND, HDC), LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT: {
        ScopedPaint paint_scope(window);
        paint(window, paint_scope.get());
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(window, reinterpret_cast<HDC>(wparam));
        result = 0;
        return true;
    default: return false;
    }
}

LRESULT forward_and_repaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool self_drawn) {
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    if (self_drawn) {
        repaint(window);
        UpdateWindow(window);
    }
    return result;
}

MemoryCanvas::MemoryCanvas(HDC target, int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    ScopedDc dc(CreateCompatibleDC(target));
    ScopedBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!dc || !bitmap) return;
    old_bitmap_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
}

MemoryCanvas::~MemoryCanvas() {
    // The bitmap must leave the DC before either is deleted.
    if (dc_ && old_bitmap_) SelectObject(dc_.get(), old_bitmap_);
}

void MemoryCanvas::copy_to(HDC target) const {
    if (dc_) BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}
