#pragma once
// The arithmetic of the popup menu, free of windows so that it can be
// checked directly: row geometry, hit testing, keyboard movement, scrolling
// and where a menu goes on the screen.

#include "ui/menu/popup_menu_item.h"

#include <windows.h>

inline constexpr int kMenuRowHeight = 28;
inline constexpr int kMenuSeparatorHeight = 9;
inline constexpr int kMenuMargin = 6;          // above the first row and below the last
inline constexpr int kMenuTextAllowance = 58;  // width beyond the widest text
inline constexpr int kMenuMinWidth = 120;
inline constexpr int kMenuEdgeGap = 4;  // kept free at the screen's right and bottom
inline constexpr int kSubmenuGap = 2;   // between a menu and its submenu
inline constexpr UINT kSubmenuDelayMs = 250;
// A menu taller than the work area scrolls; a strip with an arrow at either
// end, shown while there is more that way, scrolls it while the pointer rests
// there.
inline constexpr int kMenuArrowHeight = 16;
inline constexpr int kMenuArrowSpeed = 400;  // pixels a second
inline constexpr UINT kMenuArrowTickMs = 20;

int menu_row_height(const PopupMenuItem& item);
int popup_menu_height(const PopupMenuItems& items);
int popup_menu_width(int widest_text);
// The y of a row's top edge among the rows (the client y while the menu is
// not scrolled).
int menu_row_top(const PopupMenuItems& items, int index);
// The row at a y among the rows (x plays no part), or -1 for a separator,
// the margins and below the last row.
int menu_row_at(const PopupMenuItems& items, int y);
// Keyboard movement from the hovered row (-1: none, counted from row 0) by
// step (+1 down, -1 up), wrapping around and skipping separators and
// disabled rows. Returns hovered unchanged when no row can be reached.
int menu_step(const PopupMenuItems& items, int hovered, int step);
// Whether a row can be hovered by keyboard, chosen or opened.
bool menu_row_usable(const PopupMenuItems& items, int index);
// Page Up and Page Down: from the hovered row (-1: none) toward step, the
// farthest usable row within page pixels of rows (the next usable one beyond
// when none is that near), stopping at the ends. Home and End are a page of
// every row.
int menu_page_step(const PopupMenuItems& items, int hovered, int step, int page);

// The height of a menu's window: all of its rows, or the height of the work
// area when they need more, and then the menu scrolls.
int popup_menu_window_height(const PopupMenuItems& items, const RECT& area);
// A scroll offset is how many pixels of rows lie above the window's top
// edge, from 0 to what shows the last row above the bottom margin.
int clamp_menu_scroll(const PopupMenuItems& items, int view_height, int scroll);
enum class MenuArrow { None, Up, Down };
// Whether that arrow's strip shows: there are rows beyond it.
bool menu_arrow_shown(const PopupMenuItems& items, int view_height, int scroll, MenuArrow arrow);
struct MenuHit {
    int row = -1;  // as menu_row_at
    MenuArrow arrow = MenuArrow::None;
};
// What lies at a client point of a window of size view scrolled by scroll:
// an arrow strip (shown only while there are rows beyond it, and over the
// rows), else the row by y alone, as menu_row_at.
MenuHit menu_hit(const PopupMenuItems& items, SIZE view, int scroll, POINT at);
// The scroll offset nearest to scroll that shows the whole row, clear of
// the arrow strips.
int menu_scroll_to_show(const PopupMenuItems& items, int view_height, int scroll, int row);

// The top-left corner for a menu of the given size opened at (x, y), kept
// inside area (the work area of the monitor under the point): a menu that
// would run over the right or bottom edge moves to 4 pixels inside it, one
// larger than the area starts at its left or top edge.
POINT place_popup_menu(int x, int y, int width, int height, const RECT& area);
// The corner of a submenu opened from a row of the menu whose window is
// parent: beside the parent's right edge at the row's height, or beside its
// left edge when it would not fit on the right but fits there.
POINT place_submenu(const RECT& parent, int row_top, int width, const RECT& area);
