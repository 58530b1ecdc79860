#pragma once
// Rectangles of the screenshot editor in picture pixels: the picture's
// top-left corner is the overlay window's client origin. Pure arithmetic for
// the selection's drags, handles and clamping, and for which monitor shows
// what.

#include <cstdint>
#include <vector>

struct PixelPoint {
    std::int32_t x = 0, y = 0;
};

// x, y, width and height; width and height never negative.
struct PixelRect {
    std::int32_t x = 0, y = 0, w = 0, h = 0;
};

// left, top, right, bottom; right and bottom exclusive.
struct EdgeRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

enum class ResizeHandle : std::int32_t {
    None,
    TopLeft,
    Top,
    TopRight,
    Right,
    BottomRight,
    Bottom,
    BottomLeft,
    Left,
};

// How far from an edge a press still grabs it.
inline constexpr int kHandleReach = 7;
// A selection or a resized side is never smaller than this.
inline constexpr int kMinSelectionSide = 8;

inline bool has_area(const PixelRect& r) { return r.w >= 1 && r.h >= 1; }
inline EdgeRect edges_of(const PixelRect& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

// r pushed inside bounds, keeping its size where it fits (cut to the bounds'
// size where it does not).
PixelRect clamp_rect(const PixelRect& r, const PixelRect& bounds);

// The rectangle spanned by the press point a and the cursor b. With square,
// both sides take the larger distance and the square grows from a toward b.
PixelRect rect_from_points(PixelPoint a, PixelPoint b, bool square);

// The edge or corner of r within reach of p; corners win over edges. Every
// point near an edge counts, not only the drawn handle squares.
ResizeHandle hit_test_handles(const PixelRect& r, PixelPoint p, int reach);

// r.x <= p.x < r.x + r.w, and the same for y.
bool rect_contains(const PixelRect& r, PixelPoint p);
bool edge_rect_contains(const EdgeRect& r, PixelPoint p);

// The selection while a handle is dragged: the edges the handle holds follow
// p, an edge dragged across its opposite flips the rectangle, and a side
// below kMinSelectionSide grows back to it away from the edge being dragged.
PixelRect resize_rect(const PixelRect& at_press, ResizeHandle handle, PixelPoint p);

// One monitor in picture coordinates: all of it, and its work area (the part
// the taskbar leaves). The virtual screen may have gaps no monitor shows,
// where monitors of different sizes meet.
struct MonitorArea {
    EdgeRect whole;
    EdgeRect work;
};

// The work area of the monitor that shows the largest part of r, cut to
// bounds; the first monitor's where none shows any of it; bounds itself when
// there are no monitors or the work area lies outside it.
EdgeRect work_area_for(const std::vector<MonitorArea>& monitors, const PixelRect& r, const PixelRect& bounds);
