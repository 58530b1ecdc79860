#pragma once
// The keys of a paste: the user's own keys it waits for, and its Ctrl+V.

#include "services/detached_thread.h"
#include "services/paste_queue.h"

#include <memory>
#include <vector>

// How long a paste waits for the user to let go of the keys that asked for
// it: longer than a hotkey's modifiers are held to press the next slot. A
// paste never acts under a key the user holds (its release or press would
// be the program's, not the user's, and a held key's repeats would type
// into the document), so after this it gives up: what it placed stays on the
// clipboard for the user's own Ctrl+V.
inline constexpr int kPasteKeysWaitMs = 6000;

// Whether the key (a virtual key) is down now; false for 0.
bool key_is_down(int vk);

// Watches the keys of the hotkeys pressed, on a thread of its own, so that a
// release is seen, with its time, while the UI thread is busy (a paste's
// start holds it): its timer would come only once no message waits, after
// the next press. It looks at a key every few milliseconds from its press
// until it has seen it up (a look at the press may come before the key's
// state follows it), and only then: nothing runs while no key is held.
class KeyWatch {
public:
    KeyWatch();
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;
    // Stops the thread, waiting a moment at most for one that has begun its
    // work (WorkerThread).
    ~KeyWatch();

    // Looks at the key now, and on until it is seen up.
    void watch(int key);
    // What was seen since the last call, in order: each look of watch() and
    // each change seen since, stamped with GetTickCount, the clock of
    // GetMessageTime.
    std::vector<KeySeen> take_seen();
    // What the thread works on, shared with the watch: it lasts as long as
    // either of them.
    std::weak_ptr<const void> thread_state() const { return shared_; }

private:
    struct Shared;  // what the watch and its thread hold jointly

    std::shared_ptr<Shared> shared_;
    WorkerThread thread_;  // started by the first watch()
};

// Returns true once no modifier and not key is down; false when the time-out
// (ms; negative counts as 0) passes first.
bool wait_modifiers_released(int timeout_ms, int key = 0);

// Ctrl down, V down, V up, Ctrl up, 40 ms apart.
void send_ctrl_v();

// Puts the clipboard's text back as plain text alone (with the "do not record"
// marker when it came with one) and pastes it. Does
// nothing when the clipboard holds no text. False when the text could not be
// written back: then no keys were sent.
bool repaste_clipboard();
