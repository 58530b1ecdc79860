#pragma once
// Synthesised keys for pasting into another program.

// Ctrl down, V down, V up, Ctrl up, 40 ms apart.
void send_ctrl_v();

// Returns once no Ctrl, Shift, Alt or Win key is down, or when the time-out
// (ms; negative counts as 0) has passed.
void wait_modifiers_released(int timeout_ms);

// Puts the clipboard's text back as plain text alone (with the "do not record"
// marker when it came with one) and pastes it. Does
// nothing when the clipboard holds no text. False when the text could not be
// written back: then no keys were sent.
bool repaste_clipboard();
