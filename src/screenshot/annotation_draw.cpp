// CaptureOverlay: drawing the shapes, and undo and redo.
#include "screenshot/capture_overlay.h"

#include "ui/kit/theme.h"

#include <algorithm>
#include <string>

namespace {

void draw_line(HDC dc, PixelPoint a, PixelPoint b, int dx, int dy) {
    MoveToEx(dc, a.x + dx, a.y + dy, nullptr);
    LineTo(dc, b.x + dx, b.y + dy);
}

void draw_blur(HDC dc, HDC source, const Annotation& a, int dx, int dy) {
    if (a.w < 2 || a.h < 2 || !source) return;
    const BlurGrid grid = blur_grid(a.w, a.h, a.thickness);
    ScopedDc small_dc(CreateCompatibleDC(dc));
    if (!small_dc) return;
    ScopedBitmap small(CreateCompatibleBitmap(dc, grid.columns, grid.rows));
    if (!small) return;
    ScopedSelect keep(small_dc.get(), small.get());
    SetStretchBltMode(small_dc.get(), COLORONCOLOR);
    const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
    // The source holds the unannotated picture in picture coordinates, so
    // the blocks come out the same whatever the target's shift.
    StretchBlt(small_dc.get(), 0, 0, grid.columns, grid.rows, source, a.x, a.y, a.w, a.h, SRCCOPY);
    StretchBlt(dc, a.x + dx, a.y + dy, a.w, a.h, small_dc.get(), 0, 0, grid.columns, grid.rows, SRCCOPY);
    SetStretchBltMode(dc, old_mode);
}

}  // namespace

ScopedFont make_annotation_font(int thickness) { return make_ui_font(annotation_font_height(thickness), FW_NORMAL); }

void CaptureOverlay::draw_annotation(HDC dc, const Annotation& a, int dx, int dy) const {
    if (a.kind < AnnotationKind::Arrow || a.kind > AnnotationKind::Blur) return;
    ScopedPen pen(CreatePen(PS_SOLID, std::max(a.thickness, 1), a.color));
    ScopedSelect keep_pen(dc, pen.get());
    ScopedSelect keep_brush(dc, GetStockObject(NULL_BRUSH));
    switch (a.kind) {
    case AnnotationKind::Arrow:
    case AnnotationKind::Line: {
        if (a.points.size() < 2) break;
        const PixelPoint first = a.points.front(), last = a.points.back();
        draw_line(dc, first, last, dx, dy);
        if (a.kind == AnnotationKind::Arrow)
            for (const PixelPoint& end : arrow_head_ends(first, last, a.thickness)) draw_line(dc, last, end, dx, dy);
        break;
    }
    case AnnotationKind::Pencil: {
        if (a.points.size() < 2) break;
        std::vector<POINT> line;
        line.reserve(a.points.size());
        for (const PixelPoint& p : a.points) line.push_back({p.x + dx, p.y + dy});
        Polyline(dc, line.data(), static_cast<int>(line.size()));
        break;
    }
    case AnnotationKind::Rect: Rectangle(dc, a.x + dx, a.y + dy, a.x + a.w + dx, a.y + a.h + dy); break;
    case AnnotationKind::Text: {
        ScopedFont font = make_annotation_font(a.thickness);
        ScopedSelect keep_font(dc, font.get());
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF old_color = SetTextColor(dc, a.color);
        RECT box{a.x + dx, a.y + dy, a.x + a.w + 8 + dx, a.y + a.h + 8 + dy};
        DrawTextW(dc, a.text.c_str(), static_cast<int>(a.text.size()), &box, DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, old_color);
        SetBkMode(dc, old_mode);
        break;
    }
    case AnnotationKind::Number: {
        const int r = stamp_radius(a.thickness);
        const int cx = a.x + a.w / 2 + dx, cy = a.y + a.h / 2 + dy;
        ScopedBrush fill(CreateSolidBrush(a.color));
        ScopedPen outline(CreatePen(PS_SOLID, 1, a.color));
        ScopedSelect keep_fill(dc, fill.get());
        ScopedSelect keep_outline(dc, outline.get());
        Ellipse(dc, cx - r, cy - r, cx + r, cy + r);
        ScopedSelect keep_font(dc, label_font.get());
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF old_color = SetTextColor(dc, RGB(255, 255, 255));
        const std::wstring number = std::to_wstring(a.value);
        RECT box{cx - r, cy - r, cx + r, cy + r};
        DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &box,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, old_color);
        SetBkMode(dc, old_mode);
        break;
    }
    case AnnotationKind::Blur: draw_blur(dc, blur_source, a, dx, dy); break;
    }
}

void CaptureOverlay::draw_annotations(HDC dc, int dx, int dy) const {
    for (const Annotation& a : shapes) draw_annotation(dc, a, dx, dy);
}

void CaptureOverlay::undo() { undo_annotation(shapes, redo_shapes); }

void CaptureOverlay::redo() { redo_annotation(shapes, redo_shapes); }
