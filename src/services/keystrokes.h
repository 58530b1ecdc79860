#pragma once
// Synthesised keys for pasting into another program.

#include <cstdint>
#include <vector>

// One synthesised key event: a virtual key going down or up.
struct KeyEvent {
    std::uint8_t vk = 0;
    bool up = false;
};

// The key events of a paste while the user still holds the modifier keys in
// held (Ctrl, Shift, Alt, Win): the program must receive Ctrl+V alone, not
// Ctrl+Shift+V or another of Korvane's own hotkeys. Ctrl goes down unless it
// is held; every other held key is released for the V and pressed again after
// it, both while Ctrl is down, so that no lone Alt or Win opens a menu; a
// key no program acts on follows a re-pressed Alt or Win, so that the user's
// own release of it opens none either. Ctrl goes up again only when the user
// does not hold it. With nothing held: Ctrl down, V down, V up, Ctrl up.
std::vector<KeyEvent> ctrl_v_events(const std::vector<int>& held);

// The modifiers the user holds now, each as one virtual key.
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
