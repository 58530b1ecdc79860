#pragma once
// The arithmetic of the popup menu, free of windows so that it can be
// checked directly: row geometry, hit testing, keyboard movement and where
// a menu goes on the screen.

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

int menu_row_height(const PopupMenuItem& item);
int popup_menu_height(const PopupMenuItems& items);
int popup_menu_width(int widest_text);
// The y of a row's top edge in the menu's client area.
int menu_row_top(const PopupMenuItems& items, int index);
// The row at a client y (x plays no part), or -1 for a separator, the
// margins and below the last row.
int menu_row_at(const PopupMenuItems& items, int y);
// Keyboard movement from the hovered row (-1: none, counted from row 0) by
// step (+1 down, -1 up), wrapping around and skipping separators and
// disabled rows. Returns hovered unchanged when no row can be reached.
int menu_step(const PopupMenuItems& items, int hovered, int step);
// Whether a row can be hovered by keyboard, chosen or opened.
bool menu_row_usable(const PopupMenuItems& items, int index);

// The top-left corner for a menu of the given size opened at (x, y), kept
// inside area (the work area of the monitor under the point): a menu that
// would run over the right or bottom edge moves to 4 pixels inside it, one
// larger than the area starts at its left or top edge.
POINT place_popup_menu(int x, int y, int width, int height, const RECT& area);
// The corner of a submenu opened from a row of the menu whose window is
// parent: beside the parent's right edge at the row's height, or beside its
// left edge when it would not fit on the right but fits there.
POINT place_submenu(const RECT& parent, int row_top, int width, const RECT& area);
