#pragma once
// The tray icon's right-click menu: its rows, in the language of the user
// interface, and showing it at the mouse pointer. What each choice does is
// the main window procedure's business.

#include "ui/menu/popup_menu_item.h"

#include <windows.h>

#include <cstdint>

enum TrayMenuCommand : std::uint64_t {
    kTrayOpenHistory = 1,
    kTrayOpenSettings = 2,
    kTrayClearHistory = 3,
    kTrayQuit = 4,
    kTrayTemplates = 5,
    kTrayScreenshot = 6,
};

// Open history, settings, clear history, templates, screenshot, a rule, quit.
PopupMenuItems tray_menu_items();

// Shows the menu at the mouse pointer and returns the chosen command, or 0.
std::uint64_t show_tray_menu(HWND owner, bool dark);
