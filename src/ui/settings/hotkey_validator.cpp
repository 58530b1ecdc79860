#include "ui/settings/hotkey_validator.h"

#include "config/language.h"
#include "services/hotkey.h"
#include "services/ids.h"
#include "ui/main_window/entry_format.h"

#include <algorithm>

namespace {

const HotkeyFieldRow kHotkeyFields[] = {
    {kIdSettingsMainHotkey, tr_key(L"startup.hotkey_open"), &Settings::hotkey},
    {kIdSettingsPlainHotkey, tr_key(L"startup.hotkey_plain"), &Settings::plain_hotkey},
    {kIdSettingsSnippetsHotkey, tr_key(L"templates.hotkey"), &Settings::snippets_hotkey},
    {kIdSettingsShotAreaHotkey, tr_key(L"screenshot.hotkey_area"), &Settings::screenshot_hotkey},
    {kIdSettingsShotWindowHotkey, tr_key(L"screenshot.hotkey_window"), &Settings::screenshot_window_hotkey},
    {kIdSettingsShotFullHotkey, tr_key(L"screenshot.hotkey_full"), &Settings::screenshot_full_hotkey},
};

}  // namespace

std::span<const HotkeyFieldRow> hotkey_fields() { return kHotkeyFields; }

const HotkeyFieldRow* hotkey_field_row(int id) {
    const auto row = std::ranges::find(kHotkeyFields, id, &HotkeyFieldRow::id);
    return row == std::end(kHotkeyFields) ? nullptr : &*row;
}

std::wstring hotkey_clash_message(const std::wstring& candidate, int own_id, const Settings* settings) {
    const HotkeyPair wanted = parse_hotkey(candidate);
    if (wanted.vk == 0) return {};
    const auto in_use = [](const std::wstring& name) { return tr(L"hotkey_field.busy_own") + L" " + name; };
    for (const HotkeyFieldRow& row : kHotkeyFields) {
        if (row.id == own_id || !settings) continue;
        const HotkeyPair other = parse_hotkey(settings->*row.setting);
        if (other.vk != 0 && other == wanted) return in_use(tr(row.label_key));
    }
    // The fixed ones are the program's own too, not another program's.
    if (wanted == kQuickMenuHotkey) return in_use(tr(L"hotkey_field.quick_menu"));
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        if (wanted == quick_slot_hotkey(slot)) return in_use(tr_format(L"hotkey_field.quick_slot", slot));
    return {};
}

HotkeyValidator make_hotkey_validator(HWND window, const Settings* settings, int own_id) {
    return [window, settings, own_id](const std::wstring& candidate) -> std::wstring {
        std::wstring clash = hotkey_clash_message(candidate, own_id, settings);
        if (!clash.empty()) return clash;
        const HotkeyPair pair = parse_hotkey(candidate);
        if (pair.vk == 0) return {};
        if (!RegisterHotKey(window, kHotkeyProbe, pair.modifiers, pair.vk)) return tr(L"hotkey_field.busy_other");
        UnregisterHotKey(window, kHotkeyProbe);
        return {};
    };
}
