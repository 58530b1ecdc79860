#pragma once
// Where the main window opens, from the stored rectangle. Pure arithmetic:
// the monitor test is handed in, so no screen is needed to reason about it.

#include <functional>
#include <optional>
#include <vector>

struct WindowPlacement {
    bool system_position = true;  // let the system place it (then move it near the cursor)
    int x = 0, y = 0;             // used when system_position is false
    int width = 0, height = 0;
};

// Tells whether the rectangle (left, top, width, height) meets the work area
// of any monitor.
using MonitorTest = std::function<bool(int x, int y, int width, int height)>;

// A width below 400 opens 620 wide and a height below 300 opens 440 high. The
// stored position is used when it was ever stored (the pair -1, -1 means
// never) and the window's top strip, title_height high, meets some monitor's
// work area: a window with only a corner on screen would leave its title bar,
// and with it the way to move the window, out of reach. Monitors left of or
// above the primary one have negative coordinates, which are kept.
WindowPlacement initial_window_placement(int x, int y, int width, int height, int title_height,
                                         const MonitorTest& on_some_monitor);

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Where a window placed by the system goes once shown: 310 pixels left of and
// 40 above the cursor, but kept inside the work area of the cursor's monitor,
// so that a cursor near a screen edge never leaves the window half off-screen.
void near_cursor_position(int cursor_x, int cursor_y, int width, int height, const ScreenRect& work_area, int& x,
                          int& y);

// Whether the rectangle overlaps one of the work areas.
bool meets_some_work_area(const ScreenRect& rect, const std::vector<ScreenRect>& work_areas);

// Where a window goes that is shown again: nowhere new while its top strip,
// title_height high, meets some work area (the test that the start-up makes,
// and nothing either when no work area is known). Otherwise its monitor went
// away while it was hidden: the same rectangle, moved into the nearest work
// area (the least distance away, the first of equals); one larger than that
// keeps its top-left corner inside, where the title bar is.
std::optional<ScreenRect> onto_nearest_work_area(const ScreenRect& window, int title_height,
                                                 const std::vector<ScreenRect>& work_areas);
