#include "services/paste_queue.h"

#include "services/keystrokes.h"

namespace {

// Longer than any worker takes (its wait for the user's keys included): a
// worker that never reported must not stop every later paste.
constexpr double kLostWorkerSeconds = kPasteKeysWaitMs / 1000.0 + 2.0;

}  // namespace

bool PasteQueue::submit(const PastePress& press, Start start, double now) {
    if (busy_ && now - busy_since_ > kLostWorkerSeconds) finished(now);
    if (press.hotkey != 0) {
        if (press.key_down && held_.count(press.hotkey) != 0) return false;
        // Down at its press, whatever the key's state was read as by then
        // (a state read late, on a system that updates it late): the press
        // is held until the key is seen up.
        if (press.key != 0) held_[press.hotkey] = press.key;
    }
    waiting_.push_back(std::move(start));
    if (!busy_) run_next(now);
    return true;
}

void PasteQueue::finished(double now) {
    busy_ = false;
    run_next(now);
}

std::vector<int> PasteQueue::held_keys() const {
    std::vector<int> keys;
    for (const auto& [hotkey, key] : held_) keys.push_back(key);
    return keys;
}

void PasteQueue::key_released(int key) {
    std::erase_if(held_, [key](const auto& held) { return held.second == key; });
}

void PasteQueue::run_next(double now) {
    while (!busy_ && !waiting_.empty()) {
        Start next = std::move(waiting_.front());
        waiting_.pop_front();
        // Marked before the start runs: a paste it asks for (a nested
        // message loop) waits its turn rather than running inside it.
        busy_ = true;
        busy_since_ = now;
        busy_ = next && next();
    }
}
