// MainWindow, the frame: its children, the menu bar and its drop-downs, the tool column and its tooltip,
// the layout, the sidebar's hiding, theme and language.

#include "ui/main_window/main_window.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "ui/app_parts.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"
#include "ui/kit/toggle_switch.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/frame_controls.h"
#include "ui/main_window/main_window_layout.h"
#include "ui/main_window/window_on_screen.h"
#include "ui/menu/popup_menu.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

constexpr int kToolButtonSize = 28;

// Where the tool_buttons array keeps each button (its documented order).
constexpr int kToolSlots[] = {0, 1, 2, 3, 5, 6, 4, 7, 9, 8};
constexpr int kSeparatorXs[] = {126, 204, 282, 330};
constexpr wchar_t kSearchGlyph[] = L"\uE721";
constexpr wchar_t kSearchSymbol[] = L"\u26B2";
constexpr wchar_t kIconFace[] = L"Segoe MDL2 Assets";
// Faces that carry the plain symbols, tried in order where the icon font is missing.
const wchar_t* const kSymbolFaces[] = {L"Segoe UI Symbol", L"DejaVu Sans"};

const wchar_t* const kMenuKeys[] = {tr_key(L"menu.file"), tr_key(L"menu.edit"),     tr_key(L"menu.categories"),
                                    tr_key(L"menu.view"), tr_key(L"menu.settings"), tr_key(L"menu.help")};

HWND make_child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                DWORD ex_style = 0) {
    return CreateWindowExW(ex_style, cls, text, WS_CHILD | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

// Whether the font mapper gave the font its asked-for face (it substitutes
// another quietly when the face is not installed).
bool font_has_face(HFONT font, const wchar_t* face) {
    ScopedGetDc dc(nullptr);
    if (!dc || !font) return false;
    ScopedSelect keep(dc.get(), font);
    wchar_t name[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, name);
    return lstrcmpiW(name, face) == 0;
}

// The icon font, or where it is missing a font with the plain symbols; the
// flag tells which glyphs to use.
ScopedFont make_tool_font(bool& symbols) {
    ScopedFont icons = make_icon_font(20);
    symbols = false;
    if (font_has_face(icons.get(), kIconFace)) return icons;
    for (const wchar_t* face : kSymbolFaces) {
        ScopedFont font(CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face));
        if (font_has_face(font.get(), face)) {
            symbols = true;
            return font;
        }
    }
    return icons;
}

void set_font(HWND window, HFONT font) {
    if (window && font) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Moves a child only when it is not there already: each move of a child is a
// round of messages, and most layouts change little.
void place(HWND window, const FrameBox& box) {
    if (!window) return;
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    if (r.left == box.x && r.top == box.y && r.right - r.left == box.width && r.bottom - r.top == box.height) return;
    SetWindowPos(window, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int text_width(HDC dc, HFONT font, const std::wstring& text) {
    ScopedSelect keep(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::vector<int> menu_text_widths(const MainWindow& mw) {
    std::vector<int> widths;
    ScopedGetDc dc(mw.hwnd);
    if (!dc) return widths;
    for (HWND button : mw.menu_buttons)
        widths.push_back(text_width(dc.get(), mw.ui_font.get(), window_text(button).substr(0, kMenuTextLimit)));
    return widths;
}

void register_entry_hint_class() { register_window_class({.name = kEntryHintClass}); }

// The six drop-down menus of the menu bar, in the order of their buttons; a
// row without a key is a separator.
struct MenuRow {
    int id;
    const wchar_t* key;
};
constexpr MenuRow kSeparator{0, nullptr};
const std::vector<MenuRow> kMenuBarMenus[] = {
    {{kCmdExportJson, tr_key(L"action.export_json")},
     {kCmdImportJson, tr_key(L"action.import_json")},
     kSeparator,
     {kCmdClose, tr_key(L"action.close")},
     {kCmdQuit, tr_key(L"action.quit")}},
    {{kCmdPaste, tr_key(L"action.paste")},
     {kCmdCopy, tr_key(L"action.copy")},
     {kCmdScreenshot, tr_key(L"action.screenshot")},
     {kCmdPasteDelete, tr_key(L"action.paste_delete")},
     {kCmdPasteMultiple, tr_key(L"action.paste_multiple")},
     kSeparator,
     {kCmdPin, tr_key(L"action.pin")},
     {kCmdEdit, tr_key(L"action.edit")},
     {kCmdToCategory, tr_key(L"action.to_category")},
     {kCmdRemoveCategory, tr_key(L"action.remove_category")},
     kSeparator,
     {kCmdAddSlot, tr_key(L"action.add_slot")},
     {kCmdRemoveSlot, tr_key(L"action.remove_slot")},
     kSeparator,
     {kCmdMoveUp, tr_key(L"action.move_up")},
     {kCmdMoveDown, tr_key(L"action.move_down")},
     kSeparator,
     {kCmdSelectAll, tr_key(L"action.select_all")},
     {kCmdFind, tr_key(L"action.find")},
     kSeparator,
     {kCmdTemplates, tr_key(L"action.snippets")},
     {kCmdDelete, tr_key(L"action.delete")}},
    {{kCmdAddCategory, tr_key(L"action.add_category")},
     kSeparator,
     {kCmdRenameCategory, tr_key(L"action.rename")},
     {kCmdPinCategory, tr_key(L"action.pin_category")},
     {kCmdCategoryUp, tr_key(L"action.move_up")},
     {kCmdCategoryDown, tr_key(L"action.move_down")},
     kSeparator,
     {kCmdMergeCategory, tr_key(L"action.merge_category")},
     {kCmdDeleteCategory, tr_key(L"action.delete_category")},
     kSeparator,
     {kCmdToggleCategoryPanel, tr_key(L"action.toggle_cat_panel")}},
    {{kCmdShowTime, tr_key(L"view.show_time")},
     {kCmdCollapseCategories, tr_key(L"view.collapse_categories")},
     kSeparator,
     {kCmdDarkMode, tr_key(L"view.dark_mode")}},
    {{kCmdWatchClipboard, tr_key(L"action.watch_buffer")},
     {kCmdAlwaysOnTop, tr_key(L"action.always_on_top")},
     kSeparator,
     {kCmdHotkeyHelp, tr_key(L"hotkeys.title")},
     {kCmdOpenSettings, tr_key(L"action.open_settings")}},
    {{kCmdAbout, tr_key(L"action.about")}, kSeparator, {kCmdHelpHotkeys, tr_key(L"hotkeys.title")}},
};

}  // namespace

MainWindow::~MainWindow() {
    // The hand-back's timer calls back into this object.
    end_keyboard_hand_back();
    destroy_popups();
    clear_thumbnails();
}

void MainWindow::init(HWND window, AppParts* owner) {
    hwnd = window;
    app = owner;
    if (const Settings* s = app && app->settings ? app->settings : nullptr) {
        topmost = s->always_on_top;
        close_on_paste = s->close_on_paste;
        tray_on_minimize = s->tray_on_minimize;
        sidebar_hidden = s->categories_collapsed;
        sidebar_width = s->categories_width;
        show_time = s->show_time;
        dark = s->dark_mode;
        // The stored view is restored before the first fill, so the list is
        // filled once, for the view the user sees.
        const StartView view = start_view(s->last_view_templates, s->last_view_filter, s->last_view_cat_id);
        templates_view = view.templates;
        template_group.clear();
        view_mode = view.mode;
        view_category = view.category;
        leave_hidden_view(s->categories_hidden);
    }
    sync_capture_category();
    if (IsWindowVisible(hwnd)) build_frame();
}

// A window that starts hidden in the tray gets its children when it is first
// shown: until then nobody sees them, and start-up stays as quick as it can be.
void MainWindow::on_showing() {
    if (!frame_built) build_frame();
}

void MainWindow::on_show_window(bool showing) {
    if (showing) on_showing();
}

void MainWindow::on_window_pos_changing(const WINDOWPOS* pos) {
    if (pos && (pos->flags & SWP_SHOWWINDOW)) on_showing();
}

void MainWindow::hide_window() {
    hide_preview();
    ShowWindow(hwnd, SW_HIDE);
}

void MainWindow::build_frame() {
    frame_built = true;
    create_controls();
    apply_theme_to_children();
    refresh_all();
    if (sidebar_hidden) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        full_width = (r.right - r.left) + sidebar_width;
    }
}

void MainWindow::apply_theme_to_children() {
    allow_dark_mode(entry_list, dark);
    allow_dark_mode(sidebar, dark);
    attach_thin_border(search_edit, dark);
    if (watch_toggle) attach_toggle_switch(watch_toggle, dark);
}

void MainWindow::create_controls() {
    const int font_size = app && app->settings ? std::clamp(app->settings->font_size, 10, 18) : 14;
    ui_font = make_ui_font(14, FW_NORMAL);
    small_font = make_ui_font(11, FW_NORMAL);
    bool symbols = false;
    icon_font = make_tool_font(symbols);
    tooltip_font = make_ui_font(12, FW_NORMAL);
    list_font = make_ui_font(font_size, FW_NORMAL);
    list_font_size = font_size;
    menu_keys.assign(std::begin(kMenuKeys), std::end(kMenuKeys));

    // Every child is made where the layout puts it, so nothing moves twice.
    std::vector<std::wstring> menu_texts;
    for (const wchar_t* key : menu_keys) menu_texts.push_back(tr(key));
    const FrameLayout frame = current_layout(menu_texts);
    const FrameBox side = frame.sidebar_shown ? frame.sidebar : FrameBox{frame.list.x, frame.list.y, sidebar_width, 1};

    const DWORD button_style = WS_VISIBLE | BS_OWNERDRAW | BS_CENTER | BS_FLAT;
    menu_buttons.clear();
    for (std::size_t i = 0; i < menu_keys.size(); ++i) {
        const FrameBox& box = frame.menu_buttons[i];
        HWND button = make_child(hwnd, L"BUTTON", menu_texts[i].c_str(), button_style, box.x, box.y, box.width,
                                 box.height, kIdFirstMenuButton + static_cast<int>(i));
        if (!button) continue;
        set_font(button, ui_font.get());
        SetWindowSubclass(button, TextButtonProc, kTextButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));
        menu_buttons.push_back(button);
    }

    for (std::size_t i = 0; i < std::size(kToolButtons); ++i) {
        const ToolButtonInfo& tool = kToolButtons[i];
        HWND button = make_child(hwnd, L"BUTTON", symbols ? tool.symbol : tool.glyph, button_style, tool.x,
                                 top_row_height, kToolButtonSize, kToolButtonSize, tool.id);
        set_font(button, icon_font.get());
        tool_buttons[kToolSlots[i]] = button;
    }
    for (int x : kSeparatorXs)
        make_child(hwnd, L"STATIC", L"|", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, x, top_row_height + 2, 14, 24, 0);

    tooltip = make_child(hwnd, L"STATIC", L"", WS_BORDER | SS_NOTIFY | SS_CENTER | SS_CENTERIMAGE, 0, 0, 30,
                         kTooltipHeight, kIdTooltip, WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
    set_font(tooltip, tooltip_font.get());
    register_entry_hint_class();

    search_edit = make_child(hwnd, L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL, frame.search.x, frame.search.y,
                             frame.search.width, frame.search.height, kIdSearch);
    set_font(search_edit, ui_font.get());
    search_button =
        make_child(hwnd, L"BUTTON", symbols ? kSearchSymbol : kSearchGlyph, WS_VISIBLE | BS_FLAT, frame.search_button.x,
                   frame.search_button.y, kToolButtonSize, kToolButtonSize, kIdSearchButton);
    set_font(search_button, icon_font.get());

    update_tooltips();
    for (HWND button : tool_buttons)
        if (button) SetWindowSubclass(button, IconButtonProc, kIconButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (search_button)
        SetWindowSubclass(search_button, IconButtonProc, kIconButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));

    // Clipping the lists' siblings keeps them from painting over the tooltip.
    entry_list = make_child(hwnd, L"LISTBOX", L"",
                            WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS | LBS_NOTIFY |
                                LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                            frame.list.x, frame.list.y, frame.list.width, frame.list.height, kIdEntryList);
    set_font(entry_list, list_font.get());
    sidebar = make_child(hwnd, L"LISTBOX", L"",
                         (frame.sidebar_shown ? WS_VISIBLE : 0) | WS_VSCROLL | WS_CLIPSIBLINGS | LBS_NOTIFY |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                         side.x, side.y, side.width, side.height, kIdSidebar);
    set_font(sidebar, ui_font.get());
    for (HWND list : {entry_list, sidebar})
        if (list) SetWindowSubclass(list, ListSubclassProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(this));

    const bool watching = !app || !app->settings || app->settings->watch_clipboard;
    watch_toggle =
        create_toggle_switch(hwnd, kIdWatchToggle, tr(L"toggle.watch_buffer"), frame.watch_toggle.x,
                             frame.watch_toggle.y, frame.watch_toggle.width, frame.watch_toggle.height, watching, dark);
    set_font(watch_toggle, ui_font.get());
    status_label = make_child(hwnd, L"STATIC", L"", WS_VISIBLE, frame.status.x, frame.status.y, frame.status.width,
                              frame.status.height, kIdStatus);
    set_font(status_label, small_font.get());
    empty_hint = make_child(hwnd, L"STATIC", tr(L"hint.empty").c_str(), SS_CENTER | SS_CENTERIMAGE, frame.empty_hint.x,
                            frame.empty_hint.y, frame.empty_hint.width, frame.empty_hint.height, kIdEmptyHint);
    set_font(empty_hint, ui_font.get());
}

// The preview popup is made when the preview first needs it: it is a window
// of its own on the screen, and nothing shows it before a card is chosen.
HWND MainWindow::ensure_preview_window() {
    if (preview_window) return preview_window.get();
    register_entry_hint_class();
    preview_window.reset(CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kEntryHintClass, L"",
                                         WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    set_font(preview_window.get(), list_font ? list_font.get() : ui_font.get());
    if (preview_window) {
        SetWindowSubclass(preview_window.get(), EntryHintProc, kEntryHintSubclassId, reinterpret_cast<DWORD_PTR>(this));
        // For the mouse hook, which has only the popup to go by.
        bind_state(preview_window.get(), this);
    }
    return preview_window.get();
}

FrameLayout MainWindow::current_layout(const std::vector<std::wstring>& menu_texts) const {
    RECT client{};
    GetClientRect(hwnd, &client);
    std::vector<int> widths;
    if (ScopedGetDc dc(hwnd); dc)
        for (const std::wstring& text : menu_texts)
            widths.push_back(text_width(dc.get(), ui_font.get(), text.substr(0, kMenuTextLimit)));
    return compute_frame_layout(client.right, client.bottom, top_row_height, sidebar_width, sidebar_hidden, widths);
}

int MainWindow::top_row_min_width() const { return ::top_row_min_width(menu_text_widths(*this)); }

void MainWindow::layout() {
    if (!hwnd || !frame_built) return;
    std::vector<std::wstring> texts;
    for (HWND button : menu_buttons) texts.push_back(window_text(button));
    const FrameLayout frame = current_layout(texts);
    for (std::size_t i = 0; i < menu_buttons.size() && i < frame.menu_buttons.size(); ++i)
        place(menu_buttons[i], frame.menu_buttons[i]);
    place(search_edit, frame.search);
    place(search_button, frame.search_button);
    if (sidebar) {
        if (frame.sidebar_shown) place(sidebar, frame.sidebar);
        if ((IsWindowVisible(sidebar) != FALSE) != frame.sidebar_shown)
            ShowWindow(sidebar, frame.sidebar_shown ? SW_SHOWNA : SW_HIDE);
    }
    place(entry_list, frame.list);
    place(empty_hint, frame.empty_hint);
    place(watch_toggle, frame.watch_toggle);
    place(status_label, frame.status);
}

void MainWindow::show_menu_bar_menu(int index) {
    if (index < 0 || index >= static_cast<int>(menu_buttons.size()) ||
        index >= static_cast<int>(std::size(kMenuBarMenus)))
        return;
    const Settings* s = app ? app->settings : nullptr;
    PopupMenuItems items;
    for (const MenuRow& row : kMenuBarMenus[index]) {
        if (!row.key) {
            append_menu_separator(items);
        } else if (row.id == kCmdShowTime || row.id == kCmdWatchClipboard || row.id == kCmdAlwaysOnTop) {
            const bool checked = row.id == kCmdShowTime         ? show_time
                                 : row.id == kCmdWatchClipboard ? s && s->watch_clipboard
                                                                : s && s->always_on_top;
            append_check_item(items, row.id, tr(row.key), checked);
        } else {
            append_menu_item(items, row.id, tr(row.key));
        }
    }
    RECT r{};
    GetWindowRect(menu_buttons[static_cast<std::size_t>(index)], &r);
    const std::uint64_t chosen = track_popup_menu(hwnd, r.left, r.bottom, items, dark);
    if (chosen != 0) PostMessageW(hwnd, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
}

void MainWindow::toggle_category_panel() {
    sidebar_hidden = !sidebar_hidden;
    if (app && app->settings) app->settings->categories_collapsed = sidebar_hidden;
    if (!hwnd) return;
    if (IsIconic(hwnd) || IsZoomed(hwnd)) {
        layout();
        return;
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int width = r.right - r.left;
    if (sidebar_hidden) full_width = width;
    const int min_width = window_width_for_client(hwnd, top_row_min_width());
    const int new_width = sidebar_toggle_width(sidebar_hidden, width, sidebar_width, full_width, min_width);
    int left = r.left + width - new_width;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info))
        left = sidebar_toggle_left(r.left, width, new_width, info.rcWork.left, info.rcWork.right);
    SetWindowPos(hwnd, nullptr, left, r.top, new_width, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

void MainWindow::remember_full_width() {
    if (!hwnd || IsIconic(hwnd) || IsZoomed(hwnd)) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    full_width = (r.right - r.left) + (sidebar_hidden ? sidebar_width : 0);
}

void MainWindow::bring_back() {
    if (!hwnd) return;
    end_keyboard_hand_back();
    keep_on_work_area(hwnd);
    show_window_animated(hwnd);
    SetForegroundWindow(hwnd);
}

void MainWindow::end_keyboard_hand_back() {
    if (hwnd) KillTimer(hwnd, kTimerKeyboardBack);
    hand_back_keys.reset();
    hand_back_mouse.reset();
}

void MainWindow::keep_focus_on_leave() {
    HWND focus = GetFocus();
    if (focus && (focus == entry_list || focus == search_edit)) focus_on_leave = focus;
}

// The default handling would give the keyboard to the frame, where Down,
// Up and Enter do nothing until the user clicks a card.
bool MainWindow::give_back_focus() {
    if (!hwnd || IsIconic(hwnd) || !entry_list) return false;
    const bool kept = focus_on_leave && IsWindow(focus_on_leave) && IsWindowVisible(focus_on_leave) &&
                      IsWindowEnabled(focus_on_leave);
    SetFocus(kept ? focus_on_leave : entry_list);
    return true;
}

void MainWindow::focus_list_for_keys() {
    if (!entry_list) return;
    if (selected_count() == 0) select_first_entry();
    focus_on_leave = entry_list;
    SetFocus(entry_list);
}

// Whatever was chosen or scrolled to before, a hotkey's Enter pastes the
// newest: a row chosen for the last paste, or several left by a paste of them
// joined, would otherwise be pasted again.
void MainWindow::focus_first_entry() {
    if (!entry_list) return;
    select_first_entry();
    list_call(LB_SETTOPINDEX, 0, 0);
    focus_list_for_keys();
}

void MainWindow::toggle_topmost() {
    topmost = !topmost;
    if (hwnd)
        SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (app && app->settings) app->settings->always_on_top = topmost;
    if (app) app->sync_settings_window();
}

void MainWindow::apply_dark_mode(bool dark_on) {
    dark = dark_on;
    apply_theme_to_children();
    if (!hwnd) return;
    set_dark_title_bar(hwnd, dark);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(hwnd, nullptr, TRUE);
    DrawMenuBar(hwnd);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void MainWindow::apply_language() {
    if (!hwnd) return;
    SetWindowTextW(hwnd, tr(L"title.main").c_str());
    for (std::size_t i = 0; i < menu_buttons.size() && i < menu_keys.size(); ++i)
        SetWindowTextW(menu_buttons[i], tr(menu_keys[i]).c_str());
    update_tooltips();
    if (watch_toggle) SetWindowTextW(watch_toggle, tr(L"toggle.watch_buffer").c_str());
    if (empty_hint) SetWindowTextW(empty_hint, tr(L"hint.empty").c_str());
    refresh_all();
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

void MainWindow::refresh_all() {
    fill_sidebar();
    refresh_list();
    layout();
}

void MainWindow::destroy_popups() {
    remove_preview_hook();
    preview_window.reset();
    if (tooltip) DestroyWindow(tooltip);
    tooltip = nullptr;
    tooltip_shown = false;
}

void MainWindow::on_wheel(HWND list, int delta) {
    if (!list || (list != entry_list && list != sidebar)) return;
    int& rest = list == entry_list ? list_wheel_rest : sidebar_wheel_rest;
    const int notches = take_wheel_notches(rest, delta);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (notches == 0 || count <= 0) return;
    const int lines = app && app->settings ? app->settings->scroll_lines : 1;
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int new_top = scrolled_top_row(top, static_cast<int>(count), notches, lines);
    if (new_top != top) SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(new_top), 0);
}

HWND MainWindow::list_at(POINT screen_point) const {
    for (HWND list : {entry_list, sidebar}) {
        RECT r{};
        if (list && IsWindowVisible(list) && GetWindowRect(list, &r) && PtInRect(&r, screen_point)) return list;
    }
    return nullptr;
}

void MainWindow::show_tooltip(HWND button) {
    const auto found = tooltips.find(button);
    if (!tooltip || !hwnd || found == tooltips.end()) return;
    RECT r{};
    GetWindowRect(button, &r);
    POINT corner{r.left, r.bottom};
    ScreenToClient(hwnd, &corner);
    RECT client{};
    GetClientRect(hwnd, &client);
    int width = 0;
    if (ScopedGetDc dc(tooltip); dc) width = text_width(dc.get(), tooltip_font.get(), found->second);
    const FrameBox box = place_tooltip(corner.x + (r.right - r.left) / 2, corner.y, width, client.right);
    if (tooltip_shown) invalidate_under_tooltip(tooltip_rect);
    SetWindowTextW(tooltip, found->second.c_str());
    SetWindowPos(tooltip, HWND_TOP, box.x, box.y, box.width, box.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tooltip, nullptr, TRUE);
    UpdateWindow(tooltip);
    tooltip_rect = {box.x, box.y, box.x + box.width, box.y + box.height};
    tooltip_shown = true;
}

void MainWindow::hide_tooltip() {
    if (!tooltip) return;
    invalidate_under_tooltip(tooltip_rect);
    ShowWindow(tooltip, SW_HIDE);
    tooltip_shown = false;
}

void MainWindow::update_tooltips() {
    tooltips.clear();
    for (std::size_t i = 0; i < std::size(kToolButtons); ++i)
        if (HWND button = tool_buttons[kToolSlots[i]]) tooltips[button] = tr(kToolButtons[i].tooltip_key);
    if (search_button) tooltips[search_button] = tr(L"tooltip.search");
}

void MainWindow::invalidate_under_tooltip(const RECT& rect) {
    if (!entry_list || !hwnd || IsRectEmpty(&rect)) return;
    RECT r = rect;
    MapWindowPoints(hwnd, entry_list, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(entry_list, &r, FALSE);
}
