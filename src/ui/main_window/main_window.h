#pragma once
// The contents of the main window "KorvaneMain": its child controls, the
// state that the entry list, the sidebar, the preview and the entry commands
// share, and the operations on them. The window itself, its class and its
// procedure belong to the App (app/app.cpp, app/main_window_proc.cpp), which
// routes messages to the members below.
//
// One class over several files, one per topic:
//   frame.cpp               children, menu bar, tool column, layout, theme, language
//   frame_paint.cpp         the frame's painting and input, the children's colours
//   entry_list.cpp          refilling the list, row data, selection, thumbnails
//   card_paint.cpp          painting the cards
//   sidebar.cpp             views and the sidebar
//   category_commands.cpp   category commands, the sidebar's context menus
//   entry_commands.cpp      what the commands do to the selection
//   entry_menus.cpp         the entry list's context menus
//   preview.cpp             the preview popup
//   templates_panel.cpp     templates and their groups

#include "services/handles.h"
#include "storage/history_records.h"
#include "ui/kit/brush_cache.h"
#include "ui/main_window/main_window_layout.h"
#include "ui/main_window/preview_layout.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct AppParts;

class MainWindow {
public:
    MainWindow() = default;
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND hwnd = nullptr;  // the main window
    AppParts* app = nullptr;
    HWND entry_list = nullptr;     // LISTBOX 101, the cards
    HWND search_edit = nullptr;    // EDIT 102
    HWND search_button = nullptr;  // BUTTON 108
    HWND sidebar = nullptr;        // LISTBOX 103, views and categories
    HWND watch_toggle = nullptr;   // toggle 104
    HWND status_label = nullptr;   // STATIC 105
    HWND empty_hint = nullptr;     // STATIC 106, shown while the list is empty
    HWND tooltip = nullptr;        // STATIC 300, the tool buttons' tooltip
    ScopedWindow preview_window;   // "KorvaneEntryHint" popup
    RECT tooltip_rect{};           // where the tooltip was last shown (client coordinates)
    bool preview_shown = false;
    bool tooltip_shown = false;
    std::wstring preview_text;
    std::wstring preview_meta;
    std::wstring preview_link;
    std::wstring preview_other_text;
    RECT preview_link_rect{};
    bool preview_keep_open = false;  // the preview's link menu is open
    ScopedBitmap preview_bitmap;
    int preview_bitmap_width = 0;
    int preview_bitmap_height = 0;
    std::int64_t preview_id = -1;  // the entry shown, or the template (its positive id) when preview_is_template
    bool preview_is_template = false;
    bool preview_is_image = false;  // the content is preview_bitmap, not preview_text
    int preview_scroll = 0;
    CardLayout preview_layout;
    int preview_wheel_rest = 0;  // wheel deltas below one notch
    int list_wheel_rest = 0;
    int sidebar_wheel_rest = 0;
    std::map<HWND, std::wstring> tooltips;  // text per tool button
    HHOOK preview_hook = nullptr;           // the preview's low-level mouse hook
    // While a screenshot's hand-back of the keyboard looks: the low-level
    // hooks that see the user's own presses.
    ScopedHook hand_back_keys;
    ScopedHook hand_back_mouse;
    // paste, copy, screenshot, pin, delete, move up, move down, clear, settings, sidebar
    std::array<HWND, 10> tool_buttons{};
    std::vector<HWND> menu_buttons;         // 210..215
    std::vector<const wchar_t*> menu_keys;  // their text keys, in order
    int top_row_height = 30;
    bool topmost = false;
    bool close_on_paste = true;
    bool tray_on_minimize = true;
    bool sidebar_hidden = false;
    int sidebar_width = 130;
    bool show_time = true;
    bool dark = false;
    bool templates_view = false;
    int view_mode = 0;       // kViewAll .. kViewImages (services/ids.h)
    int view_category = -1;  // the category of kViewCategory
    int hidden_rows = 0;     // the hidden-rows mask the view last answered to
    int full_width = 0;      // the window width with the sidebar, remembered while it is hidden
    std::map<std::int64_t, std::wstring> category_names;
    std::map<std::int64_t, bool> category_pinned;
    std::vector<HistoryEntry> entries;                // the entries of the rows, in list order
    std::vector<Snippet> snippets;                    // the templates of the rows
    std::vector<bool> image_rows;                     // per row: an image entry (a tall row)
    std::vector<bool> grouped_template_rows;          // per row: a template under a group header
    std::map<std::int64_t, ScopedBitmap> thumbnails;  // by entry id; null when none could be made
    std::set<std::int64_t> asked_thumbnails;          // cards painted without their picture, by entry id
    std::wstring last_view_key;  // of the last refill, to tell whether its scroll position survives
    std::wstring last_search;
    bool last_was_templates = false;
    bool refilling = false;       // a refill is running
    std::wstring template_group;  // group of the templates view; empty: all, U+001E: ungrouped
    ScopedFont ui_font;           // menu bar, search, sidebar, switch, hint
    ScopedFont small_font;        // status line
    ScopedFont icon_font;         // tool and search glyphs
    ScopedFont tooltip_font;
    ScopedFont list_font;  // entry list and preview
    int list_font_size = 0;
    HWND hovered_button = nullptr;  // the menu-bar or tool button under the mouse
    HWND focus_on_leave = nullptr;  // the control that had the keyboard when the window was left
    // The WM_CTLCOLOR* answers: the system keeps using them after the
    // handler returns, so they live as long as this object.
    BrushCache brushes;

    // ---- frame (frame.cpp, frame_paint.cpp)
    void init(HWND window, AppParts* owner);
    // WM_SHOWWINDOW and WM_WINDOWPOSCHANGING: a window about to be shown
    // for the first time gets its children.
    void on_show_window(bool showing);
    void on_window_pos_changing(const WINDOWPOS* pos);
    // Puts the window away, the preview with it; the program goes on
    // running in the tray (Esc, a paste or copy that closes the window).
    void hide_window();
    void create_controls();
    // The preview popup, made on first use.
    HWND ensure_preview_window();
    void layout();
    int top_row_min_width() const;
    void show_menu_bar_menu(int index);
    void toggle_category_panel();
    void remember_full_width();
    // Every road that shows the window comes here. It comes back in front as
    // the user left it: maximised stays maximised, a minimised window is
    // restored once, and one whose monitor went away while it was hidden
    // comes onto the nearest work area first.
    void bring_back();
    // The user has moved the keyboard (asked for the window, asked for a
    // paste, pressed a key or a button) or the looks are over: a screenshot
    // that has just ended no longer hands it back to the window the shot was
    // taken from. Its timer and hooks go.
    void end_keyboard_hand_back();
    // WM_ACTIVATE: the control with the keyboard (the list or the search
    // field) is kept when the window is left and given it back when the
    // window is activated again; the list gets it the first time or when
    // that control is gone. False when the window is not to have it
    // (minimised): then the default handling runs. A press on a frame
    // button, which takes the keyboard, leaves and gives back the same way.
    void keep_focus_on_leave();
    bool give_back_focus();
    // The keyboard in the list, on the selected rows or else the view's
    // first entry, so that Enter pastes it and Down moves on.
    void focus_list_for_keys();
    // A showing by a hotkey: the same on the view's first entry alone, with
    // the list scrolled to its top.
    void focus_first_entry();
    void toggle_topmost();
    void apply_dark_mode(bool dark_on);
    void apply_language();
    void refresh_all();
    void destroy_popups();
    void on_wheel(HWND list, int delta);
    HWND list_at(POINT screen_point) const;
    void show_tooltip(HWND button);
    void hide_tooltip();
    void update_tooltips();
    void invalidate_under_tooltip(const RECT& rect);
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
    // The keys the shortcut help lists, pressed anywhere in the window and
    // taken before the control with the focus sees them: Enter in the entry
    // list pastes the selection as a double click does, and in the search
    // field the selection or else the first result; Down in the search field
    // goes into the list; Ctrl+F goes to the search field, Esc closes the
    // window as its close button does. True when the message was one of them.
    bool take_shortcut_key(const MSG& msg);

    // ---- entry list (entry_list.cpp, card_paint.cpp)
    void refresh_list();
    // List-box messages to the entry list, past its subclass (which takes none of them).
    LRESULT list_call(UINT message, WPARAM wparam, LPARAM lparam) const;
    int row_count() const;
    std::int64_t row_data(int row) const;
    std::wstring row_text(int row) const;
    void measure_entry_row(MEASUREITEMSTRUCT& item) const;
    void draw_card(const DRAWITEMSTRUCT& item);
    std::wstring format_meta_line(std::int64_t id) const;
    HBITMAP thumbnail(std::int64_t id, const Bytes& image, int size);
    // A card's picture as made so far: nothing when it is not made yet (the
    // card asks for it), a null handle when it could not be made.
    const ScopedBitmap* made_thumbnail(std::int64_t id) const;
    void ask_for_thumbnail(std::int64_t id);
    // Makes the pictures asked for whose cards are still in view (timer
    // kTimerThumbnails) and repaints those cards.
    void make_asked_thumbnails();
    void purge_thumbnails();
    void clear_thumbnails();
    const HistoryEntry* find_entry(std::int64_t id) const;
    const HistoryEntry* find_image_entry(std::int64_t id) const;
    const Snippet* find_snippet(std::int64_t row_id) const;
    bool entry_is_pinned(const HistoryEntry& entry) const { return entry.ep; }
    int count_templates_in_group(const std::wstring& group) const;
    bool row_is_image(int row) const;
    bool row_is_grouped_template(int row) const;
    std::vector<std::int64_t> selected_ids() const;
    std::int64_t selected_id() const;
    int selected_count() const;
    std::int64_t selected_entry_id() const;
    int index_of(std::int64_t item_data) const;
    void reselect(const std::vector<std::int64_t>& ids);
    // The view's first row that is no group header becomes the selection
    // alone (none when there is no such row); false when there is none.
    bool select_first_entry();
    void select_entry(std::int64_t id);
    void restore_selection(bool keep_scroll, int old_top, std::int64_t old_top_data,
                           const std::vector<std::int64_t>& old_selection);
    void move_row(int from, int to);

    // ---- views and sidebar (sidebar.cpp)
    // Rebuilds the rows, category_names and the sidebar's width, then selects
    // the current view's row. True when the view changed on the way (its
    // category or group gone, its row just hidden): the list is then due a refill.
    bool fill_sidebar();
    // The sidebar's selection changed: show the view its row stands for.
    void on_sidebar_selection();
    void draw_sidebar_row(const DRAWITEMSTRUCT& item);
    // Selects the current view's row without notifying.
    void select_sidebar_view();
    void sync_capture_category();
    // A view whose sidebar row the settings have just hidden gives way to
    // "all" (at start, every hidden row counts as just hidden); true when it did.
    bool leave_hidden_view(int hidden_mask);
    // The list shows the trash. Read from the view itself, so it holds on
    // every road into every view, before and after the list is refilled.
    bool trash_view() const;
    void set_view(int mode, int category_id);
    void show_images_view();
    void show_templates_view();
    // Brings the window up on the templates view.
    void show_templates();
    void show_template_group(const std::wstring& group);
    // A left click on the templates header: all templates, section opened or closed.
    void on_templates_header_click();
    void toggle_templates_collapsed();
    void expand_templates();

    // ---- category commands and the sidebar's menus (category_commands.cpp)
    // The category of the selected sidebar row, or -1.
    std::int64_t selected_category_id() const;
    void on_sidebar_context_menu(POINT screen_point);
    void new_category();
    void rename_category();
    // Moves the selected category's entries into the category named and deletes it.
    void merge_category();
    void toggle_category_pin();
    void move_category(int step);
    void delete_category();

    // ---- entry commands (entry_commands.cpp) and the entry list's context menus (entry_menus.cpp)
    // WM_CONTEXTMENU of the entry list; (-1, -1) when it came from the keyboard.
    void on_list_context_menu(POINT screen_point);
    // The row under a screen point becomes the selection (a row already
    // selected keeps the whole selection); returns the row, -1 for none.
    int select_at(HWND list, POINT screen_point);
    void on_paste_selected();
    void on_paste_multiple();
    void on_paste_plain();
    // mode: a text transform 0..6 (services/text_util.h); -1 pastes the text as it is.
    void on_paste_transformed(int mode);
    // Puts text on the clipboard and pastes it into the paste target, once
    // the pastes before it have sent their keys; when the clipboard cannot
    // be had, no keys are sent and the user is told. A paste made counts a
    // use of counted_entry (0: of none).
    void paste_text_to_window(const std::wstring& text, std::int64_t counted_entry = 0);
    void on_copy_selected();
    void on_open_selected();
    // One selected text entry with text (it can be pasted transformed); one selected kept entry.
    bool selected_has_text() const;
    bool selected_is_kept() const;
    void toggle_keep_selected();
    void toggle_pin_selected();
    void edit_selected();
    void restore_selected();
    void delete_selected_forever();
    // Moves to the trash after asking; in the trash deletes for good.
    void delete_selected();
    void empty_trash();  // after asking
    // direction -1 up, +1 down: the selected block changes place with the row next to it.
    void move_selection(int direction);
    void move_selection_up();
    void move_selection_down();
    void move_selected_to_category();
    void clear_selected_category();
    void add_selected_to_slots();
    void remove_selected_from_slots();
    void select_all();
    void focus_search();
    // EN_CHANGE of the search field: the list follows the text.
    void on_search_changed();
    // Empties the search field without the refill its change asks for: the
    // caller refills the list for the view it shows.
    void clear_search();
    void toggle_show_time();
    // A template's text with its variables filled in.
    std::wstring snippet_text(const Snippet& snippet) const;

    // ---- preview (preview.cpp)
    void on_selection_changed();
    void refresh_preview();
    // Fill the popup for a loaded entry (its id) or template (its row data,
    // the negated id) and show it; hides it when there is none.
    void show_entry_hint(std::int64_t id);
    void show_snippet_hint(std::int64_t row_data);
    void hide_preview();
    // The main window moved, changed size or went out of sight: a shown popup
    // goes along beside it, or hides with it.
    void follow_main_window();
    void remove_preview_hook();
    void apply_link_title(std::int64_t id, const std::wstring& title);
    // The list and preview font for Settings.font_size, also for the quick menu.
    void apply_font_size();
    // The popup's own messages (EntryHintProc).
    void paint_preview(HDC dc, const RECT& client);
    void scroll_preview(int delta);
    bool preview_link_hit(POINT client_point) const;
    void on_preview_wheel(int delta);
    void on_preview_link_click(POINT client_point);
    // A click anywhere but the popup and the main window closes the popup.
    void on_mouse_hook_click(POINT screen_point);

    // ---- templates (templates_panel.cpp)
    void new_template();
    void new_template_in_group(const std::wstring& group);
    void new_template_group();
    void rename_template_group(const std::wstring& group);
    void delete_template_group(const std::wstring& group);
    // Every template of the current list in group `from` goes to `to` (empty: no group).
    void move_group_templates(const std::wstring& from, const std::wstring& to);
    // `row_data` is the template's list item data (its negated id).
    void move_template_to_group(std::int64_t row_data, const std::wstring& group);

private:
    bool frame_built = false;      // the children exist (a hidden start makes them on the first show)
    bool clearing_search = false;  // clear_search is emptying the field
    int pending_row_height = 0;    // of the row being inserted, while the list measures it
    // What `entries` were read for: a refill asking the same of an unchanged
    // history (a search keystroke) keeps them instead of reading them again.
    struct LoadedEntries {
        std::wstring view_key;
        bool by_frequency = false, pinned_first = false;
        ChangeStamp stamp;
        bool operator==(const LoadedEntries&) const = default;
    };
    std::optional<LoadedEntries> loaded_entries;
    void on_showing();
    void refill_templates(const std::wstring& search);
    void refill_entries(const std::wstring& search);
    void add_row(const std::wstring& text, std::int64_t data, bool image, bool grouped);
    void show_preview(int width, int height, int row);
    int preview_anchor(int row) const;
    PreviewPosition preview_position(int width, int height, int row) const;
    void reposition_preview(std::int64_t id);
    void install_preview_hook();
    void layout_preview(HDC dc);
    void finish_preview(int row);
    // Makes the list font again when Settings.font_size changed; true when it did.
    bool update_list_font();
    void build_frame();
    void apply_theme_to_children();
    FrameLayout current_layout(const std::vector<std::wstring>& menu_texts) const;
};
