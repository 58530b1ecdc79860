#include "config/settings.h"

#include "config/ini_file.h"
#include "config/ini_values.h"
#include "services/text_util.h"

#include <algorithm>
#include <variant>

namespace {

struct IntRange {
    int lo, hi;
    // Out-of-range values become the default instead of the nearer bound.
    bool reset_to_default;
};

struct Field {
    const wchar_t* name;
    std::variant<bool Settings::*, int Settings::*, std::wstring Settings::*> member;
    IntRange range = {INT32_MIN, INT32_MAX, false};
};

// In the order a save writes them, which is the order of a new file: the
// window placement and last view go last because they change most often.
const Field kFields[] = {
    {L"watch_clipboard", &Settings::watch_clipboard},
    {L"dark_mode", &Settings::dark_mode},
    {L"always_on_top", &Settings::always_on_top},
    {L"close_on_paste", &Settings::close_on_paste},
    {L"hide_on_copy", &Settings::hide_on_copy},
    {L"tray_on_minimize", &Settings::tray_on_minimize},
    {L"start_in_tray", &Settings::start_in_tray},
    {L"show_time", &Settings::show_time},
    {L"show_hints", &Settings::show_hints},
    {L"show_category", &Settings::show_category},
    {L"sort_by_frequency", &Settings::sort_by_frequency},
    {L"pinned_first", &Settings::pinned_first},
    {L"repeat_on_copy", &Settings::repeat_on_copy},
    {L"sound_on_copy", &Settings::sound_on_copy},
    {L"sound_on_paste", &Settings::sound_on_paste},
    {L"sound_copy_id", &Settings::sound_copy_id, {1, 4, true}},
    {L"sound_paste_id", &Settings::sound_paste_id, {1, 4, true}},
    {L"categories_collapsed", &Settings::categories_collapsed},
    {L"snippet_panel_collapsed", &Settings::snippet_panel_collapsed},
    {L"categories_hidden", &Settings::categories_hidden},
    {L"ttl_days", &Settings::ttl_days},
    {L"trash_hours", &Settings::trash_hours},
    {L"categories_width", &Settings::categories_width},
    {L"font_size", &Settings::font_size, {10, 18, false}},
    {L"scroll_lines", &Settings::scroll_lines, {1, 4, false}},
    {L"hotkey", &Settings::hotkey},
    {L"plain_hotkey", &Settings::plain_hotkey},
    {L"snippets_hotkey", &Settings::snippets_hotkey},
    {L"screenshot_hotkey", &Settings::screenshot_hotkey},
    {L"screenshot_window_hotkey", &Settings::screenshot_window_hotkey},
    {L"screenshot_full_hotkey", &Settings::screenshot_full_hotkey},
    {L"screenshot_editor_enabled", &Settings::screenshot_editor_enabled},
    {L"screenshot_copy_to_clipboard", &Settings::screenshot_copy_to_clipboard},
    {L"screenshot_autosave", &Settings::screenshot_autosave},
    {L"clipboard_images_autosave", &Settings::clipboard_images_autosave},
    {L"screenshot_folder", &Settings::screenshot_folder},
    {L"screenshot_color", &Settings::screenshot_color},
    {L"screenshot_thickness", &Settings::screenshot_thickness, {1, 24, false}},
    {L"app_filter_mode", &Settings::app_filter_mode},
    {L"app_filter_list", &Settings::app_filter_list},
    {L"language", &Settings::language},
    {L"snippet_collapsed_groups", &Settings::snippet_collapsed_groups},
    {L"window_x", &Settings::window_x},
    {L"window_y", &Settings::window_y},
    {L"window_w", &Settings::window_w},
    {L"window_h", &Settings::window_h},
    {L"last_view_filter", &Settings::last_view_filter},
    {L"last_view_cat_id", &Settings::last_view_cat_id},
    {L"last_view_templates", &Settings::last_view_templates},
};
static_assert(std::size(kFields) == 49);

int bring_into_range(int value, const IntRange& range, int fallback) {
    if (value >= range.lo && value <= range.hi) return value;
    if (range.reset_to_default) return fallback;
    return std::clamp(value, range.lo, range.hi);
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

void Settings::load(Settings& settings, const std::wstring& path) {
    static const Settings defaults;
    ini_adopt_utf8(path);
    const std::optional<IniSection> section = ini_read_section(path);
    auto read = [&](const wchar_t* key, const std::wstring& fallback) {
        return section ? section->value(key, fallback) : ini_read_string(path, key, fallback);
    };
    for (const Field& f : kFields) {
        std::visit(Overloaded{
                       [&](bool Settings::*m) {
                           settings.*m = ini_bool_from_text(read(f.name, ini_text_from_bool(defaults.*m)));
                       },
                       [&](int Settings::*m) {
                           const int value =
                               ini_int_from_text(read(f.name, std::to_wstring(defaults.*m))).value_or(defaults.*m);
                           settings.*m = bring_into_range(value, f.range, defaults.*m);
                       },
                       [&](std::wstring Settings::*m) { settings.*m = read(f.name, defaults.*m); },
                   },
                   f.member);
    }
}

void Settings::save(const Settings& settings, const std::wstring& path) {
    ini_ensure_unicode(path);
    for (const Field& f : kFields) {
        std::visit(Overloaded{
                       [&](bool Settings::*m) { ini_write_bool(path, f.name, settings.*m); },
                       [&](int Settings::*m) { ini_write_int(path, f.name, settings.*m); },
                       [&](std::wstring Settings::*m) { ini_write_string(path, f.name, settings.*m); },
                   },
                   f.member);
    }
}

bool Settings::set(Settings& settings, const std::wstring& key, const std::wstring& value) {
    for (const Field& f : kFields) {
        if (key != f.name) continue;
        std::visit(Overloaded{
                       [&](bool Settings::*m) { settings.*m = ini_bool_from_text(value); },
                       [&](int Settings::*m) {
                           if (auto n = ini_int_from_text(value)) settings.*m = *n;
                       },
                       [&](std::wstring Settings::*m) { settings.*m = value; },
                   },
                   f.member);
        return true;
    }
    return false;
}

std::vector<std::wstring> split_filter_list(const Settings& settings) {
    std::vector<std::wstring> names;
    const std::wstring& list = settings.app_filter_list;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        std::wstring name = trim_blanks(list.substr(start, end - start));
        if (!name.empty()) names.push_back(std::move(name));
        start = end + 1;
    }
    return names;
}
