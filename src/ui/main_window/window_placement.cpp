#include "ui/main_window/window_placement.h"

#include <algorithm>

WindowPlacement initial_window_placement(int x, int y, int width, int height, int title_height,
                                         const MonitorTest& on_some_monitor) {
    WindowPlacement p;
    p.width = width < 400 ? 620 : width;
    p.height = height < 300 ? 440 : height;
    const bool never_stored = x == -1 && y == -1;
    if (!never_stored && on_some_monitor && on_some_monitor(x, y, p.width, std::max(title_height, 1))) {
        p.system_position = false;
        p.x = x;
        p.y = y;
    }
    return p;
}

namespace {

// The top-left corner that keeps a width x height window inside the work
// area. Right and bottom first: a window larger than the work area keeps its
// top-left corner on screen, where the title bar is.
void keep_inside(int width, int height, const ScreenRect& work_area, int& x, int& y) {
    if (x + width > work_area.right) x = work_area.right - width;
    if (y + height > work_area.bottom) y = work_area.bottom - height;
    if (x < work_area.left) x = work_area.left;
    if (y < work_area.top) y = work_area.top;
}

// How far apart two rectangles lie, squared; 0 when they touch or overlap.
long long distance_squared(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = std::max({0LL, 0LL + b.left - a.right, 0LL + a.left - b.right});
    const long long dy = std::max({0LL, 0LL + b.top - a.bottom, 0LL + a.top - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

void near_cursor_position(int cursor_x, int cursor_y, int width, int height, const ScreenRect& work_area, int& x,
                          int& y) {
    x = cursor_x - 310;
    y = cursor_y - 40;
    keep_inside(width, height, work_area, x, y);
}

bool meets_some_work_area(const ScreenRect& rect, const std::vector<ScreenRect>& work_areas) {
    return std::ranges::any_of(work_areas, [&rect](const ScreenRect& area) {
        return std::max(rect.left, area.left) < std::min(rect.right, area.right) &&
               std::max(rect.top, area.top) < std::min(rect.bottom, area.bottom);
    });
}

std::optional<ScreenRect> onto_nearest_work_area(const ScreenRect& window, int title_height,
                                                 const std::vector<ScreenRect>& work_areas) {
    const ScreenRect strip{window.left, window.top, window.right, window.top + std::max(title_height, 1)};
    if (work_areas.empty() || meets_some_work_area(strip, work_areas)) return std::nullopt;
    const ScreenRect& nearest = *std::ranges::min_element(
        work_areas, {}, [&window](const ScreenRect& area) { return distance_squared(window, area); });
    const int width = window.right - window.left, height = window.bottom - window.top;
    int x = window.left, y = window.top;
    keep_inside(width, height, nearest, x, y);
    return ScreenRect{x, y, x + width, y + height};
}
