#include "services/sound.h"

#include <windows.h>

namespace {

struct Tone {
    DWORD frequency;
    DWORD duration_ms;
};

constexpr Tone kTones[] = {{880, 160}, {660, 220}, {523, 200}, {330, 260}};

void system_beep(unsigned frequency, unsigned duration_ms) { Beep(frequency, duration_ms); }

// Tones play on the UI thread only.
TonePlayer g_player = system_beep;

}  // namespace

void play_sound(int tone_id) {
    if (tone_id < 1 || tone_id > 4) return;
    const Tone& t = kTones[tone_id - 1];
    g_player(t.frequency, t.duration_ms);
}

void sound_beep(int tone_id) { play_sound(tone_id); }

TonePlayer set_tone_player(TonePlayer player) {
    const TonePlayer previous = g_player;
    g_player = player ? player : system_beep;
    return previous;
}
