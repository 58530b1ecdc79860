// Screenshot command rules.
#include "screenshot/screenshot_rules.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

std::optional<PixelRect> first_selection(ScreenshotMode mode, const EdgeRect& window, std::int32_t width,
                                         std::int32_t height, std::int32_t left, std::int32_t top) {
    if (mode == kShotFullScreen) return PixelRect{0, 0, width, height};
    if (mode != kShotWindow) return std::nullopt;
    if (window.left >= window.right || window.top >= window.bottom) return std::nullopt;
    // Off every screen (where Windows parks minimized windows, for one):
    // moving it inside would select a part of the screen it is not on.
    if (window.right <= left || window.left >= std::int64_t(left) + width || window.bottom <= top ||
        window.top >= std::int64_t(top) + height)
        return std::nullopt;
    const std::int64_t w = std::min<std::int64_t>(std::int64_t(window.right) - window.left, width);
    const std::int64_t h = std::min<std::int64_t>(std::int64_t(window.bottom) - window.top, height);
    if (w < 1 || h < 1) return std::nullopt;
    const std::int64_t x =
        std::min<std::int64_t>(std::max<std::int64_t>(std::int64_t(window.left) - left, 0), width - w);
    const std::int64_t y =
        std::min<std::int64_t>(std::max<std::int64_t>(std::int64_t(window.top) - top, 0), height - h);
    return PixelRect{std::int32_t(x), std::int32_t(y), std::int32_t(w), std::int32_t(h)};
}

EdgeRect window_shot_rect(const EdgeRect& outer, const std::optional<EdgeRect>& visible, bool minimized) {
    if (minimized) return {};
    const EdgeRect r = visible && visible->right > visible->left && visible->bottom > visible->top ? *visible : outer;
    if (std::int64_t(r.right) - r.left <= 7 || std::int64_t(r.bottom) - r.top <= 7) return {};
    return r;
}

ImagePathSource image_path_source(bool saved_inside_folder, bool autosave, const std::wstring& folder) {
    if (saved_inside_folder) return ImagePathSource::SavedFile;
    if (autosave && !folder.empty()) return ImagePathSource::Autosave;
    return ImagePathSource::None;
}

bool copies_to_clipboard(CaptureAction action, bool copy_setting) {
    return action == CaptureAction::Copy || (action == CaptureAction::Done && copy_setting);
}

bool ShotInputWatch::is_choice(unsigned message, unsigned key) {
    const bool held = key < held_.size() && held_[key];
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return !held;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (held) held_.reset(key);
        return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: return true;
    default: return false;
    }
}

std::wstring program_file_name(const std::wstring& module_path) {
    const size_t cut = module_path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? module_path : module_path.substr(cut + 1);
}

std::wstring screenshot_file_name_at(int year, int month, int day, int hour, int minute, int second) {
    wchar_t name[128];
    std::swprintf(name, 128, L"%ls %04d-%02d-%02d %02d-%02d-%02d.png", kScreenshotBase, year, month, day, hour, minute,
                  second);
    return name;
}
