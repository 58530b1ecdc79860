#include "ui/menu/popup_menu_layout.h"

#include <algorithm>

int menu_row_height(const PopupMenuItem& item) { return item.separator ? kMenuSeparatorHeight : kMenuRowHeight; }

int popup_menu_height(const PopupMenuItems& items) {
    int height = 2 * kMenuMargin;
    for (const PopupMenuItem& item : items) height += menu_row_height(item);
    return height;
}

int popup_menu_width(int widest_text) { return std::max(widest_text + kMenuTextAllowance, kMenuMinWidth); }

int menu_row_top(const PopupMenuItems& items, int index) {
    int y = kMenuMargin;
    for (int i = 0; i < index && i < static_cast<int>(items.size()); ++i)
        y += menu_row_height(items[static_cast<size_t>(i)]);
    return y;
}

int menu_row_at(const PopupMenuItems& items, int y) {
    int top = kMenuMargin;
    for (size_t i = 0; i < items.size(); ++i) {
        const int bottom = top + menu_row_height(items[i]);
        if (y >= top && y < bottom) return items[i].separator ? -1 : static_cast<int>(i);
        top = bottom;
    }
    return -1;
}

bool menu_row_usable(const PopupMenuItems& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return false;
    const PopupMenuItem& item = items[static_cast<size_t>(index)];
    return !item.separator && item.enabled;
}

int menu_step(const PopupMenuItems& items, int hovered, int step) {
    const int count = static_cast<int>(items.size());
    if (count == 0) return hovered;
    int row = (hovered >= 0 && hovered < count) ? hovered : 0;
    for (int tries = 0; tries <= count; ++tries) {
        row = ((row + step) % count + count) % count;
        if (menu_row_usable(items, row)) return row;
    }
    return hovered;
}

int menu_page_step(const PopupMenuItems& items, int hovered, int step, int page) {
    const int count = static_cast<int>(items.size());
    const int start = (hovered >= 0 && hovered < count) ? hovered : (step > 0 ? -1 : count);
    int found = hovered;
    int travelled = 0;
    for (int row = start + step; row >= 0 && row < count; row += step) {
        travelled += menu_row_height(items[static_cast<size_t>(row)]);
        if (travelled > page && found != hovered) break;
        if (menu_row_usable(items, row)) found = row;
    }
    return found;
}

int popup_menu_window_height(const PopupMenuItems& items, const RECT& area) {
    return std::min(popup_menu_height(items), static_cast<int>(area.bottom - area.top));
}

namespace {

int max_scroll(const PopupMenuItems& items, int view_height) {
    return std::max(popup_menu_height(items) - view_height, 0);
}

}  // namespace

int clamp_menu_scroll(const PopupMenuItems& items, int view_height, int scroll) {
    return std::clamp(scroll, 0, max_scroll(items, view_height));
}

bool menu_arrow_shown(const PopupMenuItems& items, int view_height, int scroll, MenuArrow arrow) {
    switch (arrow) {
    case MenuArrow::Up: return scroll > 0;
    case MenuArrow::Down: return scroll < max_scroll(items, view_height);
    default: return false;
    }
}

MenuHit menu_hit(const PopupMenuItems& items, SIZE view, int scroll, POINT at) {
    scroll = clamp_menu_scroll(items, view.cy, scroll);
    if (at.y < 0 || at.y >= view.cy) return {};
    if (at.x >= 0 && at.x < view.cx) {
        if (at.y < kMenuArrowHeight && menu_arrow_shown(items, view.cy, scroll, MenuArrow::Up))
            return {-1, MenuArrow::Up};
        if (at.y >= view.cy - kMenuArrowHeight && menu_arrow_shown(items, view.cy, scroll, MenuArrow::Down))
            return {-1, MenuArrow::Down};
    }
    return {menu_row_at(items, at.y + scroll), MenuArrow::None};
}

int menu_scroll_to_show(const PopupMenuItems& items, int view_height, int scroll, int row) {
    scroll = clamp_menu_scroll(items, view_height, scroll);
    if (row < 0 || row >= static_cast<int>(items.size())) return scroll;
    const int top = menu_row_top(items, row);
    const int bottom = top + menu_row_height(items[static_cast<size_t>(row)]);
    // The row goes a strip's height clear of the edge it lies beyond: that
    // strip still shows after the move, unless the move reaches the end,
    // where the clamp brings the margin into view instead.
    const auto strip = [&](MenuArrow arrow) {
        return menu_arrow_shown(items, view_height, scroll, arrow) ? kMenuArrowHeight : 0;
    };
    if (top - scroll < strip(MenuArrow::Up)) {
        scroll = top - kMenuArrowHeight;
    } else if (bottom - scroll > view_height - strip(MenuArrow::Down)) {
        scroll = bottom + kMenuArrowHeight - view_height;
    }
    return clamp_menu_scroll(items, view_height, scroll);
}

namespace {

// One axis of place_popup_menu.
LONG place_on_axis(LONG start, int size, LONG low, LONG high) {
    if (start + size > high) start = (high - low - size < 1) ? low : high - size - kMenuEdgeGap;
    return std::max(start, low);
}

}  // namespace

POINT place_popup_menu(int x, int y, int width, int height, const RECT& area) {
    return POINT{place_on_axis(x, width, area.left, area.right), place_on_axis(y, height, area.top, area.bottom)};
}

POINT place_submenu(const RECT& parent, int row_top, int width, const RECT& area) {
    LONG x = parent.right + kSubmenuGap;
    const LONG left_side = parent.left - kSubmenuGap - width;
    if (x + width > area.right && left_side >= area.left) x = left_side;
    return POINT{x, parent.top + row_top};
}
