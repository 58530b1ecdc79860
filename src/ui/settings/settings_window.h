#pragma once
// The settings window "KorvaneSettings": a navigation list of seven pages on
// the left, the shown page's controls on the right and a Close button. Every
// control applies its change at once and the settings file is written after
// each change (settings_changes.cpp), so there is no OK or Apply step.
// App::open_settings makes the object on first use; closing the window
// destroys only the window, and opening it again builds it anew.

#include "services/handles.h"
#include "services/ids.h"
#include "ui/kit/brush_cache.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

struct AppParts;

inline constexpr int kSettingsPageCount = 7;

// Geometry shared by the page builders and the painting: the navigation
// panel's width, where page content starts and how wide it is.
inline constexpr int kSettingsNavWidth = 208;
inline constexpr int kSettingsContentInset = 28;
inline constexpr int kSettingsContentWidth = 500;

class SettingsWindow {
public:
    SettingsWindow() = default;
    ~SettingsWindow();
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    HWND window = nullptr;  // cleared when the window is destroyed
    HWND owner = nullptr;
    AppParts* app = nullptr;
    HWND nav = nullptr;
    std::vector<std::wstring> language_codes;  // behind the rows of the language combo box
    int page = 0;                              // the page shown, 0..6
    int content_left = kSettingsNavWidth;
    std::array<std::vector<HWND>, kSettingsPageCount> pages;
    ScopedFont text_font;
    ScopedFont section_font;
    ScopedFont title_font;
    ScopedFont glyph_font;
    std::vector<HWND> toggles;
    std::vector<HWND> fields;  // edits, combo boxes and spins
    std::vector<HWND> chips;   // hotkey fields
    std::vector<HWND> buttons;
    int hovered_nav_row = -1;
    bool controls_dark = false;        // the theme the controls were last given
    bool building = false;             // the controls are being made: their notifications are not changes
    std::vector<int> pending_numbers;  // number fields typed into and not applied yet
    BrushCache brushes;                // the WM_CTLCOLOR* answers, freed with the window

    // Builds the window when there is none, then centres, shows and focuses
    // it; false when the window cannot be created.
    bool open(HWND owner_window, AppParts* owner_app);

    bool dark() const;
    int content_x() const { return content_left + kSettingsContentInset; }
};

void create_settings_fonts(SettingsWindow& sw);
// Creates the navigation list and every page's controls, sizes the window,
// adds the Close button and shows the stored page (settings_pages.cpp).
void build_settings_pages(SettingsWindow& sw);
// Shows one page's controls and hides every other page's; ignored above 6.
void show_settings_page(SettingsWindow& sw, int page);
void apply_theme_to_controls(SettingsWindow& sw, bool dark);
// Destroys the window and opens it again (after a language change).
void rebuild_settings_window(SettingsWindow& sw);
// Centres a window on the work area of the monitor nearest to owner (or to
// the window itself when there is no owner); position only.
void center_on_monitor(HWND window, HWND owner);

LRESULT CALLBACK settings_wnd_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// The navigation list's hover tracking; ref_data is the SettingsWindow.
LRESULT CALLBACK nav_list_subclass_proc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                        DWORD_PTR ref_data);
