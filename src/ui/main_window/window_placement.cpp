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

void near_cursor_position(int cursor_x, int cursor_y, int width, int height, const ScreenRect& work_area, int& x,
                          int& y) {
    x = cursor_x - 310;
    y = cursor_y - 40;
    // Right and bottom first: a window larger than the work area keeps its
    // top-left corner on screen, where the title bar is.
    if (x + width > work_area.right) x = work_area.right - width;
    if (y + height > work_area.bottom) y = work_area.bottom - height;
    if (x < work_area.left) x = work_area.left;
    if (y < work_area.top) y = work_area.top;
}
