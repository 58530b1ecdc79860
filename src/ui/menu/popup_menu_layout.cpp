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
