#pragma once
// The Save dialog of the screenshot command, behind a seam so that tests can
// answer it themselves.

#include "ui/dialogs/file_dialog.h"

#include <windows.h>

#include <string>

// name is the file name proposed; folder is where the dialog opens (empty:
// its own choice).
using ScreenshotSaveDialog = FileDialogAnswer (*)(HWND owner, const std::wstring& folder, const std::wstring& name);

// The system's Save dialog, for PNG files.
FileDialogAnswer system_save_dialog(HWND owner, const std::wstring& folder, const std::wstring& name);

// The dialog the command shows.
ScreenshotSaveDialog screenshot_save_dialog();
// Puts another dialog in place; null brings back the system's. Returns the
// one that was in place.
ScreenshotSaveDialog set_screenshot_save_dialog(ScreenshotSaveDialog dialog);
