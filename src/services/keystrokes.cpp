#include "services/keystrokes.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace {

constexpr DWORD kKeyGapMs = 40;
constexpr DWORD kModifierPollMs = 10;
constexpr BYTE kVkV = 0x56;
// A key no keyboard has and no program acts on. Pressed after a held Alt or
// Win goes down again, it makes that key's later release by the user part of
// a combination: released alone, Alt would open the target's menu bar and
// Win the Start menu.
constexpr BYTE kVkMask = 0xE8;

const std::array<int, 5> kModifiers{VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN};

}  // namespace

std::vector<int> held_modifiers() {
    std::vector<int> held;
    for (int vk : kModifiers)
        if (GetAsyncKeyState(vk) & 0x8000) held.push_back(vk);
    return held;
}

std::vector<KeyEvent> ctrl_v_events(const std::vector<int>& held) {
    const bool ctrl_held = std::find(held.begin(), held.end(), VK_CONTROL) != held.end();
    std::vector<KeyEvent> events;
    const auto other_held = [&](bool up) {
        for (int vk : held)
            if (vk != VK_CONTROL) events.push_back({static_cast<std::uint8_t>(vk), up});
    };
    if (!ctrl_held) events.push_back({VK_CONTROL, false});
    other_held(true);
    events.push_back({kVkV, false});
    events.push_back({kVkV, true});
    other_held(false);
    if (std::any_of(held.begin(), held.end(), [](int vk) { return vk == VK_MENU || vk == VK_LWIN || vk == VK_RWIN; })) {
        events.push_back({kVkMask, false});
        events.push_back({kVkMask, true});
    }
    if (!ctrl_held) events.push_back({VK_CONTROL, true});
    return events;
}

void send_ctrl_v() {
    const std::vector<KeyEvent> events = ctrl_v_events(held_modifiers());
    for (size_t i = 0; i < events.size(); ++i) {
        if (i > 0) Sleep(kKeyGapMs);
        keybd_event(events[i].vk, 0, events[i].up ? KEYEVENTF_KEYUP : 0, 0);
    }
}

void wait_modifiers_released(int timeout_ms) {
    const DWORD deadline = GetTickCount() + DWORD(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        if (held_modifiers().empty()) return;
        // Signed difference: the tick counter's wrap after 49 days does no harm.
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return;
        Sleep(kModifierPollMs);
    }
}
