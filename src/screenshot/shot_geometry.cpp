// Selection arithmetic of the screenshot editor.
#include "screenshot/shot_geometry.h"

#include <algorithm>
#include <cstdlib>

PixelRect clamp_rect(const PixelRect& r, const PixelRect& bounds) {
    const std::int32_t w = std::min(r.w, bounds.w);
    const std::int32_t h = std::min(r.h, bounds.h);
    const std::int32_t x = std::min(std::max(r.x, bounds.x), bounds.x + bounds.w - w);
    const std::int32_t y = std::min(std::max(r.y, bounds.y), bounds.y + bounds.h - h);
    return {x, y, w, h};
}

PixelRect rect_from_points(PixelPoint a, PixelPoint b, bool square) {
    const std::int32_t dx = b.x - a.x;
    const std::int32_t dy = b.y - a.y;
    std::int32_t w = std::abs(dx);
    std::int32_t h = std::abs(dy);
    if (square) w = h = std::max(w, h);
    return {dx < 0 ? a.x - w : a.x, dy < 0 ? a.y - h : a.y, w, h};
}

ResizeHandle hit_test_handles(const PixelRect& r, PixelPoint p, int reach) {
    if (p.x < r.x - reach || p.x > r.x + r.w + reach || p.y < r.y - reach || p.y > r.y + r.h + reach)
        return ResizeHandle::None;
    const bool left = std::abs(r.x - p.x) <= reach;
    const bool top = std::abs(r.y - p.y) <= reach;
    const bool right = std::abs(r.x + r.w - p.x) <= reach;
    const bool bottom = std::abs(r.y + r.h - p.y) <= reach;
    if (left && top) return ResizeHandle::TopLeft;
    if (right && top) return ResizeHandle::TopRight;
    if (left && bottom) return ResizeHandle::BottomLeft;
    if (right && bottom) return ResizeHandle::BottomRight;
    if (top) return ResizeHandle::Top;
    if (bottom) return ResizeHandle::Bottom;
    if (left) return ResizeHandle::Left;
    if (right) return ResizeHandle::Right;
    return ResizeHandle::None;
}

bool rect_contains(const PixelRect& r, PixelPoint p) {
    return r.x <= p.x && p.x < r.x + r.w && r.y <= p.y && p.y < r.y + r.h;
}

bool edge_rect_contains(const EdgeRect& r, PixelPoint p) {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

PixelRect resize_rect(const PixelRect& at_press, ResizeHandle handle, PixelPoint p) {
    std::int32_t l = at_press.x, t = at_press.y, r = at_press.x + at_press.w, b = at_press.y + at_press.h;
    bool moves_left = false, moves_top = false;
    switch (handle) {
    case ResizeHandle::TopLeft: l = p.x, t = p.y, moves_left = moves_top = true; break;
    case ResizeHandle::Top: t = p.y, moves_top = true; break;
    case ResizeHandle::TopRight: r = p.x, t = p.y, moves_top = true; break;
    case ResizeHandle::Right: r = p.x; break;
    case ResizeHandle::BottomRight: r = p.x, b = p.y; break;
    case ResizeHandle::Bottom: b = p.y; break;
    case ResizeHandle::BottomLeft: l = p.x, b = p.y, moves_left = true; break;
    case ResizeHandle::Left: l = p.x, moves_left = true; break;
    case ResizeHandle::None: break;
    }
    std::int32_t left = std::min(l, r), right = std::max(l, r);
    std::int32_t top = std::min(t, b), bottom = std::max(t, b);
    if (right - left < kMinSelectionSide) {
        if (moves_left) left = right - kMinSelectionSide;
        else right = left + kMinSelectionSide;
    }
    if (bottom - top < kMinSelectionSide) {
        if (moves_top) top = bottom - kMinSelectionSide;
        else bottom = top + kMinSelectionSide;
    }
    return {left, top, right - left, bottom - top};
}

namespace {

std::int64_t overlap(const EdgeRect& a, const EdgeRect& b) {
    const std::int64_t w = std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    const std::int64_t h = std::int64_t(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

EdgeRect work_area_for(const std::vector<MonitorArea>& monitors, const PixelRect& r, const PixelRect& bounds) {
    const EdgeRect all = edges_of(bounds);
    if (monitors.empty()) return all;
    const MonitorArea* best = &monitors.front();
    std::int64_t most = 0;
    for (const MonitorArea& m : monitors) {
        const std::int64_t shown = overlap(m.whole, edges_of(r));
        if (shown > most) most = shown, best = &m;
    }
    const EdgeRect work{std::max(best->work.left, all.left), std::max(best->work.top, all.top),
                        std::min(best->work.right, all.right), std::min(best->work.bottom, all.bottom)};
    if (work.right <= work.left || work.bottom <= work.top) return all;
    return work;
}
