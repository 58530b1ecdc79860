#include "ui/menu/popup_menu_item.h"

#include <algorithm>
#include <utility>

void append_menu_item(PopupMenuItems& list, std::uint64_t id, std::wstring text) {
    PopupMenuItem item;
    item.text = std::move(text);
    item.id = id;
    list.push_back(std::move(item));
}

void append_check_item(PopupMenuItems& list, std::uint64_t id, std::wstring text, bool checked) {
    append_menu_item(list, id, std::move(text));
    list.back().checked = checked;
}

void append_menu_separator(PopupMenuItems& list) {
    PopupMenuItem item;
    item.separator = true;
    list.push_back(std::move(item));
}

void push_menu_item(PopupMenuItems& list, PopupMenuItem&& item) { list.push_back(std::move(item)); }

MenuCommand unpack_menu_command(std::uint64_t packed, std::size_t count) {
    const std::uint64_t index = packed >> 8;
    return MenuCommand{static_cast<std::uint32_t>(packed & 0xFF),
                       static_cast<std::size_t>(std::min<std::uint64_t>(index, count))};
}

std::uint64_t pack_menu_command(std::uint32_t tag, std::size_t index) {
    return (static_cast<std::uint64_t>(index) << 8) | (tag & 0xFF);
}
