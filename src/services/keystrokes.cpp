#include "services/keystrokes.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <utility>

namespace {

constexpr DWORD kKeyGapMs = 40;
// How often a held key is looked at: a release shorter than this goes unseen.
constexpr DWORD kKeyPollMs = 10;
constexpr BYTE kVkV = 0x56;
// How long the quit waits for the watch's thread, which ends within a look
// when it runs at all.
constexpr DWORD kKeyWatchStopWaitMs = 500;

const std::array<int, 5> kModifiers{VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN};

void send_key(BYTE vk, bool up) {
    // The scan code goes along: some programs read it rather than the key.
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0, 0);
}

// A Ctrl, Shift, Alt or Win key, or key, is down.
bool paste_keys_held(int key) {
    for (int vk : kModifiers)
        if (key_is_down(vk)) return true;
    return key_is_down(key);
}

}  // namespace

bool key_is_down(int vk) { return vk != 0 && (GetAsyncKeyState(vk) & 0x8000) != 0; }

bool wait_modifiers_released(int timeout_ms, int key) {
    const DWORD deadline = GetTickCount() + DWORD(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        if (!paste_keys_held(key)) return true;
        // Signed difference: the tick counter's wrap after 49 days does no harm.
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
        Sleep(kKeyPollMs);
    }
}

struct KeyWatch::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::map<int, bool> watched;  // key -> down as last seen
    std::vector<KeySeen> seen;
    bool stop = false;
    bool running = false;  // the thread has begun its work

    void run();
};

KeyWatch::KeyWatch() : shared_(std::make_shared<Shared>()) {}

KeyWatch::~KeyWatch() {
    bool running = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        running = shared_->running;
    }
    shared_->wake.notify_all();
    // A thread that has not begun (new threads wait for the loader's lock)
    // finds the stop as it begins: the quit waits only for one at work.
    if (running) thread_.wait(kKeyWatchStopWaitMs);
}

void KeyWatch::watch(int key) {
    Shared& shared = *shared_;
    std::lock_guard lock(shared.mutex);
    const bool down = key_is_down(key);
    shared.seen.push_back({key, GetTickCount(), down});
    shared.watched[key] = down;
    if (!thread_.start([state = shared_] { state->run(); })) {
        // No thread: the looks at the presses alone are seen.
        shared.watched.clear();
        return;
    }
    shared.wake.notify_one();
}

std::vector<KeySeen> KeyWatch::take_seen() {
    std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->seen, {});
}

void KeyWatch::Shared::run() {
    std::unique_lock lock(mutex);
    running = true;
    while (!stop) {
        if (watched.empty()) {
            wake.wait(lock);
            continue;
        }
        if (wake.wait_for(lock, std::chrono::milliseconds(kKeyPollMs), [this] { return stop; })) break;
        for (auto watching = watched.begin(); watching != watched.end();) {
            auto& [key, was_down] = *watching;
            const bool down = key_is_down(key);
            // Stamped after the look: the key was so by then.
            if (down != was_down) seen.push_back({key, GetTickCount(), down});
            was_down = down;
            watching = down ? std::next(watching) : watched.erase(watching);
        }
    }
}

void send_ctrl_v() {
    send_key(VK_CONTROL, false);
    Sleep(kKeyGapMs);
    send_key(kVkV, false);
    Sleep(kKeyGapMs);
    send_key(kVkV, true);
    Sleep(kKeyGapMs);
    send_key(VK_CONTROL, true);
}
