#pragma once
// The application object: owns every long-lived part of the running program,
// starts it (init), runs its message loop (run) and takes it down (shutdown).
// Everything here lives on the one UI thread; worker threads get copies of
// what they need and answer with PostMessageW.

#include "services/hotkey.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

class HistoryDb;
struct Settings;
class MainWindow;
class TrayIcon;
class QuickMenu;
class ClipboardWatcher;
class SettingsWindow;

// Messages between the parts of the program (and from a second instance).
inline constexpr UINT kMsgTray = WM_APP + 1;        // lParam: the mouse message
inline constexpr UINT kMsgShowMain = WM_APP + 4;    // show, restore and focus the main window
inline constexpr UINT kMsgLinkTitle = WM_APP + 10;  // wParam: history id; lParam: see app/title_handoff.h

// Global hotkey ids, all registered on the main window.
inline constexpr int kHotkeyOpenHistory = 10;
inline constexpr int kHotkeyQuickMenu = 11;
inline constexpr int kHotkeyPlainPaste = 12;
inline constexpr int kHotkeyTemplates = 13;
inline constexpr int kHotkeyShotArea = 14;
inline constexpr int kHotkeyShotWindow = 15;
inline constexpr int kHotkeyShotFull = 16;
inline constexpr int kHotkeySlotBase = 20;     // quick slots 1..9: ids 20..28
inline constexpr int kHotkeyLastId = 49;       // ids 0..49 are freed at exit

// The area-screenshot combination used when the configured one is taken.
inline constexpr wchar_t kScreenshotFallbackHotkey[] = L"ctrl+shift+alt+p";

// Main window timers.
inline constexpr UINT_PTR kTimerPoll = 1;       // 500 ms: paste target and clipboard
inline constexpr UINT_PTR kTimerPurge = 2;      // hourly: expired history and old trash
inline constexpr UINT_PTR kTimerSaveRect = 3;   // 500 ms after the last move

inline constexpr wchar_t kMainWindowClass[] = L"KorvaneMain";
inline constexpr wchar_t kSingleInstanceMutex[] = L"KorvaneSingleInstanceMutex";

struct MainHotkey : HotkeyPair {
    std::uint32_t id = kHotkeyOpenHistory;
};

class App {
public:
    App() = default;
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HINSTANCE instance = nullptr;
    HistoryDb* db = nullptr;
    Settings* settings = nullptr;
    MainWindow* main_window = nullptr;  // its hwnd is "the main window"
    TrayIcon* tray = nullptr;
    QuickMenu* quick_menu = nullptr;
    ClipboardWatcher* watcher = nullptr;
    SettingsWindow* settings_window = nullptr;  // created on first use

    MainHotkey main_hotkey;
    std::uint32_t quick_menu_hotkey_id = kHotkeyQuickMenu;
    std::uint32_t slot_hotkey_base = kHotkeySlotBase;
    HotkeyPair plain_hotkey;
    HotkeyPair templates_hotkey;
    HotkeyPair shot_area_hotkey;
    HotkeyPair shot_window_hotkey;
    HotkeyPair shot_full_hotkey;

    bool screenshot_busy = false;               // the screenshot overlay is running
    std::optional<std::int64_t> capture_category;  // new captures are filed here
    HWND paste_target = nullptr;                // where pastes go
    bool backdrop_on = false;                   // the system backdrop paints the window

    // Builds every part and creates the main window; false only when the
    // window cannot be created.
    bool init(HINSTANCE module);
    // The message loop; returns WM_QUIT's exit code.
    int run();
    // Deletes the owned parts, each once; safe to call again.
    void shutdown();

    // The main window's handle, or null before it exists.
    HWND main_hwnd() const;

    void on_copied(const std::wstring& text);
    void open_settings();
    void clear_history();
    void set_dark_mode(bool on);
    void toggle_dark_mode();
    void show_quick_menu();
    void remember_foreground();
    void store_window_rect(HWND window);

    void register_hotkeys(HWND window);
    void unregister_hotkeys(HWND window);
    // The setters keep the previous combination (registered and stored) when
    // the new one cannot be registered, and then report false.
    bool set_main_hotkey(const std::wstring& text);
    bool set_plain_hotkey(const std::wstring& text);
    bool set_snippets_hotkey(const std::wstring& text);
    bool set_screenshot_hotkey(int kind, const std::wstring& text);

    // Pastes quick slot 1..9 into the paste target (app/quick_slot.cpp).
    void on_quick_slot(int slot);
    // The screenshot tool's entry: mode 0 area, 1 window, 2 full screen.
    void take_screenshot(int mode);

private:
    bool change_hotkey(int id, HotkeyPair& pair, std::wstring& stored_text, const std::wstring& text);
};

// The running application, published by App::init before any window exists.
extern App* g_app;

// Window decoration through DWM, looked up at run time; each does nothing
// where the system lacks it.
void apply_round_corners(HWND window);
void apply_dark_title_bar(HWND window, bool dark);
// The system backdrop (Windows 11 22H2 and later); true when it was applied.
bool apply_system_backdrop(HWND window);
