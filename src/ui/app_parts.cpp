#include "ui/app_parts.h"

#include "capture/clipboard_watcher.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/clock.h"
#include "services/ids.h"
#include "services/keystrokes.h"
#include "services/sound.h"
#include "services/tray_icon.h"
#include "ui/kit/window_decoration.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"
#include "ui/settings/settings_changes.h"
#include "ui/settings/settings_window.h"

#include <cwchar>

HWND AppParts::main_hwnd() const { return main_window ? main_window->hwnd : nullptr; }

bool AppParts::queue_paste(PastePress press, PasteQueue::Start start) {
    press.key_down = key_is_down(press.key);
    const bool queued = pastes.submit(press, std::move(start), now_seconds());
    // The keys are seen up within a timer's step, between two presses of a
    // user tapping a slot's key twice.
    if (!pastes.held_keys().empty() && main_hwnd()) SetTimer(main_hwnd(), kTimerPasteKeys, USER_TIMER_MINIMUM, nullptr);
    return queued;
}

void AppParts::watch_paste_keys() {
    for (int key : pastes.held_keys())
        if (!key_is_down(key)) pastes.key_released(key);
    if (pastes.held_keys().empty() && main_hwnd()) KillTimer(main_hwnd(), kTimerPasteKeys);
}

void AppParts::paste_finished() { pastes.finished(now_seconds()); }

void AppParts::catch_up_clipboard() {
    if (watcher) watcher->catch_up();
}

void AppParts::play_paste_tone() {
    if (!settings || !settings->sound_on_paste) return;
    // The tone blocks this thread while it plays; the preview's low-level
    // mouse hook would hold every mouse event of the system meanwhile.
    if (main_window) main_window->hide_preview();
    play_sound(settings->sound_paste_id);
}

void AppParts::tell_paste_failed() {
    if (tray) tray->show_balloon(tr(L"tray.paste_title"), tr(L"tray.paste_failed"));
}

void AppParts::tell_copy_failed() {
    if (tray) tray->show_balloon(tr(L"tray.copy_title"), tr(L"tray.copy_failed"));
}

void AppParts::set_dark_mode(bool on) {
    if (settings) settings->dark_mode = on;
    HWND hwnd = main_hwnd();
    if (main_window) main_window->apply_dark_mode(on);
    apply_round_corners(hwnd);
    apply_dark_title_bar(hwnd, on);
    if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
    sync_settings_window();
}

void AppParts::sync_settings_window() {
    if (settings_window) follow_live_settings(*settings_window);
}

// The main window's procedure binds its state as these parts (App::init
// hands them over), and no other window of that class exists.
AppParts* app_parts_of(HWND window) {
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || std::wcscmp(name, kMainWindowClass) != 0) return nullptr;
    return state_of<AppParts>(window);
}
