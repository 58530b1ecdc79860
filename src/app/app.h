#pragma once
// The application object: owns every long-lived part of the running program,
// starts it (init), runs its message loop (run) and takes it down (shutdown).
// Everything here lives on the one UI thread; worker threads get copies of
// what they need and answer with PostMessageW.

#include "screenshot/screenshot.h"
#include "services/focus.h"
#include "services/hotkey.h"
#include "services/ids.h"
#include "ui/app_parts.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct CaptureSink;
class StartupSteps;

struct MainHotkey : HotkeyPair {
    std::uint32_t id = kHotkeyOpenHistory;
};

// The parts (ui/app_parts.h) and what only the program itself holds.
class App : public AppParts {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    MainHotkey main_hotkey;
    std::uint32_t quick_menu_hotkey_id = kHotkeyQuickMenu;
    std::uint32_t slot_hotkey_base = kHotkeySlotBase;
    HotkeyPair plain_hotkey;
    HotkeyPair templates_hotkey;
    HotkeyPair shot_area_hotkey;
    HotkeyPair shot_window_hotkey;
    HotkeyPair shot_full_hotkey;

    bool backdrop_on = false;               // the system backdrop paints the window
    StartupSteps* startup_steps = nullptr;  // times the start when the start-up benchmark asks

    // Builds every part and creates the main window; false only when the
    // window cannot be created.
    bool init(HINSTANCE module);
    // The message loop; returns WM_QUIT's exit code.
    int run();
    // Deletes the owned parts, each once; safe to call again.
    void shutdown();

    // What the clipboard watcher stores into and tells: the database, the
    // settings, the capture category and on_copied.
    CaptureSink capture_sink();
    void on_copied(const std::wstring& text);
    // Tells the user in tray balloons what the history database says must be
    // known about its file (a damaged file moved aside, copies not saved).
    void tell_storage_notices();
    // What the start leaves until it has settled, the window answering
    // (timer kTimerStartRest): nothing the first window needs.
    void finish_start();
    void open_settings();
    void clear_history();
    void toggle_dark_mode();
    void show_quick_menu();
    // Takes the window in front as the paste target. From a hotkey that may
    // be the desktop; on the other roads (the tray, a second start from a
    // shortcut) the shell is in front only because the user clicked the
    // program's own icon, and the program used before stays the target.
    void remember_foreground(TargetRoad road = TargetRoad::Poll);
    void store_window_rect(HWND window);

    void register_hotkeys(HWND window);
    void unregister_hotkeys(HWND window);
    // Whether hotkey id (0..kHotkeyLastId) is registered now: a combination
    // without a key, or one another program holds, is not.
    bool hotkey_registered(int id) const;
    // The setters keep the previous combination (registered and stored) when
    // the new one cannot be registered, and then report false. An empty text
    // turns the hotkey off: unregistered and stored empty.
    bool set_main_hotkey(const std::wstring& text);
    bool set_plain_hotkey(const std::wstring& text);
    bool set_snippets_hotkey(const std::wstring& text);
    // kind: a ScreenshotMode.
    bool set_screenshot_hotkey(int kind, const std::wstring& text);
    // Frees every registered hotkey (true), or registers again those freed,
    // each with the combination it has now (false); either twice is harmless.
    // Answers the ids that could not be registered again.
    std::vector<int> set_hotkeys_paused(bool paused);

    // Pastes quick slot 1..9 into the paste target (app/quick_slot.cpp),
    // once the pastes before it have sent their keys.
    void on_quick_slot(int slot);
    // The screenshot tool (screenshot/screenshot.h).
    void take_screenshot(ScreenshotMode mode);

private:
    // The paste of on_quick_slot when its turn comes; true when a worker
    // sends the keys, once the user has let go of key and the modifiers.
    bool paste_quick_slot(int slot, int key, unsigned paste);
    bool change_hotkey(int id, HotkeyPair& pair, std::wstring& stored_text, const std::wstring& text);
    // RegisterHotKey and UnregisterHotKey on the main window, remembered.
    bool register_pair(HWND window, int id, const HotkeyPair& pair);
    bool unregister_id(HWND window, int id);
    // The area screenshot's combination, or when it is taken the fallback,
    // stored in place of it and told in a balloon; false when neither works.
    bool register_area_shot(HWND window);
    // The fallback alone, stored when it registers; no balloon.
    bool register_area_fallback(HWND window);
    // The combination of hotkey id; no key for an id the program does not use.
    HotkeyPair hotkey_pair(int id) const;

    std::uint64_t registered_hotkeys = 0;  // bit n: hotkey id n
    std::uint64_t paused_hotkeys = 0;      // freed by set_hotkeys_paused, to be registered again
};
