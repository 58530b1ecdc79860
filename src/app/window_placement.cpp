#include "app/window_placement.h"

WindowPlacement initial_window_placement(int x, int y, int width, int height, const MonitorTest& on_some_monitor) {
    WindowPlacement p;
    p.width = width < 400 ? 620 : width;
    p.height = height < 300 ? 440 : height;
    const bool never_stored = x == -1 && y == -1;
    if (!never_stored && on_some_monitor && on_some_monitor(x, y, p.width, p.height)) {
        p.system_position = false;
        p.x = x;
        p.y = y;
    }
    return p;
}
