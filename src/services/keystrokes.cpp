#include "services/keystrokes.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace {

constexpr DWORD kKeyGapMs = 40;
constexpr DWORD kModifierPollMs = 10;
constexpr BYTE kVkV = 0x56;
// A key no keyboard has and no program acts on. Pressed while a held Alt or
// Win is down, it makes that key's release part of a combination: released
// alone, Alt would open the target's menu bar and Win the Start menu.
constexpr BYTE kVkMask = 0xE8;

// Each side apart: a generic VK_SHIFT acts on the left key, and would leave
// a right Shift the user holds down through the V.
const std::array<int, 8> kModifiers{VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT,
                                    VK_LMENU,    VK_RMENU,    VK_LWIN,   VK_RWIN};

bool opens_menu(int vk) { return vk == VK_LMENU || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN; }

// The right Ctrl and Alt and both Win keys are extended keys: without the
// flag the system takes the event for the left Ctrl or Alt. The right Shift
// is not, but Wine takes a Shift for the right one only with the flag, which
// Windows, going by the key and its scan code there, passes over.
bool is_extended(int vk) {
    return vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN || vk == VK_RSHIFT;
}

void send_key(const KeyEvent& key) {
    DWORD flags = key.up ? KEYEVENTF_KEYUP : 0;
    if (is_extended(key.vk)) flags |= KEYEVENTF_EXTENDEDKEY;
    // The scan code tells the right Shift from the left one.
    keybd_event(key.vk, static_cast<BYTE>(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC)), flags, 0);
}

}  // namespace

std::vector<int> held_modifiers() {
    std::vector<int> held;
    for (int vk : kModifiers)
        if (GetAsyncKeyState(vk) & 0x8000) held.push_back(vk);
    return held;
}

std::vector<KeyEvent> ctrl_v_events(const std::vector<int>& held) {
    std::vector<KeyEvent> events;
    if (std::any_of(held.begin(), held.end(), opens_menu)) {
        events.push_back({kVkMask, false});
        events.push_back({kVkMask, true});
    }
    for (int vk : held) events.push_back({static_cast<std::uint8_t>(vk), true});
    // The user's own later release of a Ctrl lifts that key: the program's
    // Ctrl is the other one, or the V would go out alone.
    const bool left_held = std::find(held.begin(), held.end(), VK_LCONTROL) != held.end();
    const auto ctrl = static_cast<std::uint8_t>(left_held ? VK_RCONTROL : VK_LCONTROL);
    events.push_back({ctrl, false});
    events.push_back({kVkV, false});
    events.push_back({kVkV, true});
    events.push_back({ctrl, true});
    return events;
}

void send_ctrl_v() {
    const std::vector<KeyEvent> events = ctrl_v_events(held_modifiers());
    for (size_t i = 0; i < events.size(); ++i) {
        if (i > 0) Sleep(kKeyGapMs);
        send_key(events[i]);
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
