#pragma once
// The settings window "KorvaneSettings", created on first use by
// App::open_settings; closing it destroys only the window.
//
// For now it builds no window: open reports failure and nothing is shown.

#include <windows.h>

class App;

class SettingsWindow {
public:
    HWND window = nullptr;  // cleared when the window is destroyed
    HWND owner = nullptr;
    App* app = nullptr;

    // Builds the window when there is none, then centres, shows and focuses
    // it; false when the window cannot be created.
    bool open(HWND owner_window, App* owner_app);
};
