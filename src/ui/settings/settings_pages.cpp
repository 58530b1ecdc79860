// The pages of the settings window, built row by row, and the window's size.

#include "ui/settings/settings_pages.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/autostart.h"
#include "services/ids.h"
#include "ui/app_parts.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/hotkey_field.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/toggle_switch.h"
#include "ui/settings/hotkey_validator.h"
#include "ui/settings/settings_values.h"
#include "ui/settings/settings_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

const SettingsPage kPages[kSettingsPageCount] = {
    {L'\xE77F', tr_key(L"nav.clipboard")},   {L'\xE8B7', tr_key(L"nav.storage")},
    {L'\xE7C3', tr_key(L"nav.window")},      {L'\xE768', tr_key(L"nav.startup")},
    {L'\xE8FD', tr_key(L"side.templates")},  {L'\xE713', tr_key(L"nav.advanced")},
    {L'\xE722', tr_key(L"nav.screenshots")},
};
constexpr int kPageClipboard = 0, kPageStorage = 1, kPageWindow = 2, kPageStartup = 3, kPageTemplates = 4,
              kPageAdvanced = 5, kPageScreenshots = 6;

constexpr int kPageTop = 88;
constexpr int kNavMargin = 8;
constexpr int kNavRowHeight = 40;
constexpr int kLabelWidth = 200;
constexpr int kFieldOffset = 204;  // from the content's left edge to a row's field
constexpr int kRowHeight = 24;
constexpr int kBottomMargin = 72;
constexpr int kRightMargin = 24;

// The rows of the sidebar that can be hidden, in mask order (bit 1, 2, 4...).
const wchar_t* const kHiddenViewKeys[] = {tr_key(L"side.pinned"), tr_key(L"side.slots"),     tr_key(L"side.none"),
                                          tr_key(L"side.trash"),  tr_key(L"side.templates"), tr_key(L"side.images")};

// One page being filled: its running y, and the lowest bottom edge of every
// page so far, which sizes the window.
struct PageBuilder {
    SettingsWindow& sw;
    const Settings& settings;
    const Settings* live_settings;  // what the hotkey validators compare with; null without an App
    bool dark;
    int page;
    int& bottom;
    int y = kPageTop;

    int x() const { return sw.content_x(); }

    void track(HWND control) {
        if (!control) return;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, sw.window, reinterpret_cast<POINT*>(&r), 2);
        bottom = std::max(bottom, static_cast<int>(r.bottom));
        sw.pages[static_cast<size_t>(page)].push_back(control);
    }

    HWND create(const wchar_t* window_class, const std::wstring& text, DWORD style, int left, int top, int width,
                int height, int id = 0, HFONT font = nullptr) {
        HWND control = CreateWindowExW(0, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width,
                                       height, sw.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
        if (!control) return nullptr;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : sw.text_font.get()), FALSE);
        track(control);
        return control;
    }
};

void add_label(PageBuilder& b, const std::wstring& text, int left, int top, int width, int height) {
    b.create(L"STATIC", text, SS_LEFT | SS_NOPREFIX, left, top, width, height);
}

void add_section(PageBuilder& b, const std::wstring& text) {
    b.create(L"STATIC", text, SS_LEFT | SS_NOPREFIX, b.x(), b.y, kSettingsContentWidth, 20, 0, b.sw.section_font.get());
    b.y += 24;
}

void add_toggle(PageBuilder& b, int id, const std::wstring& text, bool on) {
    HWND toggle = create_toggle_switch(b.sw.window, id, text, b.x(), b.y, kSettingsContentWidth - 10,
                                       kToggleSwitchHeight, on, b.dark);
    if (toggle) {
        SendMessageW(toggle, WM_SETFONT, reinterpret_cast<WPARAM>(b.sw.text_font.get()), FALSE);
        b.track(toggle);
        b.sw.toggles.push_back(toggle);
    }
    b.y += 26;
}

void style_field(PageBuilder& b, HWND field, bool combo) {
    if (!field) return;
    attach_panel_background(field, b.dark);
    if (combo) {
        attach_combo_style(field, b.dark);
    } else {
        attach_thin_border(field, b.dark);
    }
    b.sw.fields.push_back(field);
}

HWND add_edit(PageBuilder& b, int id, const std::wstring& text, int left, int top, int width) {
    HWND edit = b.create(L"EDIT", text, ES_AUTOHSCROLL, left, top, width, kRowHeight, id);
    style_field(b, edit, false);
    return edit;
}

HWND add_edit_row(PageBuilder& b, int id, const std::wstring& label, const std::wstring& text, int top, int width) {
    add_label(b, label, b.x(), top + 2, kLabelWidth, 20);
    return add_edit(b, id, text, b.x() + kFieldOffset, top, width);
}

void add_hotkey_row(PageBuilder& b, int id, const std::wstring& label, const std::wstring& value, int top) {
    add_label(b, label, b.x(), top + 2, kLabelWidth, 20);
    HWND chip = create_hotkey_chip(b.sw.window, id, b.x() + kFieldOffset, top, 160, kRowHeight, b.sw.text_font.get(),
                                   value, b.dark, make_hotkey_validator(b.sw.window, b.live_settings, id));
    if (!chip) return;
    b.track(chip);
    b.sw.chips.push_back(chip);
}

void add_combo_item(HWND combo, const std::wstring& text, LPARAM data) {
    const LRESULT row = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(row), data);
}

// A drop-down list; the height includes the open list. selected -1: none.
HWND add_combo(PageBuilder& b, int id, int left, int top, int width, int height, const std::vector<std::wstring>& items,
               int selected) {
    HWND combo = b.create(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, left, top, width, height, id);
    if (!combo) return nullptr;
    for (size_t i = 0; i < items.size(); ++i) add_combo_item(combo, items[i], static_cast<LPARAM>(i));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    style_field(b, combo, true);
    return combo;
}

void add_sound_row(PageBuilder& b, int id, const std::wstring& label, int choice) {
    add_label(b, label, b.x() + 24, b.y + 3, 180, 20);
    const std::vector<std::wstring> sounds{tr(L"sound.notification"), tr(L"sound.asterisk"), tr(L"sound.question"),
                                           tr(L"sound.error")};
    add_combo(b, id, b.x() + 190, b.y, 150, 180, sounds, choice >= 1 && choice <= 4 ? choice - 1 : -1);
}

// The spin takes its place at the buddy's right edge; its value travels
// through the buddy's text. A stored value outside the range still shows as
// it is stored.
void add_spin(PageBuilder& b, HWND buddy, int id, int min, int max, int value) {
    if (!buddy) return;
    HWND spin = CreateWindowExW(
        0, UPDOWN_CLASSW, L"",
        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
        b.sw.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!spin) return;
    attach_spin_style(spin, b.dark);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SendMessageW(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
    SetWindowTextW(buddy, std::to_wstring(value).c_str());
    b.track(spin);
    b.sw.fields.push_back(spin);
}

void add_button(PageBuilder& b, int id, const std::wstring& text, int left, int top, int width, int height) {
    HWND button = b.create(L"BUTTON", text, BS_PUSHBUTTON, left, top, width, height, id);
    if (!button) return;
    attach_round_button(button, b.dark, false);
    b.sw.buttons.push_back(button);
}

// ---------------------------------------------------------------- pages

void build_window_page(PageBuilder& b) {
    const Settings& s = b.settings;
    add_section(b, tr(L"nav.window"));
    add_toggle(b, kIdSettingsAlwaysOnTop, tr(L"win.always_on_top"), s.always_on_top);
    add_toggle(b, kIdSettingsCloseOnPaste, tr(L"win.close_on_paste"), s.close_on_paste);
    add_toggle(b, kIdSettingsHideOnCopy, tr(L"win.hide_on_copy"), s.hide_on_copy);
    add_toggle(b, kIdSettingsTrayOnMinimize, tr(L"win.tray_on_minimize"), s.tray_on_minimize);
    add_toggle(b, kIdSettingsStartInTray, tr(L"win.start_in_tray"), s.start_in_tray);
    b.y += 6;
    add_section(b, tr(L"win.appearance"));
    add_toggle(b, kIdSettingsDarkMode, tr(L"view.dark_mode"), s.dark_mode);
    const int row = b.y;
    HWND font_size = add_edit_row(b, kIdSettingsFontSize, tr(L"win.font_size"), std::to_wstring(s.font_size), row, 70);
    add_spin(b, font_size, kIdSettingsFontSizeSpin, 10, 18, s.font_size);
    add_label(b, tr(L"win.font_hint"), b.x(), row + 60, kSettingsContentWidth, 18);
    b.y = row + 82;
    add_section(b, tr(L"win.categories"));
    add_label(b, tr(L"win.hide_categories_hint"), b.x(), b.y, kSettingsContentWidth, 18);
    b.y += 22;
    for (int i = 0; i <= kIdSettingsHideImages - kIdSettingsHidePinned; ++i)
        add_toggle(b, kIdSettingsHidePinned + i, tr(kHiddenViewKeys[i]), (s.categories_hidden & (1 << i)) != 0);
}

void build_clipboard_page(PageBuilder& b) {
    const Settings& s = b.settings;
    add_section(b, tr(L"nav.clipboard"));
    add_label(b, tr(L"settings.language_label"), b.x(), b.y + 2, kLabelWidth, 20);
    b.sw.language_codes.clear();
    std::vector<std::wstring> names;
    int selected = 0;
    for (const std::wstring& code : available_languages()) {
        if (code == s.language) selected = static_cast<int>(names.size());
        names.push_back(language_native_name(code));
        b.sw.language_codes.push_back(code);
    }
    add_combo(b, kIdSettingsLanguage, b.x() + kFieldOffset, b.y, 120, 200, names, selected);
    b.y += 30;
    add_toggle(b, kIdSettingsWatch, tr(L"clipboard.watch"), s.watch_clipboard);
    add_toggle(b, kIdSettingsSoundOnCopy, tr(L"clipboard.sound_copy"), s.sound_on_copy);
    add_toggle(b, kIdSettingsSoundOnPaste, tr(L"clipboard.sound_paste"), s.sound_on_paste);
    add_sound_row(b, kIdSettingsCopySound, tr(L"clipboard.sound_copy_label"), s.sound_copy_id);
    b.y += 26;
    add_sound_row(b, kIdSettingsPasteSound, tr(L"clipboard.sound_paste_label"), s.sound_paste_id);
    b.y += 32;
    add_section(b, tr(L"clipboard.app_filter"));
    const std::vector<std::wstring> modes{tr(L"clipboard.filter_all"), tr(L"clipboard.filter_only"),
                                          tr(L"clipboard.filter_except")};
    add_combo(b, kIdSettingsFilterMode, b.x() + 60, b.y + 2, 200, 240, modes, filter_mode_row(s.app_filter_mode));
    add_label(b, tr(L"clipboard.filter_mode"), b.x(), b.y + 2, 60, 20);
    b.y += 34;
    add_label(b, tr(L"clipboard.exe_list"), b.x(), b.y, kSettingsContentWidth, 20);
    add_edit(b, kIdSettingsFilterList, s.app_filter_list, b.x(), b.y + 22, kSettingsContentWidth - 10);
}

void build_storage_page(PageBuilder& b) {
    const Settings& s = b.settings;
    add_section(b, tr(L"nav.storage"));
    add_toggle(b, kIdSettingsShowTime, tr(L"view.show_time"), s.show_time);
    add_toggle(b, kIdSettingsShowHints, tr(L"storage.show_hints"), s.show_hints);
    add_toggle(b, kIdSettingsShowCategory, tr(L"storage.show_category"), s.show_category);
    add_toggle(b, kIdSettingsSortByFrequency, tr(L"storage.sort_freq"), s.sort_by_frequency);
    add_toggle(b, kIdSettingsPinnedFirst, tr(L"storage.pinned_first"), s.pinned_first);
    add_toggle(b, kIdSettingsRepeatOnCopy, tr(L"storage.repeat_copies"), s.repeat_on_copy);
    add_label(b, tr(L"storage.scroll_lines"), b.x(), b.y + 8, 260, 20);
    add_combo(b, kIdSettingsScrollLines, b.x() + 264, b.y + 6, 70, 160, {L"1", L"2", L"3", L"4"},
              std::clamp(s.scroll_lines, 1, 4) - 1);
    HWND ttl = add_edit_row(b, kIdSettingsTtlDays, tr(L"storage.ttl"), std::to_wstring(s.ttl_days), b.y + 36, 70);
    HWND trash = add_edit_row(b, kIdSettingsTrashHours, tr(L"storage.trash_hours"), std::to_wstring(s.trash_hours),
                              b.y + 66, 70);
    add_spin(b, ttl, kIdSettingsTtlSpin, 0, 3650, s.ttl_days);
    add_spin(b, trash, kIdSettingsTrashSpin, 1, 168, s.trash_hours);
}

void build_startup_page(PageBuilder& b) {
    const Settings& s = b.settings;
    add_section(b, tr(L"nav.startup"));
    add_toggle(b, kIdSettingsAutostart, tr(L"startup.autostart"), is_autostart_enabled());
    b.y += 6;
    add_section(b, tr(L"hotkeys.title"));
    add_hotkey_row(b, kIdSettingsMainHotkey, tr(L"startup.hotkey_open"), s.hotkey, b.y);
    add_hotkey_row(b, kIdSettingsPlainHotkey, tr(L"startup.hotkey_plain"), s.plain_hotkey, b.y + 30);
}

void build_templates_page(PageBuilder& b) {
    add_section(b, tr(L"side.templates"));
    add_hotkey_row(b, kIdSettingsSnippetsHotkey, tr(L"templates.hotkey"), b.settings.snippets_hotkey, b.y);
    add_label(b, tr(L"templates.hint") + L"\n" + tr(L"templates.hint_vars"), b.x(), b.y + 30, kSettingsContentWidth,
              40);
}

void build_advanced_page(PageBuilder& b) {
    add_section(b, tr(L"advanced.backup"));
    add_button(b, kIdSettingsExport, tr(L"advanced.export"), b.x(), b.y, 120, 26);
    add_button(b, kIdSettingsImport, tr(L"advanced.import"), b.x() + 130, b.y, 120, 26);
}

void build_screenshots_page(PageBuilder& b) {
    const Settings& s = b.settings;
    add_section(b, tr(L"nav.screenshots"));
    add_toggle(b, kIdSettingsShotEditor, tr(L"screenshot.show_editor"), s.screenshot_editor_enabled);
    add_toggle(b, kIdSettingsShotCopy, tr(L"screenshot.done_copies"), s.screenshot_copy_to_clipboard);
    add_toggle(b, kIdSettingsShotAutosave, tr(L"screenshot.autosave"), s.screenshot_autosave);
    add_toggle(b, kIdSettingsImageAutosave, tr(L"screenshot.clip_autosave"), s.clipboard_images_autosave);
    b.y += 6;
    add_section(b, tr(L"hotkeys.title"));
    add_hotkey_row(b, kIdSettingsShotAreaHotkey, tr(L"screenshot.hotkey_area"), s.screenshot_hotkey, b.y);
    add_hotkey_row(b, kIdSettingsShotWindowHotkey, tr(L"screenshot.hotkey_window"), s.screenshot_window_hotkey,
                   b.y + 30);
    add_hotkey_row(b, kIdSettingsShotFullHotkey, tr(L"screenshot.hotkey_full"), s.screenshot_full_hotkey, b.y + 60);
    add_edit_row(b, kIdSettingsShotFolder, tr(L"screenshot.folder"), s.screenshot_folder, b.y + 90, 190);
    add_button(b, kIdSettingsBrowseFolder, tr(L"screenshot.browse"), b.x() + 402, b.y + 90, 90, 24);
    add_label(b,
              tr(L"screenshot.editor_hint1") + L"\n" + tr(L"screenshot.editor_hint2") + L"\n" +
                  tr(L"screenshot.editor_hint3"),
              b.x(), b.y + 122, kSettingsContentWidth, 80);
}

HWND create_nav_list(SettingsWindow& sw, int client_height) {
    HWND list = CreateWindowExW(
        0, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
        kNavMargin, kNavMargin, sw.content_left - 2 * kNavMargin, client_height - 2 * kNavMargin, sw.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSettingsNav)), GetModuleHandleW(nullptr), nullptr);
    if (!list) return nullptr;
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(sw.text_font.get()), FALSE);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, kNavRowHeight);
    for (size_t i = 0; i < std::size(kPages); ++i) {
        const LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tr(kPages[i].key).c_str()));
        if (row >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(i));
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SetWindowSubclass(list, nav_list_subclass_proc, kNavListSubclassId, reinterpret_cast<DWORD_PTR>(&sw));
    return list;
}

// The client area is the content's width beside the navigation panel and as
// tall as the tallest page.
void size_window(SettingsWindow& sw, int bottom) {
    RECT r{0, 0, sw.content_x() + kSettingsContentWidth + kRightMargin, bottom + kBottomMargin};
    AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    SetWindowPos(sw.window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void add_close_button(SettingsWindow& sw, bool dark) {
    RECT client;
    GetClientRect(sw.window, &client);
    HWND close = CreateWindowExW(0, L"BUTTON", tr(L"action.close").c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                 client.right - 134, client.bottom - 52, 110, 32, sw.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSettingsClose)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (!close) return;
    SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(sw.text_font.get()), FALSE);
    attach_round_button(close, dark, false);
    sw.buttons.push_back(close);
}

}  // namespace

std::span<const SettingsPage> settings_pages() { return kPages; }

void build_settings_pages(SettingsWindow& sw) {
    static const Settings kDefaults;
    const Settings* live = sw.app ? sw.app->settings : nullptr;
    const bool dark = sw.dark();
    sw.building = true;
    sw.controls_dark = dark;
    sw.content_left = kSettingsNavWidth;
    RECT client;
    GetClientRect(sw.window, &client);
    sw.nav = create_nav_list(sw, client.bottom);

    for (auto& page : sw.pages) page.clear();
    sw.toggles.clear();
    sw.fields.clear();
    sw.chips.clear();
    sw.buttons.clear();

    int bottom = 0;
    const std::pair<int, void (*)(PageBuilder&)> order[] = {
        {kPageWindow, build_window_page},           {kPageClipboard, build_clipboard_page},
        {kPageStorage, build_storage_page},         {kPageStartup, build_startup_page},
        {kPageTemplates, build_templates_page},     {kPageAdvanced, build_advanced_page},
        {kPageScreenshots, build_screenshots_page},
    };
    for (const auto& [page, build] : order) {
        PageBuilder builder{sw, live ? *live : kDefaults, live, dark, page, bottom};
        build(builder);
    }

    size_window(sw, bottom);
    GetClientRect(sw.window, &client);
    if (sw.nav)
        SetWindowPos(sw.nav, nullptr, kNavMargin, kNavMargin, sw.content_left - 2 * kNavMargin,
                     client.bottom - 2 * kNavMargin, SWP_NOZORDER | SWP_NOACTIVATE);
    add_close_button(sw, dark);
    show_settings_page(sw, sw.page < kSettingsPageCount ? sw.page : 0);
    sw.pending_numbers.clear();
    sw.building = false;
}
