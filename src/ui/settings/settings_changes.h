#pragma once
// What the settings window does when one of its controls changes: the
// change goes to Settings and to the part of the program it concerns, and
// the settings file is written at once.

#include <windows.h>

class SettingsWindow;

// WM_COMMAND of the settings window: control id, notification code, control.
void on_settings_command(SettingsWindow& sw, int id, int code, HWND control);

// Applies a number typed into a retention field that has not been applied
// yet (it is applied on Enter or when the field loses the focus); called
// when the window goes away.
void commit_settings_fields(SettingsWindow& sw);

// The open window shows the values in effect after a change made elsewhere
// (the main window, its menus): every switch its setting, and every control
// the theme. Nothing when the window is not open.
void follow_live_settings(SettingsWindow& sw);
