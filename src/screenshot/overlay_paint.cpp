// CaptureOverlay: painting the scene and the toolbar.
#include "screenshot/capture_overlay.h"

#include "config/language.h"
#include "services/ids.h"
#include "ui/kit/theme.h"

#include <algorithm>
#include <new>
#include <string>

namespace {

constexpr COLORREF kHandleFill = RGB(255, 255, 255);

// Labels, handles and swatch frames lie on any picture: they keep the dark
// theme's colours in both themes.
COLORREF on_picture(UiColor role) { return ui_color(role, true); }

// The toolbar's colours in one theme.
struct ToolbarColors {
    COLORREF fill, border, glyph, active_glyph, pressed, active, hovered, active_swatch;
};

ToolbarColors toolbar_colors(bool dark) {
    const COLORREF highlight = ui_color(UiColor::Highlight, dark);
    // An active tool's glyph on the accent: the dark theme's text, white in the light theme.
    const COLORREF active_glyph = dark ? ui_color(UiColor::Text, true) : ui_color(UiColor::SelectedText, false);
    return {ui_color(UiColor::PopupSurface, dark),
            ui_color(UiColor::Border, dark),
            ui_color(UiColor::Text, dark),
            active_glyph,
            highlight,
            ui_color(UiColor::Accent, dark),
            ui_color(UiColor::ToolbarHover, dark),
            highlight};
}

RECT to_rect(const EdgeRect& r) { return {r.left, r.top, r.right, r.bottom}; }

SIZE text_size(HDC dc, HFONT font, const std::wstring& text) {
    ScopedSelect keep(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    return size;
}

void draw_centered(HDC dc, HFONT font, const RECT& rect, const std::wstring& text, COLORREF color) {
    ScopedSelect keep(dc, font);
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = SetTextColor(dc, color);
    RECT r = rect;
    DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
}

void fill_round_rect(HDC dc, const RECT& rect, COLORREF fill, COLORREF outline, int radius) {
    ScopedBrush brush(CreateSolidBrush(fill));
    ScopedPen pen(CreatePen(PS_SOLID, 1, outline));
    ScopedSelect keep_brush(dc, brush.get());
    ScopedSelect keep_pen(dc, pen.get());
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void draw_glyph(HDC dc, HFONT icon_font, const RECT& rect, const wchar_t* glyph, COLORREF color) {
    draw_centered(dc, icon_font, rect, glyph, color);
}

void stroke(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The tool buttons' pictures, drawn with lines around the button's centre.
void draw_tool_icon(HDC dc, HFONT label_font, const RECT& r, int icon, COLORREF color) {
    ScopedPen pen(CreatePen(PS_SOLID, 2, color));
    ScopedSelect keep_pen(dc, pen.get());
    ScopedSelect keep_brush(dc, GetStockObject(NULL_BRUSH));
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    switch (icon) {
    case 0:  // move: a four-way arrow
        stroke(dc, cx - 7, cy, cx + 7, cy);
        stroke(dc, cx, cy - 7, cx, cy + 7);
        for (int s : {-3, 3}) {
            stroke(dc, cx - 7, cy, cx - 4, cy + s);
            stroke(dc, cx + 7, cy, cx + 4, cy + s);
            stroke(dc, cx, cy - 7, cx + s, cy - 4);
            stroke(dc, cx, cy + 7, cx + s, cy + 4);
        }
        break;
    case 1:  // arrow
        stroke(dc, L + 7, B - 7, R - 7, T + 7);
        stroke(dc, R - 7, T + 7, R - 13, T + 7);
        stroke(dc, R - 7, T + 7, R - 7, T + 13);
        break;
    case 2:  // pencil
        stroke(dc, L + 7, B - 7, R - 8, T + 8);
        stroke(dc, L + 7, B - 7, L + 11, B - 9);
        stroke(dc, L + 7, B - 7, L + 9, B - 11);
        break;
    case 3: stroke(dc, L + 7, B - 7, R - 7, T + 7); break;  // line
    case 4: Rectangle(dc, L + 6, T + 7, R - 6, B - 7); break;
    case 5: draw_centered(dc, label_font, r, L"T", color); break;
    case 6: draw_centered(dc, label_font, r, L"1", color); break;
    case 7: {  // blur: a checkerboard
        ScopedBrush cell(CreateSolidBrush(color));
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                if ((row + col) % 2 == 0) {
                    RECT c{cx - 8 + col * 4, cy - 8 + row * 4, cx - 4 + col * 4, cy - 4 + row * 4};
                    FillRect(dc, &c, cell.get());
                }
        break;
    }
    }
}

const wchar_t* icon_glyph(int id) {
    switch (id) {
    case kCaptureUndo: return L"\uE7A7";
    case kCaptureRedo: return L"\uE7A6";
    case kCaptureDone: return L"\uE73E";
    case kCaptureCopy: return L"\uE8C8";
    case kCaptureSave: return L"\uE74E";
    case kCaptureCancel: return L"\uE711";
    default: return nullptr;
    }
}

}  // namespace

bool CaptureOverlay::ensure_back_buffer(HDC reference) {
    if (back_buffer) return true;
    return back_buffer.hold(reference, make_picture_section(bounds.w, bounds.h));
}

bool CaptureOverlay::ensure_dimmed() {
    if (dimmed) return true;
    if (!dimmer || !picture || !dimmed.hold(picture.get(), make_picture_section(bounds.w, bounds.h))) return false;
    BitBlt(dimmed.get(), 0, 0, bounds.w, bounds.h, picture.get(), 0, 0, SRCCOPY);
    dim_rect(dimmed.get(), 0, 0, bounds.w, bounds.h, kDimAlpha);
    return true;
}

EdgeRect CaptureOverlay::selection_work_area() const { return work_area_for(monitors, selection, bounds); }

void CaptureOverlay::on_paint(HDC paint_dc) {
    // Without it the overlay could show nothing at all over a frozen screen.
    if (!ensure_back_buffer(paint_dc)) throw std::bad_alloc();
    paint_scene();
    BitBlt(paint_dc, 0, 0, bounds.w, bounds.h, back_buffer.get(), 0, 0, SRCCOPY);
}

void CaptureOverlay::paint_scene() {
    HDC dc = back_buffer.get();
    if (!dc) return;
    // The whole picture dimmed, then the selection undimmed again. Without
    // the dimmed copy every paint dims the picture itself.
    if (ensure_dimmed()) {
        BitBlt(dc, 0, 0, bounds.w, bounds.h, dimmed.get(), 0, 0, SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, bounds.w, bounds.h, picture.get(), 0, 0, SRCCOPY);
        dim_rect(dc, 0, 0, bounds.w, bounds.h, kDimAlpha);
    }
    bool toolbar_drawn = false;
    if (has_selection && has_area(selection)) {
        BitBlt(dc, selection.x, selection.y, selection.w, selection.h, picture.get(), selection.x, selection.y,
               SRCCOPY);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, selection.x, selection.y, selection.x + selection.w, selection.y + selection.h);
        blur_source = picture.get();
        draw_annotations(dc, 0, 0);
        if (drawing) draw_annotation(dc, current_shape, 0, 0);
        blur_source = nullptr;
        RestoreDC(dc, saved);
        draw_selection_frame(dc);
        if (editor) {
            layout_toolbar();
            draw_toolbar(dc);
            toolbar_drawn = true;
        }
    } else {
        draw_hint(dc);
    }
    // Hover and clicks find no button on a toolbar that is not shown.
    if (!toolbar_drawn) laid_out = false;
}

void CaptureOverlay::dim_rect(HDC dc, int x, int y, int w, int h, BYTE alpha) const {
    if (!dimmer || w < 1 || h < 1) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    // In bands: the one pixel stretched over the whole screen at once can
    // make GDI hold a passing copy of the screen's size.
    constexpr int kBand = 64;
    for (int top = y; top < y + h; top += kBand)
        AlphaBlend(dc, x, top, w, std::min(kBand, y + h - top), dimmer.get(), 0, 0, 1, 1, blend);
}

void CaptureOverlay::draw_hint(HDC dc) const {
    // On the monitor the user is pointing at: the middle of the whole
    // picture may be where no monitor shows it.
    POINT pointer{};
    GetCursorPos(&pointer);
    const EdgeRect area = work_area_for(monitors, {pointer.x - capture.left, pointer.y - capture.top, 1, 1}, bounds);
    draw_centered(dc, hint_font.get(), to_rect(area), tr(L"capture.hint"), RGB(255, 255, 255));
}

void CaptureOverlay::draw_selection_frame(HDC dc) const {
    const int x = selection.x, y = selection.y, w = selection.w, h = selection.h;
    {
        ScopedPen pen(CreatePen(PS_SOLID, 1, ui_color(UiColor::Highlight, dark)));
        ScopedSelect keep_pen(dc, pen.get());
        ScopedSelect keep_brush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, x, y, x + w, y + h);
    }
    {
        ScopedBrush fill(CreateSolidBrush(kHandleFill));
        ScopedPen outline(CreatePen(PS_SOLID, 1, on_picture(UiColor::Text)));
        ScopedSelect keep_fill(dc, fill.get());
        ScopedSelect keep_outline(dc, outline.get());
        const POINT handles[8] = {{x, y},         {x + w / 2, y},     {x + w, y}, {x + w, y + h / 2},
                                  {x + w, y + h}, {x + w / 2, y + h}, {x, y + h}, {x, y + h / 2}};
        for (const POINT& p : handles) Rectangle(dc, p.x - 3, p.y - 3, p.x + 4, p.y + 4);
    }
    draw_size_label(dc);
}

void CaptureOverlay::draw_size_label(HDC dc) const {
    const std::wstring text = std::to_wstring(selection.w) + L" \u00D7 " + std::to_wstring(selection.h);
    const SIZE size = text_size(dc, label_font.get(), text);
    const RECT box = to_rect(size_label_box(selection, size.cx, size.cy, selection_work_area()));
    fill_round_rect(dc, box, on_picture(UiColor::PopupSurface), on_picture(UiColor::Border), 4);
    draw_centered(dc, label_font.get(), box, text, on_picture(UiColor::Text));
}

void CaptureOverlay::layout_toolbar() {
    ToolbarLayout layout = layout_toolbar_for(selection, selection_work_area());
    for (ToolbarButton& b : layout.buttons) b.tip = tr(b.tip);
    buttons = std::move(layout.buttons);
    separators = std::move(layout.separators);
    toolbar_rect = layout.bar;
    thickness_box = layout.thickness_box;
    laid_out = true;
}

void CaptureOverlay::draw_toolbar(HDC dc) const {
    const ToolbarColors c = toolbar_colors(dark);
    fill_round_rect(dc, to_rect(toolbar_rect), c.fill, c.border, 8);
    {
        ScopedPen pen(CreatePen(PS_SOLID, 1, c.border));
        ScopedSelect keep(dc, pen.get());
        for (int x : separators) stroke(dc, x, toolbar_rect.top + 10, x, toolbar_rect.bottom - 10);
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        const ToolbarButton& b = buttons[i];
        const RECT r = to_rect(b.rect);
        const bool active = toolbar_button_active(b.id, tool, color);
        if (b.id >= kCaptureFirstSwatch && b.id <= kCaptureLastSwatch) {
            const COLORREF swatch = kShotPalette[b.id - kCaptureFirstSwatch];
            ScopedBrush fill(CreateSolidBrush(swatch));
            FillRect(dc, &r, fill.get());
            ScopedPen pen(CreatePen(PS_SOLID, active ? 2 : 1, active ? c.active_swatch : on_picture(UiColor::Border)));
            ScopedSelect keep_pen(dc, pen.get());
            ScopedSelect keep_brush(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
            continue;
        }
        const int index = static_cast<int>(i);
        if (index == pressed) fill_round_rect(dc, r, c.pressed, c.border, 4);
        else if (active) fill_round_rect(dc, r, c.active, c.border, 4);
        else if (index == hover) fill_round_rect(dc, r, c.hovered, c.border, 4);
        const COLORREF glyph = active ? c.active_glyph : c.glyph;
        if (b.id >= kCaptureToolFirst && b.id <= kCaptureToolLast)
            draw_tool_icon(dc, label_font.get(), r, b.id - kCaptureToolFirst, glyph);
        else if (b.id == kCaptureThinner) draw_centered(dc, label_font.get(), r, L"\u2212", glyph);
        else if (b.id == kCaptureThicker) draw_centered(dc, label_font.get(), r, L"+", glyph);
        else if (const wchar_t* g = icon_glyph(b.id)) draw_glyph(dc, icon_font.get(), r, g, glyph);
    }
    draw_centered(dc, label_font.get(), to_rect(thickness_box), std::to_wstring(thickness), c.glyph);

    if (hover >= 0 && hover < static_cast<int>(buttons.size()) && !buttons[hover].tip.empty()) {
        const ToolbarButton& b = buttons[hover];
        const SIZE size = text_size(dc, hint_font.get(), b.tip);
        const RECT box = to_rect(tooltip_box(b.rect, size.cx, size.cy, selection_work_area()));
        fill_round_rect(dc, box, on_picture(UiColor::PopupSurface), on_picture(UiColor::Border), 4);
        draw_centered(dc, hint_font.get(), box, b.tip, on_picture(UiColor::Text));
    }
}

int CaptureOverlay::toolbar_hit_test(PixelPoint p) const { return toolbar_button_at(buttons, p); }

void CaptureOverlay::on_toolbar_click(int index) {
    if (index < 0 || index >= static_cast<int>(buttons.size())) return;
    const ToolbarCommand command = toolbar_command(buttons[index].id);
    switch (command.kind) {
    case ToolbarCommand::Tool: set_tool(command.tool); break;
    case ToolbarCommand::Undo: undo(); break;
    case ToolbarCommand::Redo: redo(); break;
    case ToolbarCommand::Thinner: thickness = clamp_thickness(thickness - 1); break;
    case ToolbarCommand::Thicker: thickness = clamp_thickness(thickness + 1); break;
    case ToolbarCommand::Color: color = command.color; break;
    case ToolbarCommand::Finish: finish(command.action); return;
    case ToolbarCommand::Cancel: close(); return;
    case ToolbarCommand::None: return;
    }
    repaint();
}
