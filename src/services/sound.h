#pragma once
// The four short tones played after a copy or a paste.

// Plays tone 1..4 with the system's Beep on a thread of its own, one tone
// after another, and returns at once; any other id is silent.
void play_sound(int tone_id);
// The same as play_sound.
void sound_beep(int tone_id);

// What sounds a tone, on the tone's thread: the system's Beep, behind a seam
// so that tests, whose Beep may be silent, can hear when a tone plays.
using TonePlayer = void (*)(unsigned frequency, unsigned duration_ms);
// Puts another player in place; null brings back Beep. Returns the one that
// was in place.
TonePlayer set_tone_player(TonePlayer player);
