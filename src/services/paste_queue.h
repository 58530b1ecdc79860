#pragma once
// Pastes one after another, one press one paste. A paste writes the
// clipboard on the UI thread and leaves its Ctrl+V to a worker that waits
// for the user's keys: a second paste written meanwhile would be what both
// workers paste. So each paste's write waits until the keys of the one
// before it have gone. Plain values only: the caller gives the time and
// what it saw of the keys.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

// What asked for a paste.
struct PastePress {
    int hotkey = 0;          // the hotkey's id; 0: no hotkey (a menu choice, the main window)
    int key = 0;             // the hotkey's key besides its modifiers
    std::uint32_t time = 0;  // when the press was made: its WM_HOTKEY's time (GetTickCount's clock)
};

// A look at a key: down or up at that moment, on the presses' clock.
struct KeySeen {
    int key = 0;
    std::uint32_t time = 0;
    bool down = false;
};

class PasteQueue {
public:
    // Writes the clipboard and starts the worker for the paste numbered
    // paste; true when a worker was started, which reports back through
    // finished() with that number. False (nothing to paste, the clipboard
    // taken, no thread) lets the next paste run at once.
    using Start = std::function<bool(unsigned paste)>;

    // Runs start now when no paste is pending, else after those before it.
    // A press of a hotkey is the key repeating, where the system repeats
    // hotkeys, when its key was down at the press's time and was not seen
    // going up between that hotkey's last press and this one: it is dropped
    // (false). The times count, not the order in which the presses are
    // handled: a tap made while the UI thread was busy is the user's, and a
    // repeat handled after the key went up is a repeat. A press whose key
    // was not down (a request posted by a program) is the user's. A release
    // shorter than the look at the keys goes unseen: no hand taps that fast.
    bool submit(const PastePress& press, Start start, double now);

    // What was seen of the pressed hotkeys' keys, in the order it was seen,
    // given before the presses it may have come before.
    void key_seen(const KeySeen& seen);

    // The paste numbered paste has sent its keys, or gave up: the next one
    // runs. The end of a paste that is no longer the pending one (a worker
    // given up on) changes nothing.
    void finished(unsigned paste, double now);

    // The pending paste's number; 0 when none is pending.
    unsigned current() const { return current_; }

private:
    bool repeats(const PastePress& press) const;
    void end_turn(double now);
    void run_next(double now);

    std::deque<Start> waiting_;
    std::map<int, std::uint32_t> last_press_;  // hotkey -> the time of its last press
    std::vector<KeySeen> seen_;                // in the order seen
    unsigned current_ = 0;
    unsigned last_number_ = 0;
    double busy_since_ = 0;
};
