#pragma once
// The program's one popup menu: a top-most tool window of the class
// "KorvanePopupMenu", painted in the palette, with its own modal message
// loop, keyboard handling and nested submenus. The caller builds the rows
// (ui/menu/popup_menu_item.h), calls track_popup_menu with a screen point and gets
// the chosen row's id back, or 0 when the menu was dismissed.
//
// While a menu is open its loop dispatches the thread's other messages, so
// timers and the painting of other windows go on. A WM_QUIT ends the menu
// (returning 0) and is posted again for the program's own loop.

#include "ui/menu/popup_menu_item.h"

#include <windows.h>

#include <cstdint>

// Shows a menu with its top-left corner at the screen point (x, y), kept on
// the work area of the monitor under that point (one taller than that area
// is cut to its height and scrolls: wheel, keys, arrows at its ends), and
// returns the chosen id, or 0 when the menu was dismissed or could not be
// shown.
std::uint64_t track_popup_menu(HWND owner, int x, int y, const PopupMenuItems& items, bool dark);

// The full form, used for submenus: parent_menu is the menu window the
// submenu belongs to, and *dismissed (when given) becomes true when the user
// dismissed the whole chain of menus (Esc, a click outside every menu, the
// program losing the focus, or a quit).
std::uint64_t show_popup_menu(HWND owner, int x, int y, const PopupMenuItems& items, bool dark, HWND parent_menu,
                              bool* dismissed);

// Ends every open menu as a click outside would (each returns 0): the mouse
// is released at once, and each loop ends as soon as it has handled the
// message it is dispatching (this call may come from inside one). True when
// a menu was open and had not been told to end yet.
bool end_popup_menus();

// The width of a menu of these rows and the height of all of them.
SIZE measure_popup_menu(const PopupMenuItems& items);
