#include "services/paste_queue.h"

#include <algorithm>

namespace {

// Longer than any worker takes (its wait for the user's keys is 1.2 s at
// most): a worker that never reported must not stop every later paste.
constexpr double kLostWorkerSeconds = 5.0;

}  // namespace

bool PasteQueue::submit(int hotkey, Start start, double now) {
    if (busy_ && now - busy_since_ > kLostWorkerSeconds) finished(now);
    if (hotkey != 0 && busy_ &&
        (busy_hotkey_ == hotkey ||
         std::any_of(waiting_.begin(), waiting_.end(), [hotkey](const Waiting& w) { return w.hotkey == hotkey; })))
        return false;
    waiting_.push_back({hotkey, std::move(start)});
    if (!busy_) run_next(now);
    return true;
}

void PasteQueue::finished(double now) {
    busy_ = false;
    busy_hotkey_ = 0;
    run_next(now);
}

void PasteQueue::run_next(double now) {
    while (!busy_ && !waiting_.empty()) {
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        // Marked before the start runs: a paste it asks for (a nested
        // message loop) waits its turn rather than running inside it.
        busy_ = true;
        busy_hotkey_ = next.hotkey;
        busy_since_ = now;
        busy_ = next.start && next.start();
        if (!busy_) busy_hotkey_ = 0;
    }
}
