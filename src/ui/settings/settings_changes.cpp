// Every change a settings control makes: Settings first, then the part of the
// program it concerns, then the settings file.

#include "ui/settings/settings_changes.h"

#include "capture/clipboard_watcher.h"
#include "config/file_locations.h"
#include "config/ini_values.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/autostart.h"
#include "services/com_ptr.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/dialogs/json_file_dialogs.h"
#include "ui/kit/hotkey_field.h"
#include "ui/kit/window_decoration.h"
#include "ui/main_window/main_window.h"
#include "ui/settings/hotkey_validator.h"
#include "ui/settings/settings_values.h"
#include "ui/settings/settings_window.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

Settings* settings_of(const SettingsWindow& sw) { return sw.app ? sw.app->settings : nullptr; }
MainWindow* main_window_of(const SettingsWindow& sw) { return sw.app ? sw.app->main_window : nullptr; }

void save_settings(const SettingsWindow& sw) {
    if (const Settings* s = settings_of(sw)) Settings::save(*s, ini_path());
}

void refresh_entries(SettingsWindow& sw) {
    if (MainWindow* mw = main_window_of(sw)) mw->refresh_list();
}

// The main window reads its own copies of these while it works.
void apply_close_on_paste_change(SettingsWindow& sw, bool on) {
    if (MainWindow* mw = main_window_of(sw)) mw->close_on_paste = on;
}
void apply_tray_on_minimize_change(SettingsWindow& sw, bool on) {
    if (MainWindow* mw = main_window_of(sw)) mw->tray_on_minimize = on;
}
void apply_show_time_change(SettingsWindow& sw, bool on) {
    if (MainWindow* mw = main_window_of(sw)) mw->show_time = on;
}
void apply_language_change(SettingsWindow& sw) {
    if (MainWindow* mw = main_window_of(sw)) mw->apply_language();
}

// Settings.font_size holds the size already; the list, the preview and the
// quick menu follow it.
void apply_list_font_change(SettingsWindow& sw, int) {
    if (MainWindow* mw = main_window_of(sw)) mw->apply_font_size();
}

// ---------------------------------------------------------------- switches

void apply_watch(SettingsWindow& sw, bool on) {
    if (sw.app && sw.app->watcher) sw.app->watcher->set_enabled(on);
    if (MainWindow* mw = main_window_of(sw); mw && mw->watch_toggle)
        SendMessageW(mw->watch_toggle, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The program's theme change themes this window too (follow_live_settings).
void apply_dark_mode(SettingsWindow& sw, bool on) {
    if (sw.app) sw.app->set_dark_mode(on);
}

// The window follows the switch, whatever happened to it meanwhile.
void apply_always_on_top(SettingsWindow& sw, bool on) {
    MainWindow* mw = main_window_of(sw);
    if (mw && mw->hwnd && ((GetWindowLongPtrW(mw->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) != on) mw->toggle_topmost();
    if (Settings* s = settings_of(sw)) s->always_on_top = on;
}

void apply_show_time(SettingsWindow& sw, bool on) {
    apply_show_time_change(sw, on);
    refresh_entries(sw);
}

struct ToggleRow {
    int id;
    bool Settings::*setting;
    void (*effect)(SettingsWindow&, bool on);  // null: Settings alone
};

constexpr auto kRefreshEntries = [](SettingsWindow& sw, bool) { refresh_entries(sw); };

const ToggleRow kToggles[] = {
    {kIdSettingsWatch, &Settings::watch_clipboard, apply_watch},
    {kIdSettingsDarkMode, &Settings::dark_mode, apply_dark_mode},
    {kIdSettingsAlwaysOnTop, &Settings::always_on_top, apply_always_on_top},
    {kIdSettingsCloseOnPaste, &Settings::close_on_paste, apply_close_on_paste_change},
    {kIdSettingsTrayOnMinimize, &Settings::tray_on_minimize, apply_tray_on_minimize_change},
    {kIdSettingsStartInTray, &Settings::start_in_tray, nullptr},
    {kIdSettingsShowTime, &Settings::show_time, apply_show_time},
    {kIdSettingsSortByFrequency, &Settings::sort_by_frequency, kRefreshEntries},
    {kIdSettingsSoundOnCopy, &Settings::sound_on_copy, nullptr},
    {kIdSettingsSoundOnPaste, &Settings::sound_on_paste, nullptr},
    {kIdSettingsHideOnCopy, &Settings::hide_on_copy, nullptr},
    {kIdSettingsRepeatOnCopy, &Settings::repeat_on_copy, nullptr},
    {kIdSettingsShowHints, &Settings::show_hints, nullptr},
    {kIdSettingsShowCategory, &Settings::show_category, kRefreshEntries},
    {kIdSettingsPinnedFirst, &Settings::pinned_first, kRefreshEntries},
    {kIdSettingsShotEditor, &Settings::screenshot_editor_enabled, nullptr},
    {kIdSettingsShotCopy, &Settings::screenshot_copy_to_clipboard, nullptr},
    {kIdSettingsShotAutosave, &Settings::screenshot_autosave, nullptr},
    {kIdSettingsImageAutosave, &Settings::clipboard_images_autosave, nullptr},
};

bool is_on(const SettingsWindow& sw, int id) { return IsDlgButtonChecked(sw.window, id) == BST_CHECKED; }

void on_toggle(SettingsWindow& sw, const ToggleRow& row) {
    const bool on = is_on(sw, row.id);
    if (Settings* s = settings_of(sw)) s->*row.setting = on;
    if (row.effect) row.effect(sw, on);
    save_settings(sw);
}

void on_hidden_view_toggle(SettingsWindow& sw, int id) {
    if (Settings* s = settings_of(sw)) {
        const int bit = 1 << (id - kIdSettingsHidePinned);
        s->categories_hidden = is_on(sw, id) ? (s->categories_hidden | bit) : (s->categories_hidden & ~bit);
    }
    if (MainWindow* mw = main_window_of(sw)) mw->refresh_all();
    save_settings(sw);
}

// ---------------------------------------------------------------- hotkeys

struct HotkeyRoute {
    int field_id;
    int hotkey_id;
};

// An emptied field turns its hotkey off at once: the field never shows
// nothing while the old combination still works.
const HotkeyRoute kHotkeyRoutes[] = {
    {kIdSettingsMainHotkey, kHotkeyOpenHistory},      {kIdSettingsPlainHotkey, kHotkeyPlainPaste},
    {kIdSettingsSnippetsHotkey, kHotkeyTemplates},    {kIdSettingsShotAreaHotkey, kHotkeyShotArea},
    {kIdSettingsShotWindowHotkey, kHotkeyShotWindow}, {kIdSettingsShotFullHotkey, kHotkeyShotFull},
};

void on_hotkey_changed(SettingsWindow& sw, const HotkeyRoute& route, HWND chip) {
    Settings* s = settings_of(sw);
    const HotkeyFieldRow* row = hotkey_field_row(route.field_id);
    if (!sw.app || !sw.app->set_hotkey || !s || !row || !chip) return;
    const std::wstring& stored = s->*row->setting;
    sw.app->set_hotkey(route.hotkey_id, window_text(chip));
    // A combination the system refused leaves the previous one in effect
    // (or, for area screenshots, the fallback): the field shows what works,
    // and no longer a refusal from before.
    SetWindowTextW(chip, stored.c_str());
    save_settings(sw);
}

std::vector<std::wstring> stored_hotkey_texts(const Settings& s) {
    std::vector<std::wstring> texts;
    for (const HotkeyFieldRow& row : hotkey_fields()) texts.push_back(s.*row.setting);
    return texts;
}

// A field that starts recording frees the program's hotkeys; one that stops
// has them registered again. One that another program took meanwhile is
// shown as refused, as the field's own probe shows a taken combination, and
// a field whose text changed meanwhile (the area screenshot's fallback)
// shows the new one.
void on_recording(SettingsWindow& sw, bool started) {
    if (!sw.app || !sw.app->pause_hotkeys) return;
    const Settings* s = settings_of(sw);
    const std::vector<std::wstring> before = s ? stored_hotkey_texts(*s) : std::vector<std::wstring>();
    const std::vector<int> lost = sw.app->pause_hotkeys(started);
    if (started || !s || sw.building || !sw.window) return;
    for (HWND chip : sw.chips) {
        const int id = GetDlgCtrlID(chip);
        const auto route = std::ranges::find(kHotkeyRoutes, id, &HotkeyRoute::field_id);
        const HotkeyFieldRow* row = hotkey_field_row(id);
        if (route == std::end(kHotkeyRoutes) || !row) continue;
        const std::wstring& stored = s->*row->setting;
        if (stored != before[row - hotkey_fields().data()]) SetWindowTextW(chip, stored.c_str());
        if (std::ranges::find(lost, route->hotkey_id) != lost.end())
            set_hotkey_chip_message(chip, tr(L"hotkey_field.busy_other"));
    }
}

// ---------------------------------------------------------------- numbers

void apply_ttl_days(SettingsWindow& sw, int days) {
    if (Settings* s = settings_of(sw)) s->ttl_days = days;
    if (sw.app && sw.app->db && sw.app->db->purge_expired(days) > 0) refresh_entries(sw);
}

void apply_trash_hours(SettingsWindow& sw, int hours) {
    if (Settings* s = settings_of(sw)) s->trash_hours = hours;
    if (sw.app && sw.app->db && sw.app->db->purge_trash(hours) > 0) refresh_entries(sw);
}

// The retention fields purge as soon as a value is applied, so a value is
// applied only once it is complete (Enter, or the focus leaving the field),
// never while it is being typed: "30" must not pass through "3".
struct NumberField {
    int id;
    int max;
    int Settings::*setting;
    void (*apply)(SettingsWindow&, int);
};

const NumberField kRetentionFields[] = {
    {kIdSettingsTtlDays, 3650, &Settings::ttl_days, apply_ttl_days},
    {kIdSettingsTrashHours, 168, &Settings::trash_hours, apply_trash_hours},
};

void commit_number_field(SettingsWindow& sw, const NumberField& field) {
    if (std::ranges::find(sw.pending_numbers, field.id) == sw.pending_numbers.end()) return;
    Settings* s = settings_of(sw);
    HWND edit = sw.window ? GetDlgItem(sw.window, field.id) : nullptr;
    if (!s || !edit) {
        std::erase(sw.pending_numbers, field.id);
        return;
    }
    // What cannot be read as a number shows the value in effect again.
    const int current = s->*field.setting;
    const int value = parse_retention_number(window_text(edit), field.max).value_or(current);
    const std::wstring shown = std::to_wstring(value);
    if (window_text(edit) != shown) SetWindowTextW(edit, shown.c_str());
    std::erase(sw.pending_numbers, field.id);  // after the rewrite, whose EN_CHANGE marks it again
    if (value == current) return;
    field.apply(sw, value);
    save_settings(sw);
}

void on_retention_field(SettingsWindow& sw, const NumberField& field, int code) {
    if (code == EN_CHANGE) {
        if (std::ranges::find(sw.pending_numbers, field.id) == sw.pending_numbers.end())
            sw.pending_numbers.push_back(field.id);
    } else if (code == EN_KILLFOCUS) {
        commit_number_field(sw, field);
    }
}

// Enter in a field reaches the window as the dialog's OK command.
void on_enter(SettingsWindow& sw) {
    const int focused = GetDlgCtrlID(GetFocus());
    for (const NumberField& field : kRetentionFields)
        if (field.id == focused) commit_number_field(sw, field);
}

void on_font_size_typed(SettingsWindow& sw, HWND edit) {
    Settings* s = settings_of(sw);
    if (!s) return;
    if (const std::optional<int> size = parse_setting_number(window_text(edit), 10, 18)) {
        s->font_size = *size;
        apply_list_font_change(sw, *size);
    }
    save_settings(sw);
}

// ---------------------------------------------------------------- lists

int selected_row(HWND combo) {
    const LRESULT row = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return row == CB_ERR ? -1 : static_cast<int>(row);
}

void on_choice(SettingsWindow& sw, int id, HWND combo) {
    Settings* s = settings_of(sw);
    const int row = selected_row(combo);
    if (!s || row < 0) return;
    switch (id) {
    case kIdSettingsFilterMode: {
        const std::wstring mode = filter_mode_of_row(row);
        if (mode.empty()) return;
        s->app_filter_mode = mode;
        break;
    }
    case kIdSettingsScrollLines: s->scroll_lines = std::clamp(row + 1, 1, 4); break;
    case kIdSettingsCopySound: s->sound_copy_id = std::clamp(row + 1, 1, 4); break;
    case kIdSettingsPasteSound: s->sound_paste_id = std::clamp(row + 1, 1, 4); break;
    default: return;
    }
    save_settings(sw);
}

// The window is rebuilt in the new language from a posted message, not
// inside the notification of the combo box it is about to destroy.
void switch_language(SettingsWindow& sw, HWND combo) {
    const int row = selected_row(combo);
    if (row < 0) return;
    const LRESULT index = SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    if (index < 0 || static_cast<size_t>(index) >= sw.language_codes.size()) return;
    const std::wstring code = sw.language_codes[static_cast<size_t>(index)];
    if (code.empty()) return;
    set_language(code);
    if (Settings* s = settings_of(sw)) Settings::set(*s, L"language", code);
    save_settings(sw);
    apply_language_change(sw);
    PostMessageW(sw.window, kMsgRebuildSettings, 0, 0);
}

// ---------------------------------------------------------------- buttons

void export_history(SettingsWindow& sw) {
    if (sw.app && sw.app->db) export_history_json(sw.window, *sw.app->db);
}

void import_history(SettingsWindow& sw) {
    if (!sw.app || !sw.app->db || !import_history_json(sw.window, *sw.app->db)) return;
    if (MainWindow* mw = main_window_of(sw)) {
        mw->refresh_all();
        mw->refresh_list();
    }
}

std::wstring pick_folder_with_item_dialog(HWND owner, const std::wstring& start, bool& available) {
    ComPtr<IFileOpenDialog> dialog;
    available = SUCCEEDED(
        CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog, dialog.put_void()));
    if (!available) return {};
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // The folder browsed to must not stay current, held in use (a USB stick), as with the file dialogs.
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    if (!start.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_IShellItem, folder.put_void())))
            dialog->SetFolder(folder.get());
    }
    ComPtr<IShellItem> result;
    PWSTR path = nullptr;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(result.put())) ||
        FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return {};
    std::wstring chosen = path;
    CoTaskMemFree(path);
    return chosen;
}

std::wstring pick_folder_with_browse_dialog(HWND owner) {
    const std::wstring title = tr(L"screenshot.folder_picker");
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return {};
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    return ok ? path : L"";
}

void browse_for_folder(SettingsWindow& sw) {
    HWND field = GetDlgItem(sw.window, kIdSettingsShotFolder);
    Settings* s = settings_of(sw);
    std::wstring folder;
    {
        ScopedCoInit com;
        bool available = false;
        // The folder as stored: the field may still show the quotes it was typed with.
        folder = pick_folder_with_item_dialog(sw.window, s ? s->screenshot_folder : L"", available);
        if (!available) folder = pick_folder_with_browse_dialog(sw.window);
    }
    if (folder.empty()) return;
    if (field) SetWindowTextW(field, folder.c_str());
    if (s) s->screenshot_folder = folder;
    save_settings(sw);
}

// Kept as the settings file will give it back at the next start: a path
// pasted with the quotes of "Copy as path" works at once, not only then.
void on_text_typed(SettingsWindow& sw, int id, HWND edit) {
    Settings* s = settings_of(sw);
    if (!s) return;
    (id == kIdSettingsFilterList ? s->app_filter_list : s->screenshot_folder) = ini_value_as_read(window_text(edit));
    save_settings(sw);
}

void on_click(SettingsWindow& sw, int id) {
    switch (id) {
    case kIdSettingsAutostart: set_autostart(is_on(sw, id), exe_path()); break;
    case kIdSettingsExport: export_history(sw); break;
    case kIdSettingsImport: import_history(sw); break;
    case kIdSettingsClose: DestroyWindow(sw.window); break;
    case kIdSettingsBrowseFolder: browse_for_folder(sw); break;
    default: break;
    }
}

}  // namespace

void on_settings_command(SettingsWindow& sw, int id, int code, HWND control) {
    // Heard also while the window is being destroyed: a field listening then
    // gives the program its hotkeys back.
    if ((code == kHotkeyFieldRecordingStarted || code == kHotkeyFieldRecordingEnded) && hotkey_field_row(id)) {
        on_recording(sw, code == kHotkeyFieldRecordingStarted);
        return;
    }
    if (sw.building || !sw.window) return;
    if (id == IDOK) return on_enter(sw);
    if (const auto toggle = std::ranges::find(kToggles, id, &ToggleRow::id); toggle != std::end(kToggles)) {
        if (code == BN_CLICKED) on_toggle(sw, *toggle);
        return;
    }
    if (id >= kIdSettingsHidePinned && id <= kIdSettingsHideImages) {
        if (code == BN_CLICKED) on_hidden_view_toggle(sw, id);
        return;
    }
    if (const auto route = std::ranges::find(kHotkeyRoutes, id, &HotkeyRoute::field_id);
        route != std::end(kHotkeyRoutes)) {
        if (code == kHotkeyFieldChanged) on_hotkey_changed(sw, *route, control);
        return;
    }
    if (const auto field = std::ranges::find(kRetentionFields, id, &NumberField::id);
        field != std::end(kRetentionFields))
        return on_retention_field(sw, *field, code);
    switch (id) {
    case kIdSettingsFontSize:
        if (code == EN_CHANGE) on_font_size_typed(sw, control);
        break;
    case kIdSettingsFilterList:
    case kIdSettingsShotFolder:
        if (code == EN_CHANGE) on_text_typed(sw, id, control);
        break;
    case kIdSettingsFilterMode:
    case kIdSettingsScrollLines:
    case kIdSettingsCopySound:
    case kIdSettingsPasteSound:
        if (code == CBN_SELCHANGE) on_choice(sw, id, control);
        break;
    case kIdSettingsLanguage:
        if (code == CBN_SELCHANGE) switch_language(sw, control);
        break;
    case kIdSettingsNav:
        if (code == LBN_SELCHANGE) {
            const LRESULT row = SendMessageW(sw.nav, LB_GETCURSEL, 0, 0);
            if (row != LB_ERR) show_settings_page(sw, static_cast<int>(row));
        }
        break;
    default:
        if (code == BN_CLICKED) on_click(sw, id);
        break;
    }
}

void commit_settings_fields(SettingsWindow& sw) {
    for (const NumberField& field : kRetentionFields) commit_number_field(sw, field);
}

void follow_live_settings(SettingsWindow& sw) {
    const Settings* s = settings_of(sw);
    if (!s || sw.building || !sw.window || !IsWindow(sw.window)) return;
    // Set without a click: no change of its own follows.
    const auto show = [&sw](int id, bool on) {
        if (is_on(sw, id) == on) return;
        CheckDlgButton(sw.window, id, on ? BST_CHECKED : BST_UNCHECKED);
        InvalidateRect(GetDlgItem(sw.window, id), nullptr, TRUE);
    };
    for (const ToggleRow& row : kToggles) show(row.id, s->*row.setting);
    for (int id = kIdSettingsHidePinned; id <= kIdSettingsHideImages; ++id)
        show(id, (s->categories_hidden & (1 << (id - kIdSettingsHidePinned))) != 0);
    if (sw.controls_dark == s->dark_mode) return;
    apply_dark_title_bar(sw.window, s->dark_mode);
    apply_theme_to_controls(sw, s->dark_mode);
    RedrawWindow(sw.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
