#pragma once
// The rows of a popup menu. Every menu of the program (menu-bar drop-downs,
// context menus, the tray menu, pickers) is a vector of these, shown by
// track_popup_menu (ui/menu/popup_menu.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PopupMenuItem {
    std::wstring text;                    // the label; empty for a separator
    std::uint64_t id = 0;                 // what the menu returns when the row is chosen
    bool separator = false;               // a rule: never hovered or chosen
    bool checked = false;                 // shows a check mark, text indented
    bool enabled = true;                  // disabled rows are greyed and cannot be chosen or opened
    std::vector<PopupMenuItem> children;  // non-empty: the row opens a submenu
};

using PopupMenuItems = std::vector<PopupMenuItem>;

void append_menu_item(PopupMenuItems& list, std::uint64_t id, std::wstring text);
void append_check_item(PopupMenuItems& list, std::uint64_t id, std::wstring text, bool checked);
void append_menu_separator(PopupMenuItems& list);
// Moves a prepared row (with children, or disabled) to the end.
void push_menu_item(PopupMenuItems& list, PopupMenuItem&& item);

// Menus whose rows stand for a list of things (template groups...) pack each
// row's id as (index << 8) | tag. unpack_menu_command gives the tag and the
// index, the index capped at count: an index equal to count stands for the
// menu's extra last row (such as "no group").
struct MenuCommand {
    std::uint32_t tag;
    std::size_t index;
};
MenuCommand unpack_menu_command(std::uint64_t packed, std::size_t count);
// The inverse, for the menus that build such ids.
std::uint64_t pack_menu_command(std::uint32_t tag, std::size_t index);
