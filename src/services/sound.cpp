#include "services/sound.h"

#include "services/detached_thread.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace {

struct Tone {
    DWORD frequency;
    DWORD duration_ms;
};

constexpr Tone kTones[] = {{880, 160}, {660, 220}, {523, 200}, {330, 260}};

void system_beep(unsigned frequency, unsigned duration_ms) { Beep(frequency, duration_ms); }

std::atomic<TonePlayer> g_player{system_beep};

// One tone after another. Never destroyed: a tone may still be playing when
// the process ends.
std::mutex& tone_turn() {
    static auto* turn = new std::mutex;
    return *turn;
}

}  // namespace

void play_sound(int tone_id) {
    if (tone_id < 1 || tone_id > 4) return;
    const Tone t = kTones[tone_id - 1];
    const TonePlayer player = g_player;
    // Beep blocks its thread while the tone plays: never the caller's, whose
    // window would freeze meanwhile. Without a thread there is no tone.
    start_detached([player, t] {
        std::lock_guard turn(tone_turn());
        player(t.frequency, t.duration_ms);
    });
}

void sound_beep(int tone_id) { play_sound(tone_id); }

TonePlayer set_tone_player(TonePlayer player) { return g_player.exchange(player ? player : system_beep); }
