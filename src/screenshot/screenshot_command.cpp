// The screenshot command, from the hotkey to the history.
#include "screenshot/screenshot.h"

#include "capture/clipboard_watcher.h"
#include "config/language.h"
#include "config/settings.h"
#include "screenshot/capture_overlay.h"
#include "screenshot/screen_capture.h"
#include "screenshot/screenshot_rules.h"
#include "services/clipboard.h"
#include "services/file_io.h"
#include "services/focus.h"
#include "services/ids.h"
#include "services/image.h"
#include "services/image_file.h"
#include "services/keystrokes.h"
#include "services/path_inside.h"
#include "services/scope_exit.h"
#include "services/sound.h"
#include "services/tray_icon.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/main_window/main_window.h"

#include <bitset>
#include <new>
#include <utility>

namespace {

std::wstring own_program_name() {
    wchar_t module[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"Korvane.exe";
    return program_file_name(module);
}

// False only when the picture could not be put on the clipboard; a PNG of
// our own that does not decode is passed over quietly.
bool copy_picture(ClipboardWatcher* watcher, const Bytes& png) {
    Bytes dib;
    if (!png_to_dib(png, dib)) return true;
    // A copy not yet seen is taken before the picture replaces it; the
    // picture is noted, so the next poll knows it as the program's own.
    if (watcher) {
        watcher->catch_up();
        watcher->note_own_image(dib);
    }
    return put_entry_on_clipboard(L"", {}, {}, dib);
}

// Steps after the overlay: the file, the history entry, the clipboard and
// the reports.
void store_screenshot(AppParts& app, const CaptureResult& shot) {
    Settings& settings = *app.settings;
    settings.screenshot_color = static_cast<int>(shot.color);
    settings.screenshot_thickness = shot.thickness;
    const std::wstring& folder = settings.screenshot_folder;

    std::wstring saved_path;
    std::wstring failed_path;  // the chosen file could not be written
    FileDialogAnswer dialog;
    if (shot.action == CaptureAction::Save) {
        dialog = ask_for_file({.owner = app.main_hwnd(),
                               .save = true,
                               .filter = L"PNG (*.png)\0*.png\0",
                               .extension = L"png",
                               .folder = folder,
                               .name = screenshot_file_name()});
        // The dialog has asked before a file is replaced.
        if (dialog.outcome == FileDialogAnswer::Outcome::Chosen) {
            if (write_file_atomic(dialog.path, shot.png)) saved_path = dialog.path;
            else failed_path = dialog.path;
        }
    }

    std::wstring image_path;
    bool autosave_failed = false;
    switch (image_path_source(!saved_path.empty() && is_path_inside(saved_path, folder), settings.screenshot_autosave,
                              folder)) {
    case ImagePathSource::SavedFile: image_path = saved_path; break;
    case ImagePathSource::Autosave:
        if (!save_image_file(folder, kScreenshotBase, shot.png, image_path)) {
            image_path.clear();
            autosave_failed = true;
        }
        break;
    case ImagePathSource::None: break;
    }

    // The file goes in with the row: an older entry that the cap removes may
    // record the same name, and its file is the one just written.
    const std::int64_t id = app.db ? app.db->add_entry(L"", {}, {}, shot.png, own_program_name(), true, true,
                                                       app.capture_category, L"", L"", false, image_path)
                                   : 0;

    const bool copy_failed =
        copies_to_clipboard(shot.action, settings.screenshot_copy_to_clipboard) && !copy_picture(app.watcher, shot.png);

    // A file or a copy the user asked for and did not get is never passed
    // over in silence, whether chosen in the dialog or written by autosave.
    std::wstring missing;
    auto tell = [&missing](const std::wstring& line) { missing += (missing.empty() ? L"" : L"\n") + line; };
    if (dialog.outcome == FileDialogAnswer::Outcome::Failed) tell(file_dialog_failure(dialog.error));
    if (!failed_path.empty()) tell(tr_format(L"screenshot.save_failed", failed_path));
    if (autosave_failed) tell(tr_format(L"screenshot.autosave_failed", folder));
    if (copy_failed) tell(tr(L"screenshot.copy_failed"));

    if (id != 0) {
        app.main_window->refresh_list();
        app.main_window->select_entry(id);
        if (app.tray && missing.empty())
            app.tray->show_balloon_now(tr(L"tray.screenshot_added"), tr(L"screenshot.saved_to_images"));
        if (settings.sound_on_copy) play_sound(settings.sound_copy_id);
    }
    // The balloon says whether the history still has the picture.
    if (app.tray && !missing.empty())
        app.tray->show_balloon(id != 0 ? tr(L"tray.screenshot_added") : tr(L"tray.screenshot"), missing);
}

void tell_out_of_memory(AppParts& app) {
    if (app.tray) app.tray->show_balloon(tr(L"tray.screenshot"), tr(L"screenshot.out_of_memory"));
}

// The desktop may move the keyboard once more a moment after the shot has
// ended: the window manager activates the main window shown again as it is
// mapped, or the window below the main window its hiding made next in line.
// So the hand-back looks again, a few times, until that has come and gone.
// It undoes only what the desktop does by itself: what the user does once
// the shot has ended is the user's choice, and ends the looks. A key or a
// mouse button pressed anywhere (low-level hooks see them: a switch by keys
// or a click into another program reaches no window of this program), the
// main window or a paste asked for (MainWindow::end_keyboard_hand_back) are
// such choices, and so is any other window that comes to the front: only
// the window in front when the shot ends, the main window and no window at
// all can be the desktop's doing.
constexpr UINT kHandBackTickMs = 100;
constexpr int kHandBackChecks = 6;
struct HandBack {
    HWND window = nullptr;    // in front when the shot began
    HWND desktops = nullptr;  // in front when it ended
    MainWindow* main = nullptr;
    int checks_left = 0;
    ShotInputWatch input;
    bool users_choice = false;  // a press seen since the shot ended
};
HandBack g_hand_back;  // the UI thread's

void bring_to_front(HWND window) {
    if (window && GetForegroundWindow() != window && IsWindowVisible(window) && !IsIconic(window))
        force_foreground(window);
}

void CALLBACK hand_back_tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND front = GetForegroundWindow();
    const bool desktops_doing = !front || front == g_hand_back.desktops || front == g_hand_back.main->hwnd;
    if (g_hand_back.users_choice || (front != g_hand_back.window && !desktops_doing))
        return g_hand_back.main->end_keyboard_hand_back();
    bring_to_front(g_hand_back.window);
    if (--g_hand_back.checks_left <= 0) g_hand_back.main->end_keyboard_hand_back();
}

// A hook is called on every input event of the desktop and holds it up
// while it runs: it only notes a choice, which the next look acts on.
void note_input(int code, WPARAM message, unsigned key) {
    if (code == HC_ACTION && g_hand_back.input.is_choice(static_cast<unsigned>(message), key))
        g_hand_back.users_choice = true;
}

LRESULT CALLBACK hand_back_key_hook(int code, WPARAM message, LPARAM event) {
    note_input(code, message, reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode);
    return CallNextHookEx(nullptr, code, message, event);
}

LRESULT CALLBACK hand_back_mouse_hook(int code, WPARAM message, LPARAM event) {
    note_input(code, message, 0);
    return CallNextHookEx(nullptr, code, message, event);
}

std::bitset<256> keys_down() {
    std::bitset<256> down;
    for (int vk = 1; vk < static_cast<int>(down.size()); ++vk) down[vk] = key_is_down(vk);
    return down;
}

// The timer and the hooks live on the main window: they end with it.
void hand_keyboard_back(MainWindow& main, HWND window) {
    g_hand_back = {window, GetForegroundWindow(), &main, kHandBackChecks, ShotInputWatch(keys_down())};
    bring_to_front(window);
    SetTimer(main.hwnd, kTimerKeyboardBack, kHandBackTickMs, hand_back_tick);
    const HINSTANCE module = GetModuleHandleW(nullptr);
    main.hand_back_keys.reset(SetWindowsHookExW(WH_KEYBOARD_LL, hand_back_key_hook, module, 0));
    main.hand_back_mouse.reset(SetWindowsHookExW(WH_MOUSE_LL, hand_back_mouse_hook, module, 0));
}

enum class Taken { Picture, CaptureFailed };

// Capture and overlay, under per-monitor DPI awareness. The picture moves
// into the overlay, and both are gone when this returns (or throws).
Taken take_and_edit(AppParts& app, ScreenshotMode mode, CaptureResult& shot) {
    DpiAwarenessScope per_monitor;
    CapturedImage picture = screen_capturer()();
    if (!picture.ok) return Taken::CaptureFailed;
    const RECT fg = mode == kShotWindow ? foreground_window_rect() : RECT{};
    const auto first = first_selection(mode, {fg.left, fg.top, fg.right, fg.bottom}, picture.width, picture.height,
                                       picture.left, picture.top);
    const Settings& s = *app.settings;
    CaptureOverlay overlay;
    shot = overlay.run(app.instance, std::move(picture), s.dark_mode, s.screenshot_editor_enabled, first,
                       static_cast<COLORREF>(s.screenshot_color), s.screenshot_thickness);
    return Taken::Picture;
}

}  // namespace

void run_screenshot(AppParts& app, ScreenshotMode mode) {
    if (app.screenshot_busy || !app.main_window || !app.main_window->hwnd || !app.settings) return;
    app.screenshot_busy = true;
    MainWindow& main_window = *app.main_window;
    HWND main = main_window.hwnd;
    // What the user types next, the Ctrl+V of the picture first, belongs to
    // the window they took it from, this program's own included: the shot
    // moves the keyboard elsewhere, and it goes back, on every way out.
    // An earlier shot's hand-back is over.
    main_window.end_keyboard_hand_back();
    const HWND was_in_front = GetForegroundWindow();
    ScopeExit keyboard_back([&main_window, was_in_front] { hand_keyboard_back(main_window, was_in_front); });
    bool hid_main = false;
    if (IsWindowVisible(main) && !IsIconic(main)) {
        ShowWindow(main, SW_HIDE);
        hid_main = true;
        // The window must be gone from the screen before the picture is taken.
        flush_and_wait();
    }

    CaptureResult shot;
    Taken taken = Taken::CaptureFailed;
    bool out_of_memory = false;
    // A large virtual screen is held more than once on the way; running out
    // must end this screenshot, not the program, and must not leave the
    // flag set that turns every later screenshot away.
    try {
        taken = take_and_edit(app, mode, shot);
    } catch (const std::bad_alloc&) {
        out_of_memory = true;
    }

    app.screenshot_busy = false;
    // Back where it stood, behind the program in front.
    if (hid_main) ShowWindow(main, SW_SHOWNA);
    if (out_of_memory) return tell_out_of_memory(app);
    if (taken == Taken::CaptureFailed) {
        if (app.tray) app.tray->show_balloon(tr(L"tray.screenshot"), tr(L"screenshot.capture_failed"));
        return;
    }
    if (!shot.ok) return;
    try {
        store_screenshot(app, shot);
    } catch (const std::bad_alloc&) {
        tell_out_of_memory(app);
    }
}
