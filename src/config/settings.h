#pragma once
// The user's options, kept in the section "Settings" of one INI file. The
// in-memory record is the truth while the program runs; whoever changes a
// field and wants it kept calls Settings::save.

#include <string>
#include <vector>

struct Settings {
    bool watch_clipboard = true;
    bool dark_mode = false;
    bool always_on_top = true;
    bool close_on_paste = true;
    bool hide_on_copy = false;
    bool tray_on_minimize = false;
    bool start_in_tray = false;
    bool show_time = true;
    bool show_hints = true;
    bool show_category = true;
    bool sort_by_frequency = false;
    bool pinned_first = true;
    bool repeat_on_copy = false;
    bool sound_on_copy = false;
    bool sound_on_paste = false;
    int sound_copy_id = 2;   // 1..4
    int sound_paste_id = 1;  // 1..4
    int ttl_days = 0;        // below 1: entries never expire
    int trash_hours = 24;    // below 1: the trash is never emptied
    int categories_width = 130;
    bool categories_collapsed = false;
    bool snippet_panel_collapsed = true;
    int categories_hidden = 0;  // one bit per hidden sidebar row
    int font_size = 14;         // 10..18
    int scroll_lines = 1;       // 1..4
    int window_x = -1;          // negative: let the system place the window
    int window_y = -1;
    int window_w = 620;
    int window_h = 440;
    int last_view_filter = 0;
    int last_view_cat_id = -1;
    bool last_view_templates = false;
    std::wstring hotkey = L"ctrl+shift+v";
    std::wstring plain_hotkey = L"ctrl+shift+alt+u";
    std::wstring snippets_hotkey = L"ctrl+shift+alt+s";
    std::wstring screenshot_hotkey = L"prtscr";
    std::wstring screenshot_window_hotkey = L"alt+prtscr";
    std::wstring screenshot_full_hotkey = L"shift+prtscr";
    bool screenshot_editor_enabled = true;
    bool screenshot_copy_to_clipboard = true;
    bool screenshot_autosave = false;
    bool clipboard_images_autosave = false;
    std::wstring screenshot_folder;
    int screenshot_color = 0;
    int screenshot_thickness = 3;           // 1..24
    std::wstring app_filter_mode = L"all";  // "all", "whitelist" or "blacklist"
    std::wstring app_filter_list;           // program names separated by ";"
    std::wstring language = L"ru";
    std::wstring snippet_collapsed_groups;

    // Reads every option from the file at path; a missing file or key gives the
    // default, and the few ranged options are brought into range.
    static void load(Settings& settings, const std::wstring& path);
    // Writes every option to the file at path (made UTF-16 first so that any
    // text survives). Write failures are not reported.
    static void save(const Settings& settings, const std::wstring& path);
    // Assigns the option named key from its text form, without range checks:
    // a bool becomes true for "true" or "1", an int keeps its value when the
    // text is no number. False when key names no option.
    static bool set(Settings& settings, const std::wstring& key, const std::wstring& value);
};

// app_filter_list split at ";", each name trimmed, empty names dropped.
std::vector<std::wstring> split_filter_list(const Settings& settings);
