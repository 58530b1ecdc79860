#include "capture/clipboard_watcher.h"

#include "capture/app_filter.h"
#include "capture/app_names.h"
#include "capture/browser_page.h"
#include "capture/card_number.h"
#include "capture/link_fetch.h"
#include "capture/link_title.h"
#include "capture/source_app.h"
#include "config/settings.h"
#include "services/clipboard.h"
#include "services/clock.h"
#include "services/image_file.h"
#include "services/sound.h"
#include "services/text_util.h"
#include "storage/history_db.h"

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr double kOwnTextQuietSeconds = 0.5;
constexpr double kOwnImageSeconds = 2.0;
constexpr std::int32_t kFilterReloadSeconds = 2;
// How many ticks (half a second each) a copy is tried again while another
// program holds the history file locked.
constexpr int kBusyRetries = 20;
const wchar_t kSavedImageBase[] =
    L"\u0418\u0437\u043e\u0431\u0440\u0430\u0436\u0435\u043d\u0438\u0435";  // "Изображение"
const wchar_t kImageBalloonText[] =
    L"[\u0438\u0437\u043e\u0431\u0440\u0430\u0436\u0435\u043d\u0438\u0435]";  // "[изображение]"

std::int32_t whole_seconds() { return static_cast<std::int32_t>(now_seconds()); }

}  // namespace

std::uint64_t image_hash(const std::uint8_t* data, size_t size) {
    std::uint64_t h = kFnvOffset;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= kFnvPrime;
    }
    return h;
}

void ClipboardWatcher::init(CaptureSink capture_sink, HWND main_hwnd) {
    sink = std::move(capture_sink);
    main_window = main_hwnd;
    enabled = sink.settings ? sink.settings->watch_clipboard : true;
    take_current_as_seen();
    ignore_until = 0;
    filter_mode = L"all";
    filter_apps.clear();
    filter_reload_time = 0;
}

// The sequence number goes with it: without it the first tick would read the
// same content again, holding the clipboard open once more while other
// programs may be trying to copy (a 20 MB text takes long enough for Wine to
// drop a copy made meanwhile in a Linux program).
void ClipboardWatcher::take_current_as_seen() {
    last_sequence = GetClipboardSequenceNumber();
    ClipboardContent now = read_clipboard();
    last_text = std::move(now.text);
    if (!now.dib.empty()) {
        last_image_hash = image_hash(now.dib);
        has_last_image = true;
    }
}

void ClipboardWatcher::poll() {
    if (!enabled || now_seconds() < ignore_until) return;
    check_clipboard(false);
}

void ClipboardWatcher::set_enabled(bool on) {
    // What was copied while capture was off stays unrecorded, picture or text.
    if (on && !enabled) take_current_as_seen();
    enabled = on;
}

void ClipboardWatcher::reload_filter() {
    if (sink.settings) {
        filter_mode = sink.settings->app_filter_mode;
        filter_apps = split_filter_list(*sink.settings);
    }
    filter_reload_time = whole_seconds();
}

void ClipboardWatcher::note_own_text(const std::wstring& text) {
    last_text = text;
    ignore_until = now_seconds() + kOwnTextQuietSeconds;
}

void ClipboardWatcher::note_own_image(const Bytes& dib) {
    if (dib.empty()) return;
    own_image_hash = image_hash(dib);
    own_image_pending = true;
    own_image_until = now_seconds() + kOwnImageSeconds;
}

bool ClipboardWatcher::is_new(const ClipboardContent& content, std::uint64_t hash, bool force) {
    const bool has_image = !content.dib.empty();
    const double now = now_seconds();
    if (has_image && own_image_pending) {
        if (hash == own_image_hash) {
            // The program's own picture, whatever force says.
            last_image_hash = hash;
            has_last_image = true;
            own_image_pending = false;
            return false;
        }
        if (now > own_image_until) own_image_pending = false;
    }
    if (!force) {
        if (has_image) {
            if (now < ignore_until || (has_last_image && hash == last_image_hash)) {
                last_image_hash = hash;
                has_last_image = true;
                return false;
            }
        } else if (!content.text.empty() && content.text == last_text) {
            return false;
        }
    }
    if (has_image) {
        last_image_hash = hash;
        has_last_image = true;
    }
    return true;
}

bool ClipboardWatcher::source_allowed() {
    if (whole_seconds() - filter_reload_time >= kFilterReloadSeconds) reload_filter();
    if ((filter_mode != L"whitelist" && filter_mode != L"blacklist") || filter_apps.empty()) return true;
    // With a whitelist both programs must be listed; with a blacklist either
    // being listed skips the copy.
    const std::wstring owner_app = clipboard_owner_process_name();
    if (is_app_blocked(filter_mode, filter_apps, owner_app)) return false;
    const std::wstring front_app = foreground_process_name();
    return front_app == owner_app || !is_app_blocked(filter_mode, filter_apps, front_app);
}

void ClipboardWatcher::check_clipboard(bool force) {
    if (!enabled) return;
    // Unchanged contents would only be found to be a duplicate again, after
    // copying and hashing a picture that may be megabytes, twice a second.
    const DWORD sequence = GetClipboardSequenceNumber();
    if (!force && sequence != 0 && sequence == last_sequence) return;
    ClipboardContent content = read_clipboard();
    // An empty read may be a clipboard another program holds open: try again
    // at the next tick rather than taking the number as seen.
    if (content.text.empty() && content.dib.empty()) return;
    last_sequence = sequence;
    const std::uint64_t hash = content.dib.empty() ? 0 : image_hash(content.dib);
    if (!is_new(content, hash, force)) return;
    // Seen from here on, even when a later test skips it. The text moves
    // rather than being copied: it may be tens of megabytes.
    last_text = std::move(content.text);
    const std::wstring& text = last_text;
    if (!source_allowed()) return;

    // An oversized picture is dropped before the privacy tests, so that text
    // which came with it is judged as the text-only copy it now is.
    if (content.dib.size() > kMaxCapturedImageBytes) content.dib.clear();
    const bool has_image = !content.dib.empty();
    if (!has_image && (has_exclusion_format() || looks_like_card_number(text))) return;

    store(content, text, has_image);
}

void ClipboardWatcher::store(const ClipboardContent& content, const std::wstring& text, bool has_image) {
    if (!sink.db) return;
    static const Settings kDefaults;
    const Settings& settings = sink.settings ? *sink.settings : kDefaults;
    const std::optional<std::int64_t> category = sink.category ? *sink.category : std::nullopt;

    const std::wstring app = clipboard_owner_process_name();
    const bool is_browser = is_browser_process(app);
    std::wstring title, address;
    if (is_browser) winutil::get_browser_page_info(title, address);
    if (address.empty()) address = html_source_url_bytes(content.html);

    const std::int64_t id = sink.db->add_entry(text, content.rtf, content.html, content.dib, app, has_image,
                                               settings.repeat_on_copy, category, title, address, is_browser);
    if (id == 0) {
        // Another program held the file locked (a backup tool, sqlite3) for
        // longer than the store waits: the copy is read and tried again at
        // the next ticks rather than lost.
        if (sink.db->add_was_busy() && busy_retries < kBusyRetries) {
            ++busy_retries;
            last_sequence = 0;
            last_text.clear();
            has_last_image = false;
        }
        return;
    }
    busy_retries = 0;

    if (main_window && is_url(text)) start_link_title_thread(main_window, id, text);

    if (has_image && settings.clipboard_images_autosave && !settings.screenshot_folder.empty()) {
        std::wstring path;
        if (save_image_file(settings.screenshot_folder, kSavedImageBase, content.dib, path))
            sink.db->set_image_path(id, path);
    }
    if (settings.sound_on_copy) play_sound(settings.sound_copy_id);
    if (!sink.copied) return;
    if (text.empty()) sink.copied(kImageBalloonText);
    else sink.copied(text);
}
