// The screenshot command's Save dialog.
#include "screenshot/save_dialog.h"

namespace {

ScreenshotSaveDialog g_dialog = system_save_dialog;

}  // namespace

FileDialogAnswer system_save_dialog(HWND owner, const std::wstring& folder, const std::wstring& name) {
    return ask_for_file({.owner = owner,
                         .save = true,
                         .filter = L"PNG (*.png)\0*.png\0",
                         .extension = L"png",
                         .folder = folder,
                         .name = name});
}

ScreenshotSaveDialog screenshot_save_dialog() { return g_dialog; }

ScreenshotSaveDialog set_screenshot_save_dialog(ScreenshotSaveDialog dialog) {
    const ScreenshotSaveDialog before = g_dialog;
    g_dialog = dialog ? dialog : system_save_dialog;
    return before;
}
