#include "services/paste_queue.h"

#include "services/keystrokes.h"

#include <optional>

namespace {

// Longer than any worker takes (its wait for the user's keys included): a
// worker that never reported must not stop every later paste.
constexpr double kLostWorkerSeconds = kPasteKeysWaitMs / 1000.0 + 2.0;

// How long what was seen of the keys is kept. A held key's repeats come many
// times a second: a hotkey not pressed for this long is pressed anew.
constexpr std::uint32_t kPressMemoryMs = 10000;

// a before b on the tick clock, whose wrap after 49 days does no harm.
bool earlier(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

}  // namespace

bool PasteQueue::submit(const PastePress& press, Start start, double now) {
    if (current_ != 0 && now - busy_since_ > kLostWorkerSeconds) end_turn(now);
    if (press.hotkey != 0) {
        const bool repeat = repeats(press);
        last_press_[press.hotkey] = press.time;
        std::erase_if(seen_, [&](const KeySeen& seen) { return earlier(seen.time + kPressMemoryMs, press.time); });
        if (repeat) return false;
    }
    waiting_.push_back(std::move(start));
    if (current_ == 0) run_next(now);
    return true;
}

void PasteQueue::key_seen(const KeySeen& seen) { seen_.push_back(seen); }

void PasteQueue::finished(unsigned paste, double now) {
    if (paste != 0 && paste == current_) end_turn(now);
}

bool PasteQueue::repeats(const PastePress& press) const {
    const auto last = last_press_.find(press.hotkey);
    if (last == last_press_.end() || earlier(last->second + kPressMemoryMs, press.time)) return false;
    bool was_down = false;
    bool held_at_last = false;    // the key as last seen at or before the last press
    std::optional<bool> between;  // the key as last seen between the two presses
    std::optional<bool> after;    // the key as first seen from this press on
    for (const KeySeen& seen : seen_) {
        if (seen.key != press.key) continue;
        if (!earlier(last->second, seen.time)) {
            held_at_last = seen.down;
        } else if (!earlier(seen.time, press.time)) {
            if (!after) after = seen.down;
        } else if (was_down && !seen.down) {
            return false;  // let go between the two presses
        } else {
            between = seen.down;
        }
        was_down = seen.down;
    }
    // Down at the press: as last seen between the two presses. With nothing
    // seen there, a key seen down by the last press stayed down: the watch
    // logs changes only, and follows the key until it sees it up. A release
    // seen after this press tells nothing of it (every later repeat of one
    // hold, handled after the release, would paste again). Only a key the
    // watch was not following at the last press is taken as first seen after.
    return between.value_or(held_at_last || after.value_or(false));
}

void PasteQueue::end_turn(double now) {
    current_ = 0;
    run_next(now);
}

void PasteQueue::run_next(double now) {
    while (current_ == 0 && !waiting_.empty()) {
        Start next = std::move(waiting_.front());
        waiting_.pop_front();
        // Numbered before the start runs: a paste it asks for (a nested
        // message loop) waits its turn rather than running inside it.
        current_ = ++last_number_;
        busy_since_ = now;
        if (!next || !next(current_)) current_ = 0;
    }
}
