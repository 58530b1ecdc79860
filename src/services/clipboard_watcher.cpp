#include "services/clipboard_watcher.h"

#include "services/clock.h"

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr double kOwnTextQuietSeconds = 0.5;
constexpr double kOwnImageSeconds = 2.0;

}  // namespace

std::uint64_t image_hash(const std::uint8_t* data, size_t size) {
    std::uint64_t h = kFnvOffset;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= kFnvPrime;
    }
    return h;
}

void ClipboardWatcher::init(App* owner, HWND main_window) {
    owner_ = owner;
    main_window_ = main_window;
    ignore_until_ = 0;
    filter_mode_ = L"all";
    filter_reload_time_ = 0;
}

void ClipboardWatcher::poll() {
    if (!enabled_ || now_seconds() < ignore_until_) return;
    check_clipboard(false);
}

void ClipboardWatcher::check_clipboard(bool) {}

void ClipboardWatcher::set_enabled(bool on) { enabled_ = on; }

void ClipboardWatcher::reload_filter() {}

void ClipboardWatcher::note_own_text(const std::wstring& text) {
    last_text_ = text;
    ignore_until_ = now_seconds() + kOwnTextQuietSeconds;
}

void ClipboardWatcher::note_own_image(const Bytes& dib) {
    if (dib.empty()) return;
    own_image_hash_ = image_hash(dib);
    own_image_pending_ = true;
    own_image_until_ = now_seconds() + kOwnImageSeconds;
}
