#pragma once
// The contents of the main window "KorvaneMain": its child controls, the
// entry list, the sidebar, the preview and the entry commands. The window
// itself, its class and its procedure belong to the App (app/app.cpp,
// app/main_window_proc.cpp), which routes messages to the members below.
// One class over topic files: frame.cpp (children, layout, their painting
// and colours), entry_list.cpp, sidebar.cpp, and the rest as they come.
//
// For now the object only remembers its window and App: the children, the
// lists and the commands are not built yet, so every command does nothing.

#include "ui/kit/brush_cache.h"

#include <windows.h>

#include <cstdint>
#include <string>

class App;

class MainWindow {
public:
    HWND hwnd = nullptr;  // the main window
    App* app = nullptr;
    HWND entry_list = nullptr;       // LISTBOX 101
    HWND search_edit = nullptr;      // EDIT 102
    HWND sidebar = nullptr;          // LISTBOX 103
    HWND watch_toggle = nullptr;     // toggle 104
    bool preview_keep_open = false;  // the preview's link menu is open
    bool dark = false;               // the dark theme
    bool templates_view = false;
    int view_mode = 0;       // kViewAll .. kViewImages (app/ids.h)
    int view_category = -1;  // the category of kViewCategory
    // The WM_CTLCOLOR* answers: the system keeps using them after the
    // handler returns, so they live as long as this object.
    BrushCache brushes;

    // Frame (called from WM_CREATE, WM_SIZE, WM_DESTROY and the theme change).
    void init(HWND window, App* owner);
    void layout();
    int top_row_min_width() const;
    void apply_dark_mode(bool on);
    void destroy_popups();
    void remember_full_width();
    void toggle_category_panel();
    void toggle_topmost();
    void show_menu_bar_menu(int index);
    // The main window's background, where no system backdrop paints it.
    void paint_background(HDC dc) const;
    // WM_DRAWITEM and WM_MEASUREITEM of the children; false for an item
    // that is none of theirs.
    bool draw_item(const DRAWITEMSTRUCT& item);
    bool measure_item(MEASUREITEMSTRUCT& item) const;
    // The WM_CTLCOLOR* answers: edits and lists; the tool buttons (null for
    // any other button); statics.
    HBRUSH field_colours(HDC dc);
    HBRUSH button_colours(HDC dc, HWND button);
    HBRUSH static_colours(HDC dc, HWND control);

    // Lists.
    void refresh_all();
    void refresh_list();
    bool row_is_image(int row) const;
    int entry_row_height(int row) const;
    void draw_card(const DRAWITEMSTRUCT& item);
    void draw_sidebar_row(const DRAWITEMSTRUCT& item);
    HWND list_at(POINT screen_point) const;
    void on_wheel(HWND list, int delta);
    void on_list_context_menu(POINT screen_point);
    void on_sidebar_context_menu(POINT screen_point);
    // The sidebar's selection changed: show the view its row stands for.
    void on_sidebar_selection();

    // Views.
    void set_view(int mode, int category_id);
    void show_images_view();
    void show_templates();
    void show_template_group(const std::wstring& group);

    // Preview.
    void on_selection_changed();
    void hide_preview();
    void apply_link_title(std::int64_t id, const std::wstring& title);

    // Entry commands.
    void on_paste_selected();
    void on_paste_multiple();
    void on_copy_selected();
    void toggle_pin_selected();
    void edit_selected();
    void delete_selected();
    void move_selection_up();
    void move_selection_down();
    void move_selected_to_category();
    void clear_selected_category();
    void add_selected_to_slots();
    void remove_selected_from_slots();
    void select_all();
    void focus_search();
    void toggle_show_time();
    void new_template();

    // Category commands.
    void new_category();
    void rename_category();
    void toggle_category_pin();
    void move_category(int step);
    void delete_category();
};
