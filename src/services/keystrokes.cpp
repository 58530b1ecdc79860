#include "services/keystrokes.h"

#include <windows.h>

#include <array>

namespace {

constexpr DWORD kKeyGapMs = 40;
constexpr DWORD kModifierPollMs = 10;
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
        Sleep(kModifierPollMs);
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
