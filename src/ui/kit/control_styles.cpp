#include "ui/kit/control_styles.h"

#include "services/ids.h"
#include "services/window_util.h"
#include "ui/kit/brush_cache.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"

#include <string>

namespace {

bool is_dark(HWND window) { return (GetWindowLongPtrW(window, GWLP_USERDATA) & 1) != 0; }

// Shared by the three styles that draw a frame: drop the sunken edge, keep
// the theme flag and let the system recompute the frame.
void attach_framed(HWND window, bool dark, SUBCLASSPROC proc, UINT_PTR id) {
    const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (ex_style & WS_EX_CLIENTEDGE)
        SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    set_style_dark(window, dark);
    SetWindowSubclass(window, proc, id, 0);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void draw_accent_frame(HDC dc, const RECT& rect, bool dark) { frame_solid(dc, rect, ui_color(UiColor::Accent, dark)); }

void paint_spin(HWND window, HDC dc) {
    const bool dark = is_dark(window);
    RECT client;
    GetClientRect(window, &client);
    fill_solid(dc, client, ui_color(UiColor::FieldBackground, dark));
    draw_arrow_buttons(dc, dark, client, false);
    draw_accent_frame(dc, client, dark);
}

void paint_combo(HWND window, HDC dc) {
    const bool dark = is_dark(window);
    RECT client;
    GetClientRect(window, &client);
    fill_solid(dc, client, ui_color(UiColor::FieldBackground, dark));
    const std::wstring text = window_text(window);
    if (!text.empty()) {
        ScopedSelect use_font(dc, control_font(window));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ui_color(UiColor::Text, dark));
        RECT text_rect = combo_text_rect(client, GetSystemMetrics(SM_CXVSCROLL));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    draw_arrow_buttons(dc, dark, client, true);
    draw_accent_frame(dc, client, dark);
}

// The paint of the spin and combo styles; focus changes repaint because the
// standard controls draw their own focus look.
LRESULT field_style_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam, void (*paint)(HWND, HDC)) {
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: repaint(window); break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        ScopedPaint paint_scope(window);
        paint(window, paint_scope.get());
        return 0;
    }
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

void draw_thin_border(HWND window) {
    ScopedGetDc dc(window, true);
    if (!dc) return;
    RECT rect;
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    frame_solid(dc.get(), rect, ui_color(UiColor::Border, is_dark(window)));
}

// The brushes panels hand to their edits and lists: a control keeps using
// the brush after the message, so they live as long as the program, one per
// colour of the palette.
BrushCache& panel_brushes() {
    static BrushCache brushes;
    return brushes;
}

LRESULT color_child(HDC dc, bool dark) {
    const COLORREF field = ui_color(UiColor::FieldBackground, dark);
    SetTextColor(dc, ui_color(UiColor::Text, dark));
    SetBkColor(dc, field);
    return reinterpret_cast<LRESULT>(panel_brushes().get(field));
}

// The standard frame first, the thin border over it.
LRESULT frame_after_standard(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    draw_thin_border(window);
    return result;
}

}  // namespace

void attach_combo_style(HWND combo, bool dark) {
    if (!combo) return;
    attach_framed(combo, dark, combo_style_proc, kComboStyleSubclassId);
    repaint(combo);
}

void attach_spin_style(HWND updown, bool dark) {
    if (!updown) return;
    attach_framed(updown, dark, spin_style_proc, kSpinStyleSubclassId);
    repaint(updown);
}

void attach_thin_border(HWND window, bool dark) {
    if (!window) return;
    // Without any frame left the one-pixel border would be drawn under the
    // client area and painted over; a plain border gives it its own pixel.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & WS_BORDER)) SetWindowLongPtrW(window, GWL_STYLE, style | WS_BORDER);
    attach_framed(window, dark, thin_border_proc, kThinBorderSubclassId);
}

void set_style_dark(HWND window, bool dark) { SetWindowLongPtrW(window, GWLP_USERDATA, dark ? 1 : 0); }

void attach_panel_background(HWND window, bool dark) {
    if (!window) return;
    set_style_dark(window, dark);
    SetWindowSubclass(window, panel_background_proc, kPanelBackgroundSubclassId, 0);
    InvalidateRect(window, nullptr, TRUE);
}

std::array<POINT, 3> arrow_triangle_points(const RECT& rect, bool up) {
    const LONG w = rect.right - rect.left;
    const LONG cx = rect.left + w / 2;
    const LONG cy = rect.top + (rect.bottom - rect.top) / 2;
    const LONG a = w / 3;
    const LONG b = w / 6;
    if (up) return {{{cx - a, cy + b}, {cx + a, cy + b}, {cx, cy - b}}};
    return {{{cx - a, cy - b}, {cx + a, cy - b}, {cx, cy + b}}};
}

void draw_arrow_triangle(HDC dc, const RECT& rect, bool up, bool dark) {
    const COLORREF color = ui_color(UiColor::ArrowGlyph, dark);
    ScopedPen pen(CreatePen(PS_SOLID, 1, color));
    ScopedBrush brush(CreateSolidBrush(color));
    ScopedSelect use_pen(dc, pen.get());
    ScopedSelect use_brush(dc, brush.get());
    const std::array<POINT, 3> points = arrow_triangle_points(rect, up);
    Polygon(dc, points.data(), static_cast<int>(points.size()));
}

void draw_arrow_buttons(HDC dc, bool dark, const RECT& rect, bool combo_form) {
    RECT area = rect;
    if (combo_form) area.left = rect.right - GetSystemMetrics(SM_CXVSCROLL);
    fill_solid(dc, area, ui_color(UiColor::FieldBackground, dark));
    if (combo_form) {
        draw_arrow_triangle(dc, RECT{area.left + 4, area.top + 2, area.right - 4, area.bottom - 2}, false, dark);
        return;
    }
    const LONG half = (area.bottom - area.top) / 2;
    draw_arrow_triangle(dc, RECT{area.left + 3, area.top + 2, area.right - 3, area.top + half}, true, dark);
    draw_arrow_triangle(dc, RECT{area.left + 3, area.top + half, area.right - 3, area.bottom - 2}, false, dark);
}

RECT combo_text_rect(const RECT& client, int arrow_width) {
    return RECT{client.left + 6, client.top, client.right - 2 - arrow_width, client.bottom};
}

LRESULT CALLBACK combo_style_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                  DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, combo_style_proc, subclass_id);
    return field_style_message(window, message, wparam, lparam, paint_combo);
}

LRESULT CALLBACK spin_style_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                 DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, spin_style_proc, subclass_id);
    return field_style_message(window, message, wparam, lparam, paint_spin);
}

LRESULT CALLBACK thin_border_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                  DWORD_PTR) {
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: repaint(window); break;
    case WM_NCPAINT:
    case WM_NCACTIVATE: return frame_after_standard(window, message, wparam, lparam);
    case WM_NCDESTROY: RemoveWindowSubclass(window, thin_border_proc, subclass_id); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK panel_background_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                       DWORD_PTR) {
    const bool dark = is_dark(window);
    switch (message) {
    case WM_ERASEBKGND:
        return erase_with(window, reinterpret_cast<HDC>(wparam), ui_color(UiColor::FieldBackground, dark));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return color_child(reinterpret_cast<HDC>(wparam), dark);
    case WM_NCDESTROY: RemoveWindowSubclass(window, panel_background_proc, subclass_id); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}
