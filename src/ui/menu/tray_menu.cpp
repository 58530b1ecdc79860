#include "ui/menu/tray_menu.h"

#include "config/language.h"
#include "ui/menu/popup_menu.h"

PopupMenuItems tray_menu_items() {
    PopupMenuItems items;
    append_menu_item(items, kTrayOpenHistory, tr(L"tray.open_history"));
    append_menu_item(items, kTrayOpenSettings, tr(L"action.open_settings"));
    append_menu_item(items, kTrayClearHistory, tr(L"tray.clear_history"));
    append_menu_item(items, kTrayTemplates, tr(L"tray.snippets"));
    append_menu_item(items, kTrayScreenshot, tr(L"action.screenshot"));
    append_menu_separator(items);
    append_menu_item(items, kTrayQuit, tr(L"action.quit"));
    return items;
}

std::uint64_t show_tray_menu(HWND owner, bool dark) {
    POINT at{};
    GetCursorPos(&at);
    return track_popup_menu(owner, at.x, at.y, tray_menu_items(), dark);
}
