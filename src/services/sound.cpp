#include "services/sound.h"

#include <windows.h>

namespace {

struct Tone {
    DWORD frequency;
    DWORD duration_ms;
};

constexpr Tone kTones[] = {{880, 160}, {660, 220}, {523, 200}, {330, 260}};

}  // namespace

void play_sound(int tone_id) {
    if (tone_id < 1 || tone_id > 4) return;
    const Tone& t = kTones[tone_id - 1];
    Beep(t.frequency, t.duration_ms);
}

void sound_beep(int tone_id) { play_sound(tone_id); }
