// The screenshot command's Save dialog.
#include "screenshot/save_dialog.h"

#include <commdlg.h>

namespace {

ScreenshotSaveDialog g_dialog = system_save_dialog;

}  // namespace

bool system_save_dialog(HWND owner, const std::wstring& folder, std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, MAX_PATH - 1);
    static const wchar_t kFilter[] = L"PNG (*.png)\0*.png\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = L"png";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&ofn)) return false;
    path = buffer;
    return true;
}

ScreenshotSaveDialog screenshot_save_dialog() { return g_dialog; }

ScreenshotSaveDialog set_screenshot_save_dialog(ScreenshotSaveDialog dialog) {
    const ScreenshotSaveDialog before = g_dialog;
    g_dialog = dialog ? dialog : system_save_dialog;
    return before;
}
