#pragma once
// The Save dialog of the screenshot command, behind a seam so that tests can
// answer it themselves.

#include <windows.h>

#include <string>

// path comes in with the proposed file name and goes out with the file the
// user chose; false when the user cancelled. folder is where the dialog
// opens (empty: its own choice).
using ScreenshotSaveDialog = bool (*)(HWND owner, const std::wstring& folder, std::wstring& path);

// The system's GetSaveFileNameW, for PNG files.
bool system_save_dialog(HWND owner, const std::wstring& folder, std::wstring& path);

// The dialog the command shows.
ScreenshotSaveDialog screenshot_save_dialog();
// Puts another dialog in place; null brings back the system's. Returns the
// one that was in place.
ScreenshotSaveDialog set_screenshot_save_dialog(ScreenshotSaveDialog dialog);
