#pragma once
// The keys of a paste: the user's own keys it waits for, and its Ctrl+V.

// How long a paste waits for the user to let go of the keys that asked for
// it: longer than a hotkey's modifiers are held to press the next slot. A
// paste never acts under a key the user holds (its release or press would
// be the program's, not the user's, and a held key's repeats would type
// into the document), so after this it gives up: what it placed stays on the
// clipboard for the user's own Ctrl+V.
inline constexpr int kPasteKeysWaitMs = 6000;

// Whether the key (a virtual key) is down now; false for 0.
bool key_is_down(int vk);

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
