#include "services/keystrokes.h"

#include <windows.h>

#include <array>

namespace {

constexpr DWORD kKeyGapMs = 40;
constexpr DWORD kModifierPollMs = 10;
constexpr BYTE kVkV = 0x56;

const std::array<int, 5> kModifiers{VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN};

bool any_modifier_down() {
    for (int vk : kModifiers)
        if (GetAsyncKeyState(vk) & 0x8000) return true;
    return false;
}

}  // namespace

void send_ctrl_v() {
    keybd_event(VK_CONTROL, 0, 0, 0);
    Sleep(kKeyGapMs);
    keybd_event(kVkV, 0, 0, 0);
    Sleep(kKeyGapMs);
    keybd_event(kVkV, 0, KEYEVENTF_KEYUP, 0);
    Sleep(kKeyGapMs);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

void wait_modifiers_released(int timeout_ms) {
    const DWORD deadline = GetTickCount() + DWORD(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        if (!any_modifier_down()) return;
        // Signed difference: the tick counter's wrap after 49 days does no harm.
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return;
        Sleep(kModifierPollMs);
    }
}
