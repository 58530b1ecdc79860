#include "ui/menu/quick_menu.h"

#include "capture/clipboard_watcher.h"
#include "capture/entry_clipboard.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/focus.h"
#include "services/ids.h"
#include "services/paste_threads.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/list_box.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"
#include "ui/menu/popup_menu_layout.h"
#include "ui/menu/quick_menu_layout.h"

#include <algorithm>
#include <optional>

namespace {

// Room left and right of a row's text.
constexpr int kRowPadding = 6;

int settings_font_size(const AppParts* app) {
    if (!app || !app->settings) return 14;
    return std::clamp(app->settings->font_size, 10, 18);
}

int row_height_for_font(HFONT font) {
    if (!font) return 40;
    ScopedGetDc screen(nullptr);
    TEXTMETRICW metrics{};
    if (screen) {
        ScopedSelect use_font(screen.get(), font);
        GetTextMetricsW(screen.get(), &metrics);
    }
    return quick_menu_row_height(metrics.tmHeight);
}

std::wstring row_text(HWND list, int row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void fill_with_list(HWND window, const QuickMenu& menu) {
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(menu.list, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT on_command(QuickMenu& menu, WPARAM wparam) {
    if (LOWORD(wparam) == kIdQuickMenuList && HIWORD(wparam) == LBN_DBLCLK &&
        list_box_pointer_on_selected_row(menu.list))
        menu.on_list_double_click();
    return 0;
}

// Like a menu, the popup goes when another window is activated.
void on_activate(QuickMenu& menu, WORD state) {
    if (state == WA_INACTIVE) menu.hide();
}

// A choice's paste when its turn comes. The rows hold the start of each text
// only: the paste takes the entry whole, as it is by then.
bool paste_chosen(AppParts& app, std::int64_t id, HWND target, unsigned paste) {
    const std::optional<HistoryEntry> entry = app.db->find_entry(id);
    if (!entry) return false;  // gone since the menu opened
    app.catch_up_clipboard();
    ClipboardWatcher* watcher = app.watcher;
    const bool placed = place_entry_on_clipboard(watcher, *entry);
    // What the watcher would read back for a picture without text.
    if (watcher && entry->is_image && entry->text.empty()) watcher->note_own_text(tr(L"card.image"));
    if (target && IsWindow(target)) force_foreground(target);
    if (!placed) {
        // The clipboard still holds what another program put there: no keys.
        app.tell_paste_failed();
        return false;
    }
    app.db->increment_use_count(entry->id);
    // Enter, when it made the choice, is still down: the paste waits for it.
    return start_detached(quick_menu_paste_thread, PasteRequest{nullptr, app.main_hwnd(), false, VK_RETURN, paste});
}

}  // namespace

LRESULT CALLBACK QuickMenuProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* menu = window_state<QuickMenu>(window, message, lparam);
    if (!menu) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_SIZE: fill_with_list(window, *menu); return 0;
    case WM_WINDOWPOSCHANGED: menu->on_moved(*reinterpret_cast<const WINDOWPOS*>(lparam)); break;
    case WM_ACTIVATE: on_activate(*menu, LOWORD(wparam)); break;
    case WM_ERASEBKGND: return menu->erase_background(reinterpret_cast<HDC>(wparam));
    case WM_CTLCOLORLISTBOX: return menu->color_list(reinterpret_cast<HDC>(wparam));
    case WM_COMMAND: return on_command(*menu, wparam);
    case WM_VKEYTOITEM: return menu->on_list_key(LOWORD(wparam));
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = menu->row_height; return TRUE;
    case WM_DRAWITEM: menu->draw_row(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); return TRUE;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

QuickMenu::~QuickMenu() {
    // The window must not outlive the object its procedure works on.
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

bool QuickMenu::create(HINSTANCE module, AppParts* owner) {
    instance = module;
    app = owner;
    if (!register_window_class({.instance = instance,
                                .name = kQuickMenuClass,
                                .procedure = QuickMenuProc,
                                .background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))}))
        return false;

    hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kQuickMenuClass, L"", WS_POPUP | WS_BORDER, 0, 0,
                           quick_menu_width(14), 300, nullptr, nullptr, instance, this);
    if (!hwnd) return false;
    // The list hands Enter and Esc to the popup (WM_VKEYTOITEM); its rows are
    // drawn here, so that their text sits in the middle of the row.
    list = CreateWindowExW(0, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                               LBS_WANTKEYBOARDINPUT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                           0, 0, quick_menu_width(14), 280, hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdQuickMenuList)), instance, nullptr);
    attach_thin_border(list, dark());
    font_size = settings_font_size(app);
    font = make_ui_font(font_size, FW_NORMAL);
    apply_font();
    return true;
}

bool QuickMenu::dark() const { return app && app->settings && app->settings->dark_mode; }

SIZE QuickMenu::popup_size() const {
    const int rows = list ? static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) : 0;
    return SIZE{quick_menu_width(font_size),
                quick_menu_height(std::min(rows, kQuickMenuMaxRows), row_height, GetSystemMetrics(SM_CYEDGE))};
}

void QuickMenu::resize_keeping_place() {
    const SIZE size = popup_size();
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void QuickMenu::apply_font() {
    row_height = row_height_for_font(font.get());
    if (!list) return;
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, row_height);
}

void QuickMenu::populate() {
    const HWND front = GetForegroundWindow();
    // Opened by its hotkey: the desktop in front is a program to paste into.
    target = quick_menu_target(front, is_hotkey_target(front), hwnd, target, app ? app->paste_target : nullptr);
    entries.clear();
    // Only the rows shown, and of each only what a row can show (two units
    // more tell that a text goes on, as a cut never splits a surrogate pair).
    if (app && app->db) entries = app->db->list_entry_heads(L"all", true, kQuickMenuMaxRows, kQuickMenuRowUnits + 2);
    if (!hwnd || !list) return;

    // The theme may have changed since the last opening.
    attach_thin_border(list, dark());
    const int available = quick_menu_width(font_size) - 2 * GetSystemMetrics(SM_CXEDGE) - 2 * kRowPadding;
    SendMessageW(list, LB_SETITEMHEIGHT, 0, row_height);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ScopedGetDc screen(nullptr);
    ScopedSelect use_font(screen.get(), font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const auto measure = [&](const std::wstring& text) {
        SIZE extent{};
        GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring row = quick_menu_row_text(static_cast<int>(i), entries[i].text, available, measure);
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(entries[i].id));
    }
    if (!entries.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
    resize_keeping_place();
}

void QuickMenu::show_at_cursor() {
    if (!hwnd) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const SIZE size = popup_size();
    // Kept inside the work area of the cursor's monitor, as popup menus are.
    const POINT at = place_popup_menu(cursor.x, cursor.y, size.cx, size.cy, work_area_at(cursor));
    placed_at = at;
    holding_place = true;
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, 0);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(list);
}

void QuickMenu::hide() {
    holding_place = false;
    if (hwnd) ShowWindow(hwnd, SW_HIDE);
}

void QuickMenu::on_moved(const WINDOWPOS& pos) {
    if (pos.flags & SWP_NOMOVE) return;
    if (!holding_place || (pos.x == placed_at.x && pos.y == placed_at.y) || !IsWindowVisible(hwnd)) return;
    holding_place = false;
    SetWindowPos(hwnd, nullptr, placed_at.x, placed_at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void QuickMenu::on_activate(int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries.size() || !app || !app->db) return;
    const std::int64_t id = entries[static_cast<size_t>(index)].id;
    AppParts* parts = app;
    const HWND to = target;
    hide();
    parts->queue_paste({}, [parts, id, to](unsigned paste) { return paste_chosen(*parts, id, to, paste); });
}

void QuickMenu::set_font_size(int size) {
    size = std::clamp(size, 10, 18);
    if (size == font_size && font) return;
    font_size = size;
    font = make_ui_font(font_size, FW_NORMAL);
    apply_font();
    if (hwnd && IsWindowVisible(hwnd)) {
        resize_keeping_place();
        InvalidateRect(list, nullptr, TRUE);
    }
}

LRESULT QuickMenu::on_list_key(WORD key) {
    if (key == VK_RETURN) {
        on_list_double_click();
        return -2;
    }
    if (key == VK_ESCAPE) {
        hide();
        return -2;
    }
    return -1;  // the list moves its selection as usual
}

void QuickMenu::on_list_double_click() {
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) on_activate(static_cast<int>(selected));
}

LRESULT QuickMenu::color_list(HDC dc) {
    const COLORREF field = ui_color(UiColor::FieldBackground, dark());
    SetTextColor(dc, ui_color(UiColor::Text, dark()));
    SetBkColor(dc, field);
    return reinterpret_cast<LRESULT>(brushes_.get(field));
}

void QuickMenu::draw_row(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF fill = ui_color(selected ? UiColor::Accent : UiColor::FieldBackground, dark());
    fill_solid(item.hDC, item.rcItem, fill);
    const std::wstring text = row_text(list, static_cast<int>(item.itemID));
    ScopedSelect use_font(item.hDC, font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, selected ? text_color_for_fill(fill) : ui_color(UiColor::Text, dark()));
    RECT text_rect{item.rcItem.left + kRowPadding, item.rcItem.top, item.rcItem.right - kRowPadding,
                   item.rcItem.bottom};
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &text_rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT QuickMenu::erase_background(HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    fill_solid(dc, client, ui_color(UiColor::PopupSurface, dark()));
    return 1;
}
