#include "ui/draw_util.h"

#include <vector>

void fill_solid(HDC dc, const RECT& rect, COLORREF color) {
    ScopedBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void frame_solid(HDC dc, const RECT& rect, COLORREF color) {
    ScopedBrush brush(CreateSolidBrush(color));
    FrameRect(dc, &rect, brush.get());
}

HFONT control_font(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::wstring window_text(HWND window, int max_chars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(max_chars) + 1, L'\0');
    const int n = GetWindowTextW(window, buffer.data(), max_chars + 1);
    return std::wstring(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

void repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

MemoryCanvas::MemoryCanvas(HDC target, int width, int height)
    : width_(width), height_(height) {
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
