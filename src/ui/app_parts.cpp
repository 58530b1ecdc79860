#include "ui/app_parts.h"

#include "capture/clipboard_watcher.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/clock.h"
#include "services/ids.h"
#include "services/paste_threads.h"
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
    // The paste brings its own program forward.
    if (main_window) main_window->end_keyboard_hand_back();
    if (press.hotkey != 0) {
        press.time = static_cast<std::uint32_t>(GetMessageTime());
        // Watched before the paste's start holds this thread: a second tap
        // meanwhile is told from a repeat.
        paste_keys.watch(press.key);
    }
    for (const KeySeen& seen : paste_keys.take_seen()) pastes.key_seen(seen);
    const bool queued = pastes.submit(
        press,
        [start = std::move(start)](unsigned paste) {
            set_paste_turn(paste);
            return start(paste);
        },
        now_seconds());
    set_paste_turn(pastes.current());
    return queued;
}

void AppParts::paste_finished(unsigned paste) {
    pastes.finished(paste, now_seconds());
    set_paste_turn(pastes.current());
}

void AppParts::catch_up_clipboard() {
    if (watcher) watcher->catch_up();
}

void AppParts::play_paste_tone() {
    if (!settings || !settings->sound_on_paste) return;
    // The paste leaves the list for another program: the preview goes, and
    // its low-level mouse hook with it.
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
