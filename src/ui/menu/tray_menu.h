#pragma once
// The tray icon's right-click menu: its rows, in the language of the user
// interface, and showing it at the mouse pointer. What each choice does is
// the main window procedure's business.

#include "services/ids.h"
#include "ui/menu/popup_menu_item.h"

#include <windows.h>

#include <cstdint>

// Open history, settings, clear history, templates, screenshot, a rule, quit.
PopupMenuItems tray_menu_items();

// Shows the menu at the mouse pointer and returns the chosen row (kTray...), or 0.
std::uint64_t show_tray_menu(HWND owner, bool dark);
