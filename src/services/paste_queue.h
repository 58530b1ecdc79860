#pragma once
// Pastes one after another, one press one paste. A paste writes the
// clipboard on the UI thread and leaves its Ctrl+V to a worker that waits
// for the user's keys: a second paste written meanwhile would be what both
// workers paste. So each paste's write waits until the keys of the one
// before it have gone. Plain values only: the caller gives the time and
// what it saw of the keys.

#include <deque>
#include <functional>
#include <map>
#include <vector>

// What asked for a paste.
struct PastePress {
    int hotkey = 0;         // the hotkey's id; 0: no hotkey (a menu choice, the main window)
    int key = 0;            // the hotkey's key besides its modifiers
    bool key_down = false;  // that key was down when the press came
};

class PasteQueue {
public:
    // Writes the clipboard and starts the worker; true when a worker was
    // started, which reports back through finished(). False (nothing to
    // paste, the clipboard taken, no thread) lets the next paste run at once.
    using Start = std::function<bool()>;

    // Runs start now when no paste is pending, else after those before it.
    // A press of a hotkey whose key is down and has not been seen up since
    // that hotkey's last press is the key repeating, where the system
    // repeats hotkeys, and is dropped (false). A press after the key was
    // seen up is the user's again; so is one whose key is not down (a
    // request posted by a program). A release shorter than the watcher's
    // look at the keys goes unseen: no hand taps that fast.
    bool submit(const PastePress& press, Start start, double now);

    // The pending paste's keys are sent, or it gave up: the next one runs.
    void finished(double now);

    // The keys of hotkeys pressed and not yet seen up: the caller watches
    // them and tells of each release.
    std::vector<int> held_keys() const;
    void key_released(int key);

private:
    void run_next(double now);

    std::deque<Start> waiting_;
    std::map<int, int> held_;  // hotkey -> its key, down since its last press
    bool busy_ = false;
    double busy_since_ = 0;
};
