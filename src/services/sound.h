#pragma once
// The four short tones played after a copy or a paste.

// Plays tone 1..4 with the system's Beep, which blocks the calling thread for
// the tone's duration (at most 260 ms); any other id is silent.
void play_sound(int tone_id);
// The same as play_sound.
void sound_beep(int tone_id);
