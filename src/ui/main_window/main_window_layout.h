#pragma once
// The arithmetic of the main window's frame, free of windows so that it can
// be checked directly: where every child goes for a client size, how wide the
// menu bar row has to be, where a tool button's tooltip appears, what the
// mouse wheel does to a list, how the window grows and shrinks when the
// sidebar is hidden or shown, and which view a start-up restores.

#include <vector>

// A child's place in the main window's client area.
struct FrameBox {
    int x = 0, y = 0, width = 0, height = 0;
};

inline constexpr int kTopRowHeight = 30;  // the menu-bar row
inline constexpr int kSidebarDefaultWidth = 130;
inline constexpr int kMinListWidth = 200;  // the entry list never gets narrower while the sidebar shows
inline constexpr int kWheelDelta = 120;    // one notch
inline constexpr int kTooltipHeight = 24;

// Where the resizable children go. Menu buttons are given by the width of
// their texts; the tool buttons and their separators never move.
struct FrameLayout {
    std::vector<FrameBox> menu_buttons;
    FrameBox search, search_button;
    bool sidebar_shown = false;
    FrameBox sidebar;  // meaningful only while sidebar_shown
    FrameBox list;
    FrameBox empty_hint;
    FrameBox watch_toggle, status;
};

int menu_button_width(int text_width);
// The client width the menu-bar row needs.
int top_row_min_width(const std::vector<int>& menu_text_widths);

// The layout for a client area of width by height with the menu row
// top_row high. A sidebar that would squeeze the list below 200 pixels is
// narrowed (and at a width of 236 or less it disappears).
FrameLayout compute_frame_layout(int width, int height, int top_row, int sidebar_width, bool sidebar_hidden,
                                 const std::vector<int>& menu_text_widths);

// The tooltip of a tool button: centred under the button, 2 pixels below it,
// kept inside the client width; never narrower than 30 pixels.
FrameBox place_tooltip(int button_center_x, int button_bottom, int text_width, int client_width);

// Adds a wheel delta to the list's remainder and returns the whole notches
// it now holds (positive: towards the top), leaving the rest below one notch.
int take_wheel_notches(int& rest, int delta);
// The top row after scrolling by notches with lines rows per notch (lines
// clamped to 1..4), kept within the rows of a list of count rows.
int scrolled_top_row(int top, int count, int notches, int lines);

// The outer width of the window after the sidebar is hidden or shown.
// hiding: the width without the sidebar, but never below min_width (the
// width the menu row needs). Showing: the width remembered while it was
// hidden, or the current width plus the sidebar when none was remembered.
int sidebar_toggle_width(bool hiding, int outer_width, int sidebar_width, int remembered_width, int min_width);
// The new left edge for a window whose width changes from old_width to
// new_width with its right edge kept, moved back inside the work area
// [work_left, work_right) where it was inside before.
int sidebar_toggle_left(int old_left, int old_width, int new_width, int work_left, int work_right);

// The view a start-up shows, from the stored last view.
struct StartView {
    bool templates = false;
    int mode = 0;       // 0 all ... 6 images, as the main window's view_mode
    int category = -1;  // for mode 5
};
StartView start_view(bool last_was_templates, int last_filter, int last_category);
