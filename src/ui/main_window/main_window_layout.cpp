#include "ui/main_window/main_window_layout.h"

#include "ui/main_window/entry_format.h"

#include <algorithm>

namespace {

constexpr int kMenuLeft = 10;
constexpr int kMargin = 12;
constexpr int kSearchHeight = 22;
constexpr int kSearchButtonSize = 28;
constexpr int kBottomRow = 30;  // the watch switch and the status line

}  // namespace

int menu_button_width(int text_width) { return std::max(text_width + 12, 40); }

int top_row_min_width(const std::vector<int>& menu_text_widths) {
    int width = kMenuLeft;
    for (int text : menu_text_widths) width += menu_button_width(text) + 1;
    return width + kMargin;
}

FrameLayout compute_frame_layout(int width, int height, int top_row, int sidebar_width, bool sidebar_hidden,
                                 const std::vector<int>& menu_text_widths) {
    FrameLayout out;
    int x = kMenuLeft;
    for (int text : menu_text_widths) {
        const int w = menu_button_width(text);
        out.menu_buttons.push_back({x, 2, w, top_row - 4});
        x += w + 1;
    }

    const int search_width = std::max(width - 58, 120);
    out.search = {kMargin, top_row + 43, search_width, kSearchHeight};
    out.search_button = {search_width + 18, top_row + 40, kSearchButtonSize, kSearchButtonSize};

    const int lists_top = top_row + 74;
    const int lists_height = std::max(height - lists_top - kBottomRow, 40);
    // Margins left of the sidebar, between the lists and right of the list.
    int side = sidebar_hidden ? 0 : sidebar_width;
    int list_width = width - side - 3 * kMargin;
    if (list_width < kMinListWidth) {
        side = std::max(width - (kMinListWidth + 3 * kMargin), 0);
        list_width = kMinListWidth;
    }
    if (side < 1) {
        out.list = {kMargin, lists_top, width - 2 * kMargin, lists_height};
    } else {
        out.sidebar_shown = true;
        out.sidebar = {kMargin, lists_top, side, lists_height};
        out.list = {side + 2 * kMargin, lists_top, list_width, lists_height};
    }
    out.empty_hint = {out.list.x, top_row + 104, width - kMargin - out.list.x - kMargin, 60};
    out.watch_toggle = {kMargin, height - kBottomRow, 210, 28};
    out.status = {234, height - kBottomRow, width - 246, 18};
    return out;
}

FrameBox place_tooltip(int button_center_x, int button_bottom, int text_width, int client_width) {
    const int w = std::max(text_width + 14, 30);
    int x = std::max(button_center_x - w / 2, 0);
    if (x + w > client_width) x = std::max(client_width - w, 0);
    return {x, button_bottom + 2, w, kTooltipHeight};
}

int take_wheel_notches(int& rest, int delta) {
    rest += delta;
    const int notches = rest / kWheelDelta;
    rest -= notches * kWheelDelta;
    return notches;
}

int scrolled_top_row(int top, int count, int notches, int lines) {
    if (count <= 0) return top;
    const int step = std::clamp(lines, 1, 4);
    const long long wanted = static_cast<long long>(top) - static_cast<long long>(step) * notches;
    return static_cast<int>(std::clamp<long long>(wanted, 0, count - 1));
}

int sidebar_toggle_width(bool hiding, int outer_width, int sidebar_width, int remembered_width, int min_width) {
    const int side = std::max(sidebar_width, 0);
    if (hiding) return std::max(outer_width - side, min_width);
    return std::max(outer_width, remembered_width < 1 ? outer_width + side : remembered_width);
}

int sidebar_toggle_left(int old_left, int old_width, int new_width, int work_left, int work_right) {
    int left = old_left + old_width - new_width;
    if (left < work_left && old_left >= work_left) left = work_left;
    const int old_right = old_left + old_width;
    if (left + new_width > work_right && old_right <= work_right) left = work_right - new_width;
    return left;
}

StartView start_view(bool last_was_templates, int last_filter, int last_category) {
    if (last_was_templates) return {true, kViewAll, -1};
    if (last_filter == kViewImages) return {false, kViewImages, -1};
    if (last_filter >= kViewCategory && last_category >= 1) return {false, kViewCategory, last_category};
    if (last_filter >= kViewPinned && last_filter <= kViewTrash) return {false, last_filter, -1};
    return {};
}
