#pragma once
// Pastes one after another. A paste writes the clipboard on the UI thread
// and leaves its Ctrl+V to a worker that may wait for the user's keys: a
// second paste written meanwhile would be what both workers paste. So each
// paste's write waits until the keys of the one before it have gone. Plain
// values only: the caller gives the time.

#include <deque>
#include <functional>

class PasteQueue {
public:
    // Writes the clipboard and starts the worker; true when a worker was
    // started, which reports back through finished(). False (nothing to
    // paste, the clipboard taken, no thread) lets the next paste run at once.
    using Start = std::function<bool()>;

    // Runs start now when no paste is pending, else after those before it.
    // A nonzero hotkey names the hotkey that asked for the paste: while a
    // paste of that hotkey is pending, another press of it is the key held
    // down until it repeats, and is dropped (false).
    bool submit(int hotkey, Start start, double now);

    // The pending paste's keys are sent: the next one runs.
    void finished(double now);

private:
    struct Waiting {
        int hotkey;
        Start start;
    };
    void run_next(double now);

    std::deque<Waiting> waiting_;
    bool busy_ = false;
    int busy_hotkey_ = 0;
    double busy_since_ = 0;
};
