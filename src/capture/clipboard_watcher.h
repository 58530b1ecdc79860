#pragma once
// Turns what the user copies in other programs into history entries: every
// tick of the main window's timer 1 runs one capture pass over the clipboard.
// UI thread only.

#include "services/encoding.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class HistoryDb;
struct ClipboardContent;
struct Settings;

// 64-bit FNV-1a over every byte: how the watcher tells images apart.
std::uint64_t image_hash(const std::uint8_t* data, size_t size);
inline std::uint64_t image_hash(const Bytes& data) { return image_hash(data.data(), data.size()); }

// Images above this size are not stored; the copy is kept as text alone.
constexpr size_t kMaxCapturedImageBytes = 2 * 1024 * 1024;

// Where the watcher's captures go, built by the App: the watcher knows
// nothing else of the program.
struct CaptureSink {
    HistoryDb* db = nullptr;                                // null: nothing is stored
    const Settings* settings = nullptr;                     // read at each capture; null: the defaults
    const std::optional<std::int64_t>* category = nullptr;  // where new captures are filed, if anywhere
    std::function<void(const std::wstring&)> copied;        // after a capture was stored: its text or "[image]"
};

class ClipboardWatcher {
public:
    // Binds the watcher to its sink and the main window (which receives the
    // link titles) and takes what is on the clipboard now as seen, so it is
    // never recorded.
    void init(CaptureSink capture_sink, HWND main_hwnd);

    // Timer 1: a capture pass, unless capture is off or the program has just
    // written the clipboard itself.
    void poll();
    // One capture pass; force skips the duplicate tests (not the own-image one).
    void check_clipboard(bool force);
    // The pass of the next tick, run now: before the program writes the
    // clipboard itself, which would replace a copy not yet seen.
    void catch_up() { check_clipboard(false); }

    // Switching on takes the clipboard's current text and picture as seen, so
    // nothing copied while capture was off is recorded afterwards.
    void set_enabled(bool on);
    bool is_enabled() const { return enabled; }

    // Re-reads the application filter from the settings.
    void reload_filter();

    // Call before the program puts text on the clipboard: it is not
    // recorded, and no pass runs for the next half second.
    void note_own_text(const std::wstring& text);
    // Call with the DIB before the program puts an image on the clipboard:
    // the same bytes seen within two seconds are not recorded.
    void note_own_image(const Bytes& dib);

private:
    void take_current_as_seen();
    // Steps that decide whether a read is a new copy; is_new remembers the
    // picture it saw, the pass keeps the text.
    bool is_new(const ClipboardContent& content, std::uint64_t hash, bool force);
    bool source_allowed();
    void store(const ClipboardContent& content, const std::wstring& text, bool has_image);

    CaptureSink sink;
    HWND main_window = nullptr;
    bool enabled = true;
    std::wstring last_text;
    double ignore_until = 0;
    std::uint64_t last_image_hash = 0;
    bool has_last_image = false;
    bool own_image_pending = false;
    std::uint64_t own_image_hash = 0;
    double own_image_until = 0;
    std::int32_t filter_reload_time = 0;
    std::wstring filter_mode = L"all";
    std::vector<std::wstring> filter_apps;
    DWORD last_sequence = 0;  // clipboard sequence number of the last content read
    int busy_retries = 0;     // tries of the current copy that found the history file locked
};
