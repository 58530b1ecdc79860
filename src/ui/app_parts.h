#pragma once
// The long-lived parts of the running program, as the windows of ui/ and the
// screenshot tool reach them. The App (app/app.h) is built on this record: it
// creates and deletes the parts, holds the hotkeys and runs the message loop,
// and the main window's state is the App seen as its parts. ui/ and
// screenshot/ never include app/app.h: the program stands above its windows.

#include "services/keystrokes.h"
#include "services/paste_queue.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class HistoryDb;
struct Settings;
class MainWindow;
class TrayIcon;
class QuickMenu;
class ClipboardWatcher;
class SettingsWindow;

struct AppParts {
    AppParts() = default;
    AppParts(const AppParts&) = delete;
    AppParts& operator=(const AppParts&) = delete;

    // Built by App::init before the main window exists and deleted by
    // App::shutdown after it is gone: while the window lives, every part but
    // the settings window is there, and its procedure relies on that.
    HINSTANCE instance = nullptr;
    HistoryDb* db = nullptr;
    Settings* settings = nullptr;
    MainWindow* main_window = nullptr;  // its hwnd is "the main window"
    TrayIcon* tray = nullptr;
    QuickMenu* quick_menu = nullptr;
    ClipboardWatcher* watcher = nullptr;
    SettingsWindow* settings_window = nullptr;  // created on first use

    bool screenshot_busy = false;                  // the screenshot overlay is running
    std::optional<std::int64_t> capture_category;  // new captures are filed here
    HWND paste_target = nullptr;                   // where pastes go
    PasteQueue pastes;                             // one paste after another
    KeyWatch paste_keys;                           // the keys of the hotkeys pressed, till they go up

    // Moves a configurable hotkey (kHotkeyOpenHistory, kHotkeyPlainPaste,
    // kHotkeyTemplates, kHotkeyShotArea .. kHotkeyShotFull) to the combination
    // in text, as App::set_main_hotkey and its siblings do; the App, which
    // holds the hotkeys, fills it in.
    std::function<bool(int hotkey_id, const std::wstring& text)> set_hotkey;
    // While a hotkey field records, the program's hotkeys are freed (true), so
    // that the keys pressed reach the field: a registered combination never
    // reaches a window. false registers again what was freed, and answers the
    // hotkey ids that another program took meanwhile. Filled by the App.
    std::function<std::vector<int>(bool paused)> pause_hotkeys;

    // The main window's handle, or null before it exists.
    HWND main_hwnd() const;
    // Every paste goes through here (PasteQueue::submit at this moment):
    // start writes the clipboard and starts the worker that sends the keys,
    // with the paste's number. A hotkey's press names the hotkey and its key
    // (what the worker waits for besides the modifiers), and is called while
    // its WM_HOTKEY is handled: the message's time is the press's. The key
    // is watched (paste_keys) from here until it is seen up.
    bool queue_paste(PastePress press, PasteQueue::Start start);
    // A worker's keys are sent (kMsgPasteDone, with its paste's number): the
    // next paste may write.
    void paste_finished(unsigned paste);
    // Before any write of the program's own to the clipboard: a copy the user
    // made since the watcher's last look is taken now, or the write would
    // replace it unseen. A capture refills the main window's lists: call it
    // before taking pointers into them.
    void catch_up_clipboard();
    // The paste tone, when the settings ask for it.
    void play_paste_tone();
    // A paste whose text could not be put on the clipboard sent no keys
    // (they would have pasted what was there before); a tray balloon says so.
    void tell_paste_failed();
    // A copy that found the clipboard taken left it as it was; a balloon says so.
    void tell_copy_failed();
    void set_dark_mode(bool on);
    // An open settings window shows the values in effect: the theme change
    // and every road that changes a setting it shows outside it end here.
    void sync_settings_window();
};

// The parts of the program whose main window ("KorvaneMain") is window; null
// for any other window. The boxes that open over the main window take their
// theme and sizes from here.
AppParts* app_parts_of(HWND window);
