#pragma once
// The seven pages of the settings window in navigation order: the glyph of
// the icon font shown beside each and the key of its name.

#include <span>

struct SettingsPage {
    wchar_t glyph;
    const wchar_t* key;
};

std::span<const SettingsPage> settings_pages();
