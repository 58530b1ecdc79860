#include "services/keystrokes.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <system_error>
#include <utility>

namespace {

constexpr DWORD kKeyGapMs = 40;
// How often a held key is looked at: a release shorter than this goes unseen.
constexpr DWORD kKeyPollMs = 10;
constexpr BYTE kVkV = 0x56;

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

KeyWatch::~KeyWatch() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void KeyWatch::watch(int key) {
    std::lock_guard lock(mutex_);
    const bool down = key_is_down(key);
    seen_.push_back({key, GetTickCount(), down});
    watched_[key] = down;
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread(&KeyWatch::run, this);
        } catch (const std::system_error&) {
            // No thread: the looks at the presses alone are seen.
            watched_.clear();
            return;
        }
    }
    wake_.notify_one();
}

std::vector<KeySeen> KeyWatch::take_seen() {
    std::lock_guard lock(mutex_);
    return std::exchange(seen_, {});
}

void KeyWatch::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (watched_.empty()) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_for(lock, std::chrono::milliseconds(kKeyPollMs), [this] { return stop_; })) break;
        for (auto watched = watched_.begin(); watched != watched_.end();) {
            auto& [key, was_down] = *watched;
            const bool down = key_is_down(key);
            // Stamped after the look: the key was so by then.
            if (down != was_down) seen_.push_back({key, GetTickCount(), down});
            was_down = down;
            watched = down ? std::next(watched) : watched_.erase(watched);
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
