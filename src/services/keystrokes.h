#pragma once
// Synthesised keys for pasting into another program.

#include <cstdint>
#include <vector>

// One synthesised key event: a virtual key going down or up.
struct KeyEvent {
    std::uint8_t vk = 0;
    bool up = false;
};

// The key events of a paste while the user may still hold modifier keys
// (held: each the left or right key that is down, VK_LCONTROL .. VK_RWIN).
// The program must receive Ctrl+V alone, not Ctrl+Shift+V or another of
// Korvane's own hotkeys, so every held key is released first, as the key
// that is down, and is never pressed again: a key the user lets go of
// meanwhile must not come back down (capitals in the target, a Win shortcut
// on the next key), and one still held stays up until pressed anew. A held
// Alt or Win is first made part of a combination by a key no program acts
// on, so that its release opens no menu bar and no Start menu. Then the
// program's own Ctrl, whatever the user held: Ctrl down, V down, V up, Ctrl
// up (the right Ctrl while the user holds the left one).
std::vector<KeyEvent> ctrl_v_events(const std::vector<int>& held);

// The modifiers the user holds now, each as the left or right key that is down.
std::vector<int> held_modifiers();

// ctrl_v_events for the keys held now, 40 ms apart.
void send_ctrl_v();

// Returns once no Ctrl, Shift, Alt or Win key is down, or when the time-out
// (ms; negative counts as 0) has passed.
void wait_modifiers_released(int timeout_ms);

// Puts the clipboard's text back as plain text alone (with the "do not record"
// marker when it came with one) and pastes it. Does
// nothing when the clipboard holds no text. False when the text could not be
// written back: then no keys were sent.
bool repaste_clipboard();
