// Annotation rules of the screenshot editor.
#include "screenshot/annotation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

std::int32_t clamp_thickness(std::int32_t thickness) { return std::clamp(thickness, kMinThickness, kMaxThickness); }

std::uint32_t shot_color_or_default(std::uint32_t color) { return color == 0 ? kDefaultShotColor : color; }

void push_annotation(std::vector<Annotation>& list, Annotation annotation) { list.push_back(std::move(annotation)); }

void add_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo, Annotation annotation) {
    push_annotation(shapes, std::move(annotation));
    redo.clear();
}

void undo_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo) {
    if (shapes.empty()) return;
    push_annotation(redo, std::move(shapes.back()));
    shapes.pop_back();
}

void redo_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo) {
    if (redo.empty()) return;
    push_annotation(shapes, std::move(redo.back()));
    redo.pop_back();
}

bool tool_drags_shape(CaptureTool tool) {
    switch (tool) {
    case CaptureTool::Arrow:
    case CaptureTool::Pencil:
    case CaptureTool::Line:
    case CaptureTool::Rect:
    case CaptureTool::Blur: return true;
    default: return false;
    }
}

AnnotationKind kind_for_tool(CaptureTool tool) {
    switch (tool) {
    case CaptureTool::Pencil: return AnnotationKind::Pencil;
    case CaptureTool::Line: return AnnotationKind::Line;
    case CaptureTool::Rect: return AnnotationKind::Rect;
    case CaptureTool::Text: return AnnotationKind::Text;
    case CaptureTool::Number: return AnnotationKind::Number;
    case CaptureTool::Blur: return AnnotationKind::Blur;
    default: return AnnotationKind::Arrow;
    }
}

Annotation start_shape(CaptureTool tool, PixelPoint p, std::uint32_t color, std::int32_t thickness) {
    Annotation a;
    a.kind = kind_for_tool(tool);
    a.color = color;
    a.thickness = thickness;
    a.points = {p, p};
    if (a.kind == AnnotationKind::Rect || a.kind == AnnotationKind::Blur) a.x = p.x, a.y = p.y;
    return a;
}

void drag_shape(Annotation& shape, PixelPoint p, bool square) {
    switch (shape.kind) {
    case AnnotationKind::Pencil:
        if (shape.points.empty() || std::abs(p.x - shape.points.back().x) + std::abs(p.y - shape.points.back().y) >= 2)
            shape.points.push_back(p);
        break;
    case AnnotationKind::Rect:
    case AnnotationKind::Blur:
        if (!shape.points.empty()) {
            const PixelRect r = rect_from_points(shape.points.front(), p, square);
            shape.x = r.x, shape.y = r.y, shape.w = r.w, shape.h = r.h;
        }
        break;
    case AnnotationKind::Arrow:
    case AnnotationKind::Line:
        if (!shape.points.empty()) shape.points.back() = p;
        break;
    default: break;
    }
}

bool shape_worth_keeping(const Annotation& shape) {
    switch (shape.kind) {
    case AnnotationKind::Arrow:
    case AnnotationKind::Line: {
        if (shape.points.size() < 2) return false;
        const std::int64_t dx = shape.points.back().x - shape.points.front().x;
        const std::int64_t dy = shape.points.back().y - shape.points.front().y;
        return dx * dx + dy * dy > 15;
    }
    case AnnotationKind::Pencil: return shape.points.size() > 1;
    case AnnotationKind::Rect:
    case AnnotationKind::Blur: return shape.w >= 3 && shape.h >= 3;
    default: return true;
    }
}

std::int32_t stamp_radius(std::int32_t thickness) { return thickness + 10; }

Annotation number_stamp(PixelPoint p, std::int32_t value, std::uint32_t color, std::int32_t thickness) {
    Annotation a;
    a.kind = AnnotationKind::Number;
    a.color = color;
    a.thickness = thickness;
    a.value = value;
    const std::int32_t r = stamp_radius(thickness);
    a.x = p.x - r, a.y = p.y - r, a.w = a.h = 2 * r;
    return a;
}

Annotation text_annotation(const std::wstring& text, PixelPoint p, std::int32_t text_width, std::int32_t text_height,
                           std::uint32_t color, std::int32_t thickness) {
    Annotation a;
    a.kind = AnnotationKind::Text;
    a.text = text.substr(0, kMaxAnnotationText);
    a.color = color;
    a.thickness = thickness;
    a.x = p.x, a.y = p.y;
    a.w = std::max(text_width + 4, 10);
    a.h = std::max(text_height + 4, 10);
    return a;
}

std::int32_t annotation_font_height(std::int32_t thickness) { return 3 * thickness + 14; }

std::array<PixelPoint, 2> arrow_head_ends(PixelPoint first, PixelPoint last, std::int32_t thickness) {
    const double a = std::atan2(double(last.y - first.y), double(last.x - first.x));
    const double length = std::max(4 * thickness, 10);
    std::array<PixelPoint, 2> ends;
    const double offsets[2] = {0.45, -0.45};
    for (int i = 0; i < 2; ++i) {
        // Cut toward zero, as integer conversion does.
        ends[i] = {last.x - static_cast<std::int32_t>(length * std::cos(a + offsets[i])),
                   last.y - static_cast<std::int32_t>(length * std::sin(a + offsets[i]))};
    }
    return ends;
}

BlurGrid blur_grid(std::int32_t w, std::int32_t h, std::int32_t thickness) {
    BlurGrid g;
    g.block = std::max(2 * thickness + 2, 4);
    g.columns = std::max(w / g.block, 1);
    g.rows = std::max(h / g.block, 1);
    return g;
}
