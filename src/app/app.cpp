#include "app/app.h"

#include "app/main_window_proc.h"
#include "app/startup_steps.h"
#include "capture/clipboard_watcher.h"
#include "config/file_locations.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/bitmap.h"
#include "services/focus.h"
#include "services/text_util.h"
#include "services/tray_icon.h"
#include "storage/history_db.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_decoration.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/window_on_screen.h"
#include "ui/menu/quick_menu.h"
#include "ui/settings/settings_window.h"

#include <shlwapi.h>

#include <vector>

namespace {

template <typename T>
void delete_part(T*& part) {
    delete part;
    part = nullptr;
}

void register_main_window_class(HINSTANCE instance) {
    HICON icon = load_app_icon(instance, SM_CXICON, SM_CYICON);
    if (!icon) icon = make_app_icon(32);
    HICON small_icon = load_app_icon(instance, SM_CXSMICON, SM_CYSMICON);
    // A failed registration shows up as a failed window creation.
    register_window_class({.instance = instance,
                           .name = kMainWindowClass,
                           .procedure = MainWndProc,
                           .icon = icon,
                           .small_icon = small_icon});
}

}  // namespace

App::~App() { shutdown(); }

bool App::init(HINSTANCE module) {
    instance = module;
    capture_category.reset();

    settings = new Settings();
    Settings::load(*settings, ini_path());
    mark_step(startup_steps, "settings file");
    set_language(settings->language);
    mark_step(startup_steps, "language");

    // A database that cannot be opened does not stop start-up: the program
    // still runs, its operations simply find nothing.
    db = new HistoryDb(db_path());
    mark_step(startup_steps, "history database");
    watcher = new ClipboardWatcher();

    parse_hotkey(settings->hotkey, main_hotkey.modifiers, main_hotkey.vk);
    plain_hotkey = parse_hotkey(settings->plain_hotkey);
    templates_hotkey = parse_hotkey(settings->snippets_hotkey);
    shot_area_hotkey = parse_hotkey(settings->screenshot_hotkey);
    shot_window_hotkey = parse_hotkey(settings->screenshot_window_hotkey);
    shot_full_hotkey = parse_hotkey(settings->screenshot_full_hotkey);

    main_window = new MainWindow();
    tray = new TrayIcon();
    quick_menu = new QuickMenu();
    mark_step(startup_steps, "hotkey texts, parts");

    register_main_window_class(instance);
    mark_step(startup_steps, "window class");
    const std::vector<ScreenRect> work_areas = monitor_work_areas();
    const WindowPlacement place =
        initial_window_placement(settings->window_x, settings->window_y, settings->window_w, settings->window_h,
                                 title_strip_height(), [&work_areas](int x, int y, int width, int height) {
                                     return meets_some_work_area(ScreenRect{x, y, x + width, y + height}, work_areas);
                                 });
    HWND hwnd = CreateWindowExW(
        settings->always_on_top ? WS_EX_TOPMOST : 0, kMainWindowClass, tr(L"title.main").c_str(), WS_OVERLAPPEDWINDOW,
        place.system_position ? CW_USEDEFAULT : place.x, place.system_position ? CW_USEDEFAULT : place.y, place.width,
        place.height, nullptr, nullptr, instance, static_cast<AppParts*>(this));
    mark_step(startup_steps, "main window created");
    if (!hwnd) return false;
    // WM_CREATE has bound the contents object; keep the handle even if it did not.
    if (!main_window->hwnd) main_window->hwnd = hwnd;

    apply_round_corners(hwnd);
    backdrop_on = apply_system_backdrop(hwnd);
    apply_dark_title_bar(hwnd, settings->dark_mode);
    SetWindowDisplayAffinity(hwnd, WDA_EXCLUDEFROMCAPTURE);
    mark_step(startup_steps, "window decoration");
    SetTimer(hwnd, kTimerPoll, 500, nullptr);
    tell_storage_notices();  // the tray icon exists since WM_CREATE

    if (settings->start_in_tray) return true;

    ShowWindow(hwnd, SW_SHOW);
    mark_step(startup_steps, "window shown");
    apply_dark_title_bar(hwnd, settings->dark_mode);
    POINT cursor;
    if (place.system_position && GetCursorPos(&cursor)) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        RECT frame{};
        GetWindowRect(hwnd, &frame);
        ScreenRect work{cursor.x - 100000, cursor.y - 100000, cursor.x + 100000, cursor.y + 100000};
        if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info))
            work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        int x = 0, y = 0;
        near_cursor_position(cursor.x, cursor.y, frame.right - frame.left, frame.bottom - frame.top, work, x, y);
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    mark_step(startup_steps, "placed near the cursor");
    return true;
}

int App::run() {
    mark_step(startup_steps, "to the message loop");
    MSG msg{};
    for (;;) {
        // The start is over once nothing waits to be done: a shown window is painted.
        if (startup_steps && GetQueueStatus(QS_ALLINPUT) == 0) {
            startup_steps->finish("until idle");
            startup_steps = nullptr;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        HWND dialog = settings_window ? settings_window->window : nullptr;
        if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        if (main_window && main_window->take_shortcut_key(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void App::shutdown() {
    delete_part(quick_menu);
    delete_part(settings_window);
    delete_part(tray);
    delete_part(main_window);
    delete_part(watcher);
    delete_part(db);
    delete_part(settings);
}

CaptureSink App::capture_sink() {
    return {db, settings, &capture_category, [this](const std::wstring& text) { on_copied(text); }};
}

void App::on_copied(const std::wstring& text) {
    if (main_window) main_window->refresh_list();
    if (tray) tray->show_balloon_now(tr(L"tray.copied"), ellipsize(text, 60));
}

void App::finish_start() { init_common_controls(); }

// Each notice is taken only once the tray can show it.
void App::tell_storage_notices() {
    if (!db || !tray || !tray->added) return;
    while (const std::optional<StorageNotice> notice = db->take_notice()) {
        if (notice->kind == StorageNotice::Kind::MovedAside)
            // Short lines, the file's name on one of its own (it lies beside
            // the history file): balloons that do not wrap still show it whole.
            tray->show_balloon(tr(L"tray.history_title"), tr(L"tray.history_moved_aside") + L"\n" +
                                                              tr(L"tray.history_kept_as") + L"\n" +
                                                              PathFindFileNameW(notice->moved_to.c_str()));
        else tray->show_balloon(tr(L"tray.history_title"), tr(L"tray.history_not_saved"));
    }
}

void App::take_screenshot(ScreenshotMode mode) { run_screenshot(*this, mode); }

void App::open_settings() {
    if (!settings_window) {
        settings_window = new SettingsWindow();
    } else if (settings_window->window && IsWindow(settings_window->window)) {
        keep_on_work_area(settings_window->window);
        ShowWindow(settings_window->window, SW_SHOW);
        SetForegroundWindow(settings_window->window);
        return;
    }
    if (!settings_window->open(main_hwnd(), this) || !settings_window->window) return;
    ShowWindow(settings_window->window, SW_SHOW);
    SetForegroundWindow(settings_window->window);
}

void App::clear_history() {
    HWND hwnd = main_hwnd();
    if (MessageBoxW(hwnd, tr(L"confirm.clear_history").c_str(), tr(L"title.clear_history").c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (db) db->clear_history(true);
    if (main_window) {
        main_window->refresh_all();
        main_window->refresh_list();
    }
}

void App::toggle_dark_mode() { set_dark_mode(!(settings && settings->dark_mode)); }

// The quick menu's window is made when the menu is first asked for: it is
// hidden until then, and most starts never show it.
void App::show_quick_menu() {
    if (!quick_menu) return;
    if (!quick_menu->hwnd) quick_menu->create(instance, this);
    quick_menu->populate();
    quick_menu->show_at_cursor();
}

void App::remember_foreground(TargetRoad road) {
    HWND fg = GetForegroundWindow();
    if (!fg || !IsWindowVisible(fg)) return;
    if (road == TargetRoad::Hotkey ? is_hotkey_target(fg) : !is_own_or_shell_window(fg)) paste_target = fg;
}

void App::store_window_rect(HWND window) {
    if (!window || !settings) return;
    // The view is the user's whatever the window's state: a session may end
    // with the window minimised.
    if (main_window) {
        settings->last_view_filter = main_window->view_mode;
        settings->last_view_cat_id = main_window->view_category;
        settings->last_view_templates = main_window->templates_view;
    }
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    if (IsIconic(window) || IsZoomed(window)) return;
    settings->window_x = r.left;
    settings->window_y = r.top;
    settings->window_w = r.right - r.left;
    settings->window_h = r.bottom - r.top;
}
