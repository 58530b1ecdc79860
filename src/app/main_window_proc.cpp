#include "app/main_window_proc.h"

#include "app/app.h"
#include "app/ids.h"
#include "app/file_locations.h"
#include "app/language.h"
#include "app/settings.h"
#include "app/window_decoration.h"
#include "services/clipboard_watcher.h"
#include "services/focus.h"
#include "services/link_fetch.h"
#include "services/paste_threads.h"
#include "services/handles.h"
#include "services/tray_icon.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/kit/brush_cache.h"
#include "ui/main_window/main_window.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_state.h"
#include "ui/menu/tray_menu.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The name MainWindow::template_group gives the templates without a group.
constexpr wchar_t kUngroupedGroup[] = L"\x1E";

constexpr UINT kPurgeIntervalMs = 3600000;

struct Colours {
    COLORREF window, field, popup, text, secondary;
};

Colours colours(bool dark) {
    return {ui_color(UiColor::WindowBackground, dark), ui_color(UiColor::FieldBackground, dark),
            ui_color(UiColor::PopupSurface, dark), ui_color(UiColor::Text, dark),
            ui_color(UiColor::SecondaryText, dark)};
}

// The WM_CTLCOLOR* answers; freed with the window.
BrushCache g_brushes;

bool dark_of(const App& app) { return app.settings && app.settings->dark_mode; }

void save_settings(const App& app) {
    if (app.settings) Settings::save(*app.settings, ini_path());
}

// ---------------------------------------------------------------- life

LRESULT on_create(HWND hwnd, App& app) {
    if (app.watcher) app.watcher->init(app.capture_sink(), hwnd);
    if (app.tray) app.tray->add(hwnd);
    if (app.main_window) app.main_window->init(hwnd, &app);
    app.register_hotkeys(hwnd);
    SetTimer(hwnd, kTimerPurge, kPurgeIntervalMs, nullptr);
    if (app.db && app.settings) {
        app.db->purge_expired(app.settings->ttl_days);
        app.db->purge_trash(app.settings->trash_hours);
    }
    return 0;
}

void on_destroy(HWND hwnd, App& app) {
    if (app.tray) app.tray->remove();
    app.unregister_hotkeys(hwnd);
    if (app.main_window) app.main_window->destroy_popups();
    save_settings(app);
    g_brushes.clear();
    PostQuitMessage(0);
}

void on_close(HWND hwnd, App& app) {
    app.store_window_rect(hwnd);
    if (!app.settings || !app.settings->tray_on_minimize) {
        DestroyWindow(hwnd);
        return;
    }
    if (app.main_window) app.main_window->hide_preview();
    ShowWindow(hwnd, SW_HIDE);
}

void on_activate(HWND hwnd, App& app, WPARAM wparam) {
    MainWindow* mw = app.main_window;
    if (LOWORD(wparam) != WA_INACTIVE || !mw || !mw->hwnd) return;
    HWND fg = GetForegroundWindow();
    if (fg && fg != hwnd && !mw->preview_keep_open) mw->hide_preview();
}

// Brings the main window up with a fresh list, remembering where to paste.
void show_main_window(HWND hwnd, App& app) {
    app.remember_foreground();
    show_window_animated(hwnd);
    SetForegroundWindow(hwnd);
    if (app.main_window) app.main_window->refresh_list();
}

// ---------------------------------------------------------------- painting

LRESULT on_erase_background(HWND hwnd, App& app, HDC dc) {
    if (app.backdrop_on) return 1;
    RECT r;
    GetClientRect(hwnd, &r);
    ScopedBrush brush(CreateSolidBrush(colours(dark_of(app)).window));
    FillRect(dc, &r, brush.get());
    return 1;
}

void draw_owner_button(const App& app, const DRAWITEMSTRUCT& item) {
    const Colours c = colours(dark_of(app));
    ScopedBrush brush(CreateSolidBrush(c.window));
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, brush.get());
    wchar_t text[32] = {};
    GetWindowTextW(item.hwndItem, text, 32);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    ScopedSelect keep_font(item.hDC, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(item.hDC, c.text);
    SetBkMode(item.hDC, TRANSPARENT);
    const UINT format = static_cast<int>(item.CtlID) < kIdFirstMenuButton
                            ? DT_CENTER | DT_VCENTER | DT_SINGLELINE
                            : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextW(item.hDC, text, -1, &r, format);
}

LRESULT on_draw_item(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (!item) return DefWindowProcW(hwnd, WM_DRAWITEM, wparam, lparam);
    const int id = static_cast<int>(item->CtlID);
    if (item->CtlType == ODT_BUTTON && id >= kIdPasteButton && id <= kIdLastMenuButton) {
        draw_owner_button(app, *item);
        return 1;
    }
    MainWindow* mw = app.main_window;
    if (item->CtlType == ODT_LISTBOX && mw) {
        if (item->hwndItem && item->hwndItem == mw->entry_list) {
            mw->draw_card(*item);
            return 1;
        }
        if (item->hwndItem && item->hwndItem == mw->sidebar) {
            mw->draw_sidebar_row(*item);
            return 1;
        }
    }
    return DefWindowProcW(hwnd, WM_DRAWITEM, wparam, lparam);
}

int entry_row_height(const App& app, int row) {
    const MainWindow* mw = app.main_window;
    if (!mw || !mw->entry_list) return 30;
    const LRESULT count = SendMessageW(mw->entry_list, LB_GETCOUNT, 0, 0);
    if (row < 0 || count == LB_ERR || row >= count) return 30;
    const std::wstring text = list_box_text(mw->entry_list, row);
    if (is_group_row(text)) return 28;
    if (mw->row_is_image(row) || text.find(L'\n') != std::wstring::npos) return 66;
    return 30;
}

LRESULT on_measure_item(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
    if (!item || item->CtlType != ODT_LISTBOX) return DefWindowProcW(hwnd, WM_MEASUREITEM, wparam, lparam);
    if (item->CtlID == kIdSidebar) {
        item->itemHeight = 28;
        return 1;
    }
    if (item->CtlID == kIdEntryList) {
        item->itemHeight = entry_row_height(app, static_cast<int>(item->itemID));
        return 1;
    }
    return DefWindowProcW(hwnd, WM_MEASUREITEM, wparam, lparam);
}

HBRUSH colour_field(App& app, HDC dc) {
    const Colours c = colours(dark_of(app));
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.field);
    return g_brushes.get(c.field);
}

LRESULT on_ctlcolor_button(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
    if (id < kIdPasteButton || id > kIdSidebarButton) return DefWindowProcW(hwnd, WM_CTLCOLORBTN, wparam, lparam);
    const Colours c = colours(dark_of(app));
    HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.window);
    return reinterpret_cast<LRESULT>(g_brushes.get(c.window));
}

HBRUSH colour_static(App& app, HDC dc, HWND control) {
    const bool dark = dark_of(app);
    const Colours c = colours(dark);
    COLORREF text = c.text, back = c.window;
    const int id = control ? GetDlgCtrlID(control) : -1;
    if (id == kIdStatus) {
        text = c.secondary;
    } else if (id == 0 && !dark) {
        text = ui_color(UiColor::Border, false);  // the separators of the tool row, drawn faint
    } else if (id == kIdTooltip) {
        back = c.popup;
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    return g_brushes.get(back);
}

// ---------------------------------------------------------------- input

LRESULT on_mouse_wheel(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    MainWindow* mw = app.main_window;
    if (mw) {
        const POINT pt{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (HWND list = mw->list_at(pt)) {
            mw->on_wheel(list, GET_WHEEL_DELTA_WPARAM(wparam));
            return 0;
        }
    }
    return DefWindowProcW(hwnd, WM_MOUSEWHEEL, wparam, lparam);
}

void on_context_menu(App& app, HWND source, LPARAM lparam) {
    MainWindow* mw = app.main_window;
    if (!mw || !source) return;
    const POINT pt{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (source == mw->entry_list) {
        mw->on_list_context_menu(pt);
    } else if (source == mw->sidebar) {
        mw->on_sidebar_context_menu(pt);
    }
}

void on_hotkey(HWND hwnd, App& app, WPARAM id_param) {
    const int id = static_cast<int>(id_param);
    MainWindow* mw = app.main_window;
    const int base = static_cast<int>(app.slot_hotkey_base);
    if (id == static_cast<int>(app.main_hotkey.id)) {
        show_main_window(hwnd, app);
    } else if (id == static_cast<int>(app.quick_menu_hotkey_id)) {
        app.show_quick_menu();
    } else if (id >= base && id <= base + 8) {
        app.remember_foreground();
        app.on_quick_slot(id - base + 1);
    } else if (id == kHotkeyPlainPaste) {
        // The paste goes to whatever has the focus: no target is remembered.
        start_detached(plain_paste_thread);
    } else if (id == kHotkeyTemplates) {
        app.remember_foreground();
        if (mw) mw->show_templates();
    } else if (id == kHotkeyShotArea) {
        app.take_screenshot(0);
    } else if (id == kHotkeyShotWindow) {
        app.take_screenshot(1);
    } else if (id == kHotkeyShotFull) {
        app.take_screenshot(2);
    }
}

// The tray icon's menu and what its choices do.
void on_tray_menu(HWND hwnd, App& app) {
    const bool dark = app.settings && app.settings->dark_mode;
    MainWindow* mw = app.main_window;
    switch (show_tray_menu(hwnd, dark)) {
        case kTrayOpenHistory:
            app.remember_foreground();
            ShowWindow(hwnd, SW_SHOW);
            SetForegroundWindow(hwnd);
            if (mw) mw->refresh_list();
            break;
        case kTrayOpenSettings: app.open_settings(); break;
        case kTrayClearHistory: app.clear_history(); break;
        case kTrayQuit: DestroyWindow(hwnd); break;
        case kTrayTemplates:
            app.remember_foreground();
            if (mw) mw->show_templates();
            break;
        case kTrayScreenshot: app.take_screenshot(0); break;
        default: break;  // dismissed
    }
}

void on_tray(HWND hwnd, App& app, LPARAM lparam) {
    switch (LOWORD(lparam)) {
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: show_main_window(hwnd, app); break;
        case WM_RBUTTONUP: on_tray_menu(hwnd, app); break;
        default: break;
    }
}

void on_show_request(HWND hwnd, App& app) {
    app.remember_foreground();
    show_window_animated(hwnd);
    SetForegroundWindow(hwnd);
    ShowWindow(hwnd, SW_RESTORE);
}

// Only titles that a worker of this process handed over are taken (and
// freed): a stray message from elsewhere carries no pointer of ours.
void on_link_title(App& app, WPARAM wparam, LPARAM lparam) {
    std::unique_ptr<std::wstring> title = claim_link_title(lparam);
    if (!title || title->empty() || !app.db) return;
    const auto id = static_cast<std::int64_t>(wparam);
    if (app.db->set_link_title(id, *title) && app.main_window) app.main_window->apply_link_title(id, *title);
}

// ---------------------------------------------------------------- timers

void on_timer(HWND hwnd, App& app, UINT_PTR id) {
    if (id == kTimerPoll) {
        HWND fg = GetForegroundWindow();
        if (fg && fg != hwnd && !is_own_or_shell_window(fg)) app.paste_target = fg;
        if (app.watcher) app.watcher->poll();
    } else if (id == kTimerPurge) {
        if (!app.db || !app.settings) return;
        if (app.settings->ttl_days >= 1) app.db->purge_expired(app.settings->ttl_days);
        if (app.settings->trash_hours >= 1) app.db->purge_trash(app.settings->trash_hours);
    } else if (id == kTimerSaveRect) {
        app.store_window_rect(hwnd);
        save_settings(app);
        KillTimer(hwnd, kTimerSaveRect);
    }
}

// ---------------------------------------------------------------- commands

constexpr wchar_t kJsonFilter[] = L"JSON (*.json)\0*.json\0";

bool ask_json_path(HWND owner, bool save, std::wstring& path) {
    wchar_t file[260] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kJsonFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 260;
    ofn.lpstrDefExt = L"json";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    path = file;
    return true;
}

void export_history(HWND hwnd, App& app) {
    std::wstring path;
    if (!ask_json_path(hwnd, true, path)) return;
    const int count = app.db ? app.db->export_json(path) : 0;
    MessageBoxW(hwnd, tr_format(L"status.exported", count).c_str(), tr(L"title.export").c_str(), MB_OK);
}

void import_history(HWND hwnd, App& app) {
    std::wstring path;
    if (!ask_json_path(hwnd, false, path)) return;
    const int count = app.db ? app.db->import_json(path) : 0;
    MessageBoxW(hwnd, tr_format(L"status.imported", count).c_str(), tr(L"title.import").c_str(), MB_OK);
    if (app.main_window) {
        app.main_window->refresh_all();
        app.main_window->refresh_list();
    }
}

void show_about(HWND hwnd) {
    const std::wstring text = L"Korvane\n\n" + tr(L"about.text");
    MessageBoxW(hwnd, text.c_str(), tr(L"action.about").c_str(), MB_OK);
}

void set_watching(App& app, bool on) {
    if (app.settings) app.settings->watch_clipboard = on;
    if (app.watcher) app.watcher->set_enabled(on);
}

void on_sidebar_selection(App& app) {
    MainWindow* mw = app.main_window;
    if (!mw || !mw->sidebar) return;
    const LRESULT row = SendMessageW(mw->sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const LRESULT data = SendMessageW(mw->sidebar, LB_GETITEMDATA, row, 0);
    if (data < 0) return;
    if (data == kSidebarTemplates) {
        mw->show_template_group(L"");
    } else if (data == kSidebarImages) {
        mw->show_images_view();
    } else if (data < kSidebarFirstCategory) {
        mw->set_view(static_cast<int>(data), -1);
    } else if (data < kSidebarFirstGroup) {
        mw->set_view(kViewCategory, static_cast<int>(data - kSidebarFirstCategory));
    } else if (data == kSidebarUngrouped) {
        mw->show_template_group(kUngroupedGroup);
    } else {
        mw->show_template_group(sidebar_group_name(list_box_text(mw->sidebar, static_cast<int>(row))));
    }
}

// The controls' own notifications; true when the sender was one of them.
bool route_control(HWND hwnd, App& app, int id, int code) {
    MainWindow* mw = app.main_window;
    switch (id) {
        case kIdSearch:
            if (code != EN_CHANGE) return false;
            if (mw) mw->refresh_list();
            return true;
        case kIdSearchButton:
            if (code != BN_CLICKED) return false;
            if (mw && mw->search_edit) SetFocus(mw->search_edit);
            return true;
        case kIdSidebar:
            if (code != LBN_SELCHANGE) return false;
            on_sidebar_selection(app);
            return true;
        case kIdEntryList:
            if (code == LBN_DBLCLK) {
                if (mw) mw->on_paste_selected();
                return true;
            }
            if (code == LBN_SELCHANGE) {
                if (mw) mw->on_selection_changed();
                return true;
            }
            return false;
        case kIdWatchToggle:
            if (code != BN_CLICKED) return false;
            if (mw && mw->watch_toggle)
                set_watching(app, SendMessageW(mw->watch_toggle, BM_GETCHECK, 0, 0) == BST_CHECKED);
            return true;
        default: break;
    }
    if (id >= kIdFirstMenuButton && id <= kIdLastMenuButton) {
        // Other notifications of the menu buttons are taken and dropped.
        if (code == BN_CLICKED && mw) mw->show_menu_bar_menu(id - kIdFirstMenuButton);
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case kIdPasteButton: if (mw) mw->on_paste_selected(); return true;
        case kIdCopyButton: if (mw) mw->on_copy_selected(); return true;
        case kIdScreenshotButton: app.take_screenshot(0); return true;
        case kIdPinButton: if (mw) mw->toggle_pin_selected(); return true;
        case kIdDeleteButton: if (mw) mw->delete_selected(); return true;
        case kIdUpButton: if (mw) mw->move_selection_up(); return true;
        case kIdDownButton: if (mw) mw->move_selection_down(); return true;
        case kIdClearButton: app.clear_history(); return true;
        case kIdSettingsButton: app.open_settings(); return true;
        case kIdSidebarButton: if (mw) mw->toggle_category_panel(); return true;
        default: return false;
    }
}

// Menu commands, posted by the menus and other windows.
void route_command(HWND hwnd, App& app, int id) {
    MainWindow* mw = app.main_window;
    switch (id) {
        case kCmdExportJson: export_history(hwnd, app); return;
        case kCmdImportJson: import_history(hwnd, app); return;
        case kCmdClose:
        case kCmdQuit: DestroyWindow(hwnd); return;
        case kCmdDarkMode: app.toggle_dark_mode(); return;
        case kCmdWatchClipboard: {
            const bool on = !(app.settings && app.settings->watch_clipboard);
            if (mw && mw->watch_toggle) SendMessageW(mw->watch_toggle, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
            set_watching(app, on);
            return;
        }
        case kCmdHotkeyHelp:
        case kCmdHelpHotkeys: show_hotkey_help(hwnd); return;
        case kCmdOpenSettings: app.open_settings(); return;
        case kCmdAbout: show_about(hwnd); return;
        case kCmdScreenshot: app.take_screenshot(0); return;
        default: break;
    }
    if (!mw) return;
    switch (id) {
        case kCmdPaste:
        case kCmdPasteDelete: mw->on_paste_selected(); break;
        case kCmdCopy: mw->on_copy_selected(); break;
        case kCmdPin: mw->toggle_pin_selected(); break;
        case kCmdEdit: mw->edit_selected(); break;
        case kCmdToCategory: mw->move_selected_to_category(); break;
        case kCmdRemoveCategory: mw->clear_selected_category(); break;
        case kCmdAddSlot: mw->add_selected_to_slots(); break;
        case kCmdRemoveSlot: mw->remove_selected_from_slots(); break;
        case kCmdMoveUp: mw->move_selection_up(); break;
        case kCmdMoveDown: mw->move_selection_down(); break;
        case kCmdSelectAll: mw->select_all(); break;
        case kCmdFind: mw->focus_search(); break;
        case kCmdDelete: mw->delete_selected(); break;
        case kCmdPasteMultiple: mw->on_paste_multiple(); break;
        case kCmdTemplates: mw->show_templates(); break;
        case kCmdNewTemplate: mw->new_template(); break;
        case kCmdAddCategory: mw->new_category(); break;
        case kCmdRenameCategory:
        case kCmdMergeCategory: mw->rename_category(); break;
        case kCmdPinCategory: mw->toggle_category_pin(); break;
        case kCmdCategoryUp: mw->move_category(-1); break;
        case kCmdCategoryDown: mw->move_category(+1); break;
        case kCmdDeleteCategory: mw->delete_category(); break;
        case kCmdToggleCategoryPanel:
        case kCmdCollapseCategories: mw->toggle_category_panel(); break;
        case kCmdShowTime: mw->toggle_show_time(); break;
        case kCmdAlwaysOnTop: mw->toggle_topmost(); break;
        default: break;
    }
}

void on_command(HWND hwnd, App& app, WPARAM wparam) {
    const int id = LOWORD(wparam);
    if (route_control(hwnd, app, id, HIWORD(wparam))) return;
    route_command(hwnd, app, id);
}

void on_get_min_max_info(HWND hwnd, App& app, MINMAXINFO* info) {
    if (!app.main_window || !info) return;
    const int min_width = window_width_for_client(hwnd, app.main_window->top_row_min_width());
    if (info->ptMinTrackSize.x < min_width) info->ptMinTrackSize.x = min_width;
}

}  // namespace

// ---------------------------------------------------------------- public

void show_window_animated(HWND window) {
    if (!window) return;
    BOOL animate = FALSE;
    SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animate, 0);
    if (animate && !IsWindowVisible(window)) {
        AnimateWindow(window, 120, AW_BLEND | AW_ACTIVATE);
    } else {
        ShowWindow(window, SW_SHOW);
    }
}

bool is_group_row(const std::wstring& row_text) { return row_text.starts_with(L"GRP\t"); }

std::wstring sidebar_group_name(const std::wstring& row_text) {
    const size_t tab = row_text.find(L'\t');
    const std::wstring rest = tab == std::wstring::npos ? row_text : row_text.substr(tab + 1);
    const size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const size_t last = rest.find_last_not_of(L" \t");
    return rest.substr(first, last - first + 1);
}

std::wstring list_box_text(HWND list, int row) {
    if (!list || row < 0) return {};
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length < 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    if (got == LB_ERR || got < 0) return {};
    return std::wstring(buffer.data(), std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
}

std::wstring hotkey_help_text(const std::wstring& open_history_keys, const std::wstring* plain_paste_keys,
                              const std::wstring* templates_keys) {
    std::wstring text;
    auto row = [&text](const std::wstring& keys, const std::wstring& what) {
        text += keys + L" \u2014 " + what + L"\n";
    };
    row(open_history_keys, tr(L"hotkey.open_history"));
    row(L"Ctrl+Shift+Alt+V", tr(L"hotkey.quick_menu"));
    row(L"Enter", tr(L"hotkey.paste_selected"));
    row(L"Ctrl+F", tr(L"hotkey.search"));
    row(L"Ctrl+Shift+1..9", tr(L"hotkey.quick_slots"));
    row(L"Esc", tr(L"hotkey.close"));
    if (plain_paste_keys) row(*plain_paste_keys, tr(L"hotkey.paste_plain"));
    if (templates_keys) row(*templates_keys, tr(L"hotkey.snippets"));
    return text;
}

void show_hotkey_help(HWND owner) {
    std::wstring open_history = L"Ctrl+Shift+V";
    const std::wstring* plain = nullptr;
    const std::wstring* templates = nullptr;
    if (g_app) {
        if (g_app->main_hotkey.vk != 0)
            open_history = hotkey_display_text(g_app->main_hotkey.modifiers, g_app->main_hotkey.vk);
        if (g_app->settings) {
            plain = &g_app->settings->plain_hotkey;
            templates = &g_app->settings->snippets_hotkey;
        }
    }
    const std::wstring text = hotkey_help_text(open_history, plain, templates);
    MessageBoxW(owner, text.c_str(), tr(L"hotkeys.title").c_str(), MB_OK);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    // The App comes with WM_CREATE, when its parts can take the window.
    App* app_ptr = window_state<App>(hwnd, msg, lparam, WM_CREATE);
    if (!app_ptr) return DefWindowProcW(hwnd, msg, wparam, lparam);
    App& app = *app_ptr;

    switch (msg) {
        case WM_CREATE: return on_create(hwnd, app);
        case WM_DESTROY: on_destroy(hwnd, app); return 0;
        case WM_MOVE:
            KillTimer(hwnd, kTimerSaveRect);
            SetTimer(hwnd, kTimerSaveRect, 500, nullptr);
            return 0;
        case WM_SIZE:
            if (app.main_window) app.main_window->layout();
            apply_round_corners(hwnd);
            return 0;
        case WM_ACTIVATE: on_activate(hwnd, app, wparam); break;
        case WM_CLOSE: on_close(hwnd, app); return 0;
        case WM_ERASEBKGND: return on_erase_background(hwnd, app, reinterpret_cast<HDC>(wparam));
        case WM_GETMINMAXINFO: on_get_min_max_info(hwnd, app, reinterpret_cast<MINMAXINFO*>(lparam)); return 0;
        case WM_DRAWITEM: return on_draw_item(hwnd, app, wparam, lparam);
        case WM_MEASUREITEM: return on_measure_item(hwnd, app, wparam, lparam);
        case WM_CONTEXTMENU: on_context_menu(app, reinterpret_cast<HWND>(wparam), lparam); return 0;
        case WM_NCACTIVATE: apply_dark_title_bar(hwnd, dark_of(app)); break;
        case WM_COMMAND: on_command(hwnd, app, wparam); return 0;
        case WM_TIMER:
            if (wparam != kTimerPoll && wparam != kTimerPurge && wparam != kTimerSaveRect) break;
            on_timer(hwnd, app, wparam);
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: return reinterpret_cast<LRESULT>(colour_field(app, reinterpret_cast<HDC>(wparam)));
        case WM_CTLCOLORBTN: return on_ctlcolor_button(hwnd, app, wparam, lparam);
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(
                colour_static(app, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
        case WM_MOUSEWHEEL: return on_mouse_wheel(hwnd, app, wparam, lparam);
        case WM_EXITSIZEMOVE:
            if (app.main_window) app.main_window->remember_full_width();
            app.store_window_rect(hwnd);
            return 0;
        case WM_HOTKEY: on_hotkey(hwnd, app, wparam); return 0;
        case kMsgTray: on_tray(hwnd, app, lparam); return 0;
        case kMsgShowMain: on_show_request(hwnd, app); return 0;
        case kMsgLinkTitle: on_link_title(app, wparam, lparam); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}
