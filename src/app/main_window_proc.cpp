// The window procedure of "KorvaneMain": the message table, the life of the
// window (start-up on WM_CREATE, shut-down on WM_DESTROY), the timers,
// hotkeys and tray callback, and the routes of every command. What the
// children paint, the views and the commands themselves belong to MainWindow
// (ui/main_window/), which the procedure calls.
//
// From WM_CREATE to WM_DESTROY the App's parts (settings, database, watcher,
// main window contents, tray icon) all exist (App::init builds them before
// the window, App::shutdown deletes them after it): nothing here tests them.

#include "app/main_window_proc.h"

#include "app/app.h"
#include "app/startup_steps.h"
#include "capture/clipboard_watcher.h"
#include "capture/link_fetch.h"
#include "config/file_locations.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/clock.h"
#include "services/focus.h"
#include "services/ids.h"
#include "services/paste_threads.h"
#include "services/tray_icon.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/dialogs/json_file_dialogs.h"
#include "ui/kit/list_box.h"
#include "ui/kit/window_decoration.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"
#include "ui/menu/popup_menu.h"
#include "ui/menu/tray_menu.h"
#include "ui/settings/settings_changes.h"

#include <windowsx.h>

#include <memory>

namespace {

constexpr UINT kPurgeIntervalMs = 3600000;
constexpr UINT kSaveRectDelayMs = 500;

void save_settings(const App& app) { Settings::save(*app.settings, ini_path()); }

// What the program keeps when it ends: the window's place, the view and
// every setting changed outside the settings window. A number typed into the
// open settings window counts as on its way out (its WM_DESTROY), which the
// end of the session never reaches.
void store_for_exit(HWND hwnd, App& app) {
    if (app.settings_window) commit_settings_fields(*app.settings_window);
    app.store_window_rect(hwnd);
    save_settings(app);
}

// ---------------------------------------------------------------- life

LRESULT on_create(HWND hwnd, App& app) {
    mark_step(app.startup_steps, "creating the window");
    app.watcher->init(app.capture_sink(), hwnd);
    mark_step(app.startup_steps, "clipboard watcher");
    app.tray->add(hwnd);
    mark_step(app.startup_steps, "tray icon");
    app.main_window->init(hwnd, &app);
    mark_step(app.startup_steps, "window contents");
    app.register_hotkeys(hwnd);
    mark_step(app.startup_steps, "hotkeys");
    SetTimer(hwnd, kTimerPurge, kPurgeIntervalMs, nullptr);
    SetTimer(hwnd, kTimerStartRest, USER_TIMER_MINIMUM, nullptr);
    app.db->purge_expired(app.settings->ttl_days);
    app.db->purge_trash(app.settings->trash_hours);
    mark_step(app.startup_steps, "purge at start");
    return 0;
}

void on_destroy(HWND hwnd, App& app) {
    app.tray->remove();
    app.unregister_hotkeys(hwnd);
    app.main_window->destroy_popups();
    store_for_exit(hwnd, app);
    PostQuitMessage(0);
}

// A program does not get WM_DESTROY when the Windows session ends: for a
// tray program this is the usual end. An installer or updater asking the
// program to close while the session goes on gets a quit by the usual road,
// which takes the tray icon along.
void on_end_session(HWND hwnd, App& app, WPARAM ending, LPARAM how) {
    if (!ending) return;
    if (how & ENDSESSION_CLOSEAPP) {
        DestroyWindow(hwnd);
    } else {
        store_for_exit(hwnd, app);
    }
}

void on_close(HWND hwnd, App& app) {
    // Quitting stores the window's place on the way out (store_for_exit).
    if (!app.settings->tray_on_minimize) {
        DestroyWindow(hwnd);
        return;
    }
    app.store_window_rect(hwnd);
    app.main_window->hide_window();
}

// Every road that brings the window up ends here: the keyboard goes back to
// the control that had it.
LRESULT on_activate(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    MainWindow& mw = *app.main_window;
    if (LOWORD(wparam) != WA_INACTIVE) {
        if (HIWORD(wparam) == 0 && mw.give_back_focus()) return 0;
        return DefWindowProcW(hwnd, WM_ACTIVATE, wparam, lparam);
    }
    mw.keep_focus_on_leave();
    HWND fg = GetForegroundWindow();
    if (fg && fg != hwnd && !mw.preview_keep_open) mw.hide_preview();
    return DefWindowProcW(hwnd, WM_ACTIVATE, wparam, lparam);
}

// The window moved: its rectangle is saved once it rests.
void on_move(HWND hwnd) {
    KillTimer(hwnd, kTimerSaveRect);
    SetTimer(hwnd, kTimerSaveRect, kSaveRectDelayMs, nullptr);
}

// The default handling sends WM_MOVE and WM_SIZE, which lay the children out
// again; the preview then goes beside the window where it now stands.
LRESULT on_window_pos_changed(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = DefWindowProcW(hwnd, WM_WINDOWPOSCHANGED, wparam, lparam);
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
    const UINT unmoved = SWP_NOMOVE | SWP_NOSIZE;
    if (pos && ((pos->flags & unmoved) != unmoved || (pos->flags & SWP_HIDEWINDOW)))
        app.main_window->follow_main_window();
    return result;
}

void on_size(HWND hwnd, App& app) {
    app.main_window->layout();
    apply_round_corners(hwnd);
}

void on_exit_size_move(HWND hwnd, App& app) {
    app.main_window->remember_full_width();
    app.store_window_rect(hwnd);
}

void on_get_min_max_info(HWND hwnd, App& app, MINMAXINFO* info) {
    if (!info) return;
    const int min_width = window_width_for_client(hwnd, app.main_window->top_row_min_width());
    if (info->ptMinTrackSize.x < min_width) info->ptMinTrackSize.x = min_width;
}

// Brings the main window up with a fresh list, remembering where to paste;
// its contents hold the handle and bring it back. Called up by its hotkey,
// it is there for the keys and starts clean: Enter pastes the newest copy,
// Down goes on. The list is filled before it shows (a window shown for the
// first time fills it as it makes its children).
void show_main_window(App& app, TargetRoad road) {
    MainWindow& mw = *app.main_window;
    const bool for_keys = road == TargetRoad::Hotkey;
    app.remember_foreground(road);
    if (for_keys) mw.clear_search();
    mw.refresh_list();
    mw.bring_back();
    if (for_keys) mw.focus_first_entry();
}

// ---------------------------------------------------------------- painting (MainWindow's frame does it)

LRESULT on_erase_background(App& app, HDC dc) {
    if (!app.backdrop_on) app.main_window->paint_background(dc);
    return 1;
}

LRESULT on_draw_item(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (item && app.main_window->draw_item(*item)) return 1;
    return DefWindowProcW(hwnd, WM_DRAWITEM, wparam, lparam);
}

LRESULT on_measure_item(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
    if (item && app.main_window->measure_item(*item)) return 1;
    return DefWindowProcW(hwnd, WM_MEASUREITEM, wparam, lparam);
}

LRESULT on_ctlcolor_field(App& app, WPARAM wparam) {
    return reinterpret_cast<LRESULT>(app.main_window->field_colours(reinterpret_cast<HDC>(wparam)));
}

LRESULT on_ctlcolor_button(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    HBRUSH brush = app.main_window->button_colours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    return brush ? reinterpret_cast<LRESULT>(brush) : DefWindowProcW(hwnd, WM_CTLCOLORBTN, wparam, lparam);
}

LRESULT on_ctlcolor_static(App& app, WPARAM wparam, LPARAM lparam) {
    return reinterpret_cast<LRESULT>(
        app.main_window->static_colours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
}

// ---------------------------------------------------------------- input

LRESULT on_mouse_wheel(HWND hwnd, App& app, WPARAM wparam, LPARAM lparam) {
    MainWindow& mw = *app.main_window;
    const POINT pt{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (HWND list = mw.list_at(pt)) {
        mw.on_wheel(list, GET_WHEEL_DELTA_WPARAM(wparam));
        return 0;
    }
    return DefWindowProcW(hwnd, WM_MOUSEWHEEL, wparam, lparam);
}

void on_context_menu(App& app, HWND source, LPARAM lparam) {
    MainWindow& mw = *app.main_window;
    if (!source) return;
    const POINT pt{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (source == mw.entry_list) {
        mw.on_list_context_menu(pt);
    } else if (source == mw.sidebar) {
        mw.on_sidebar_context_menu(pt);
    }
}

void on_hotkey(HWND hwnd, App& app, WPARAM id_param) {
    const int id = static_cast<int>(id_param);
    const int base = static_cast<int>(app.slot_hotkey_base);
    // Pressed while one of the program's menus is open, the hotkey comes
    // through that menu's loop, which holds the mouse and takes every key:
    // the menus end. The quick menu takes the focus over from them at once (a
    // menu gone first would hand it to some other window, which would close
    // the quick menu again); anything else is taken again once they have gone.
    if (end_popup_menus() && id != static_cast<int>(app.quick_menu_hotkey_id)) {
        PostMessageW(hwnd, WM_HOTKEY, id_param, 0);
        return;
    }
    if (id == static_cast<int>(app.main_hotkey.id)) {
        show_main_window(app, TargetRoad::Hotkey);
    } else if (id == static_cast<int>(app.quick_menu_hotkey_id)) {
        app.show_quick_menu();
    } else if (id >= base && id <= base + 8) {
        app.remember_foreground(TargetRoad::Hotkey);
        app.on_quick_slot(id - base + 1);
    } else if (id == kHotkeyPlainPaste) {
        const int key = static_cast<int>(app.plain_hotkey.vk);
        app.queue_paste({kHotkeyPlainPaste, key}, [hwnd, &app, key](unsigned paste) {
            // The rewrite loses the copy's owner, by which the application
            // filter knows it: the watcher judges the copy now, before it is
            // rewritten, and then knows the rewrite's text as seen.
            app.catch_up_clipboard();
            // The paste goes to whatever has the focus: no target is remembered.
            return start_detached(plain_paste_thread, PasteRequest{nullptr, hwnd, false, key, paste});
        });
    } else if (id == kHotkeyTemplates) {
        app.remember_foreground(TargetRoad::Hotkey);
        app.main_window->clear_search();
        app.main_window->show_templates();
        app.main_window->focus_first_entry();
    } else if (id == kHotkeyShotArea) {
        app.take_screenshot(kShotArea);
    } else if (id == kHotkeyShotWindow) {
        app.take_screenshot(kShotWindow);
    } else if (id == kHotkeyShotFull) {
        app.take_screenshot(kShotFullScreen);
    }
}

// The tray icon's menu and what its choices do.
void on_tray_menu(HWND hwnd, App& app) {
    MainWindow& mw = *app.main_window;
    switch (show_tray_menu(hwnd, app.settings->dark_mode)) {
    case kTrayOpenHistory: show_main_window(app, TargetRoad::Poll); break;
    case kTrayOpenSettings: app.open_settings(); break;
    case kTrayClearHistory: app.clear_history(); break;
    case kTrayQuit: DestroyWindow(hwnd); break;
    case kTrayTemplates:
        app.remember_foreground();
        mw.show_templates();
        break;
    case kTrayScreenshot: app.take_screenshot(kShotArea); break;
    default: break;  // dismissed
    }
}

void on_tray(HWND hwnd, App& app, LPARAM lparam) {
    switch (LOWORD(lparam)) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: show_main_window(app, TargetRoad::Poll); break;
    case WM_RBUTTONUP: on_tray_menu(hwnd, app); break;
    default: break;
    }
}

// A second start, a taskbar pin or a paste that leaves the window open.
void on_show_request(App& app) {
    app.remember_foreground();
    app.main_window->bring_back();
}

// Only titles that a worker of this process handed over are taken (and
// freed): a stray message from elsewhere carries no pointer of ours. A title
// fetched for a text the entry no longer holds is dropped.
void on_link_title(App& app, WPARAM wparam, LPARAM lparam) {
    std::unique_ptr<FetchedLinkTitle> fetched = claim_link_title(lparam);
    if (!fetched || fetched->title.empty()) return;
    const auto id = static_cast<std::int64_t>(wparam);
    if (app.db->set_link_title(id, fetched->text, fetched->title))
        app.main_window->apply_link_title(id, fetched->title);
}

// ---------------------------------------------------------------- timers

void on_poll_timer(HWND hwnd, App& app) {
    HWND fg = GetForegroundWindow();
    if (fg && fg != hwnd && !is_own_or_shell_window(fg)) app.paste_target = fg;
    app.watcher->poll();
    app.tell_storage_notices();
}

void on_purge_timer(App& app) {
    if (app.settings->ttl_days >= 1) app.db->purge_expired(app.settings->ttl_days);
    if (app.settings->trash_hours >= 1) app.db->purge_trash(app.settings->trash_hours);
}

void on_start_rest_timer(HWND hwnd, App& app) {
    KillTimer(hwnd, kTimerStartRest);
    app.finish_start();
}

void on_save_rect_timer(HWND hwnd, App& app) {
    app.store_window_rect(hwnd);
    save_settings(app);
    KillTimer(hwnd, kTimerSaveRect);
}

LRESULT on_timer(HWND hwnd, App& app, WPARAM id, LPARAM lparam) {
    switch (id) {
    case kTimerPoll: on_poll_timer(hwnd, app); return 0;
    case kTimerPurge: on_purge_timer(app); return 0;
    case kTimerSaveRect: on_save_rect_timer(hwnd, app); return 0;
    case kTimerStartRest: on_start_rest_timer(hwnd, app); return 0;
    case kTimerThumbnails: app.main_window->make_asked_thumbnails(); return 0;
    case kTimerTrayRetry: app.tray->add(hwnd); return 0;
    default: return DefWindowProcW(hwnd, WM_TIMER, id, lparam);
    }
}

// ---------------------------------------------------------------- commands

void import_history(HWND hwnd, App& app) {
    if (!import_history_json(hwnd, *app.db)) return;
    app.main_window->refresh_all();
    app.main_window->refresh_list();
}

void show_about(HWND hwnd) {
    const std::wstring text = L"Korvane\n\n" + tr(L"about.text");
    MessageBoxW(hwnd, text.c_str(), tr(L"action.about").c_str(), MB_OK);
}

void set_watching(App& app, bool on) {
    app.settings->watch_clipboard = on;
    app.watcher->set_enabled(on);
    app.sync_settings_window();
}

void flip_watching(App& app) {
    const bool on = !app.settings->watch_clipboard;
    if (HWND toggle = app.main_window->watch_toggle)
        SendMessageW(toggle, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    set_watching(app, on);
}

// The controls' own notifications; true when the sender was one of them.
bool route_control(App& app, int id, int code) {
    MainWindow& mw = *app.main_window;
    switch (id) {
    case kIdSearch:
        if (code != EN_CHANGE) return false;
        mw.on_search_changed();
        return true;
    case kIdSearchButton:
        if (code != BN_CLICKED) return false;
        if (mw.search_edit) SetFocus(mw.search_edit);
        return true;
    case kIdSidebar:
        if (code != LBN_SELCHANGE) return false;
        mw.on_sidebar_selection();
        return true;
    case kIdEntryList:
        if (code == LBN_DBLCLK) {
            // Only on a card: below the last one is no paste the user asked for.
            if (list_box_pointer_on_selected_row(mw.entry_list)) mw.on_paste_selected();
            return true;
        }
        if (code == LBN_SELCHANGE) {
            mw.on_selection_changed();
            return true;
        }
        return false;
    case kIdWatchToggle:
        if (code != BN_CLICKED) return false;
        if (mw.watch_toggle) set_watching(app, SendMessageW(mw.watch_toggle, BM_GETCHECK, 0, 0) == BST_CHECKED);
        return true;
    default: break;
    }
    if (id >= kIdFirstMenuButton && id <= kIdLastMenuButton) {
        // Other notifications of the menu buttons are taken and dropped.
        if (code == BN_CLICKED) mw.show_menu_bar_menu(id - kIdFirstMenuButton);
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case kIdPasteButton: mw.on_paste_selected(); return true;
    case kIdCopyButton: mw.on_copy_selected(); return true;
    case kIdScreenshotButton: app.take_screenshot(kShotArea); return true;
    case kIdPinButton: mw.toggle_pin_selected(); return true;
    case kIdDeleteButton: mw.delete_selected(); return true;
    case kIdUpButton: mw.move_selection_up(); return true;
    case kIdDownButton: mw.move_selection_down(); return true;
    case kIdClearButton: app.clear_history(); return true;
    case kIdSettingsButton: app.open_settings(); return true;
    case kIdSidebarButton: mw.toggle_category_panel(); return true;
    default: return false;
    }
}

// Menu commands, posted by the menus and other windows.
void route_command(HWND hwnd, App& app, int id) {
    MainWindow& mw = *app.main_window;
    switch (id) {
    case kCmdExportJson: export_history_json(hwnd, *app.db); break;
    case kCmdImportJson: import_history(hwnd, app); break;
    case kCmdClose:
    case kCmdQuit: DestroyWindow(hwnd); break;
    case kCmdPaste:
    case kCmdPasteDelete: mw.on_paste_selected(); break;
    case kCmdCopy: mw.on_copy_selected(); break;
    case kCmdPin: mw.toggle_pin_selected(); break;
    case kCmdEdit: mw.edit_selected(); break;
    case kCmdToCategory: mw.move_selected_to_category(); break;
    case kCmdRemoveCategory: mw.clear_selected_category(); break;
    case kCmdAddSlot: mw.add_selected_to_slots(); break;
    case kCmdRemoveSlot: mw.remove_selected_from_slots(); break;
    case kCmdMoveUp: mw.move_selection_up(); break;
    case kCmdMoveDown: mw.move_selection_down(); break;
    case kCmdSelectAll: mw.select_all(); break;
    case kCmdFind: mw.focus_search(); break;
    case kCmdDelete: mw.delete_selected(); break;
    case kCmdPasteMultiple: mw.on_paste_multiple(); break;
    case kCmdTemplates: mw.show_templates(); break;
    case kCmdNewTemplate: mw.new_template(); break;
    case kCmdScreenshot: app.take_screenshot(kShotArea); break;
    case kCmdAddCategory: mw.new_category(); break;
    case kCmdRenameCategory: mw.rename_category(); break;
    case kCmdMergeCategory: mw.merge_category(); break;
    case kCmdPinCategory: mw.toggle_category_pin(); break;
    case kCmdCategoryUp: mw.move_category(-1); break;
    case kCmdCategoryDown: mw.move_category(+1); break;
    case kCmdDeleteCategory: mw.delete_category(); break;
    case kCmdToggleCategoryPanel:
    case kCmdCollapseCategories: mw.toggle_category_panel(); break;
    case kCmdShowTime: mw.toggle_show_time(); break;
    case kCmdDarkMode: app.toggle_dark_mode(); break;
    case kCmdWatchClipboard: flip_watching(app); break;
    case kCmdAlwaysOnTop: mw.toggle_topmost(); break;
    case kCmdHotkeyHelp:
    case kCmdHelpHotkeys: show_hotkey_help(hwnd, app); break;
    case kCmdOpenSettings: app.open_settings(); break;
    case kCmdAbout: show_about(hwnd); break;
    default: break;
    }
}

void on_command(HWND hwnd, App& app, WPARAM wparam) {
    const int id = LOWORD(wparam);
    if (route_control(app, id, HIWORD(wparam))) return;
    route_command(hwnd, app, id);
}

}  // namespace

// ---------------------------------------------------------------- public

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

// The help names only combinations that work: one without a key, or one
// another program holds, is shown as not set.
void show_hotkey_help(HWND owner, const App& app) {
    const std::wstring not_set = tr(L"hotkey.not_set");
    std::wstring open_history = not_set, plain = not_set, templates = not_set;
    bool with_settings = false;
    if (app.hotkey_registered(kHotkeyOpenHistory))
        open_history = hotkey_display_text(app.main_hotkey.modifiers, app.main_hotkey.vk);
    if (app.settings) {
        with_settings = true;
        if (app.hotkey_registered(kHotkeyPlainPaste)) plain = app.settings->plain_hotkey;
        if (app.hotkey_registered(kHotkeyTemplates)) templates = app.settings->snippets_hotkey;
    }
    const std::wstring text =
        hotkey_help_text(open_history, with_settings ? &plain : nullptr, with_settings ? &templates : nullptr);
    MessageBoxW(owner, text.c_str(), tr(L"hotkeys.title").c_str(), MB_OK);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    // The App comes with WM_CREATE, when its parts can take the window. It
    // is bound as its parts, which is how the windows of ui/ find them.
    AppParts* parts = window_state<AppParts>(hwnd, msg, lparam, WM_CREATE);
    if (!parts) return DefWindowProcW(hwnd, msg, wparam, lparam);
    App& app = static_cast<App&>(*parts);
    // A new taskbar (Explorer restarted) knows no icons. Its message has a
    // registered number, so it cannot be a case of the table.
    if (msg == taskbar_created_message()) {
        app.tray->add(hwnd);
        return 0;
    }

    switch (msg) {
    case WM_CREATE: return on_create(hwnd, app);
    case WM_DESTROY: on_destroy(hwnd, app); return 0;
    case WM_ENDSESSION: on_end_session(hwnd, app, wparam, lparam); return 0;
    case WM_MOVE: on_move(hwnd); return 0;
    case WM_SHOWWINDOW: app.main_window->on_show_window(wparam != FALSE); break;
    case WM_WINDOWPOSCHANGING:
        app.main_window->on_window_pos_changing(reinterpret_cast<const WINDOWPOS*>(lparam));
        break;
    case WM_WINDOWPOSCHANGED: return on_window_pos_changed(hwnd, app, wparam, lparam);
    case WM_SIZE: on_size(hwnd, app); return 0;
    case WM_ACTIVATE: return on_activate(hwnd, app, wparam, lparam);
    case WM_CLOSE: on_close(hwnd, app); return 0;
    case WM_ERASEBKGND: return on_erase_background(app, reinterpret_cast<HDC>(wparam));
    case WM_GETMINMAXINFO: on_get_min_max_info(hwnd, app, reinterpret_cast<MINMAXINFO*>(lparam)); return 0;
    case WM_DRAWITEM: return on_draw_item(hwnd, app, wparam, lparam);
    case WM_MEASUREITEM: return on_measure_item(hwnd, app, wparam, lparam);
    case WM_CONTEXTMENU: on_context_menu(app, reinterpret_cast<HWND>(wparam), lparam); return 0;
    case WM_NCACTIVATE: apply_dark_title_bar(hwnd, app.settings->dark_mode); break;
    case WM_COMMAND: on_command(hwnd, app, wparam); return 0;
    case WM_TIMER: return on_timer(hwnd, app, wparam, lparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return on_ctlcolor_field(app, wparam);
    case WM_CTLCOLORBTN: return on_ctlcolor_button(hwnd, app, wparam, lparam);
    case WM_CTLCOLORSTATIC: return on_ctlcolor_static(app, wparam, lparam);
    case WM_MOUSEWHEEL: return on_mouse_wheel(hwnd, app, wparam, lparam);
    case WM_EXITSIZEMOVE: on_exit_size_move(hwnd, app); return 0;
    case WM_HOTKEY: on_hotkey(hwnd, app, wparam); return 0;
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE: reread_time_zone(); break;
    case kMsgTray: on_tray(hwnd, app, lparam); return 0;
    case kMsgShowMain: on_show_request(app); return 0;
    case kMsgLinkTitle: on_link_title(app, wparam, lparam); return 0;
    case kMsgPasteFailed: app.tell_paste_failed(); return 0;
    case kMsgPasteDone: app.paste_finished(static_cast<unsigned>(wparam)); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}
