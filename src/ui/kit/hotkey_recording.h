#pragma once
// The hotkey field's behaviour without its window: what each key does while
// the field waits for a combination, and what the field shows. Plain values
// in and out, so the whole key sequence of a recording can be checked
// without a keyboard.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Judges a candidate combination (its stored text): the error to show, or
// empty when the combination is acceptable.
using HotkeyValidator = std::function<std::wstring(const std::wstring&)>;

struct HotkeyFieldState {
    std::wstring value;      // the stored text; empty: no hotkey
    std::wstring message;    // shown instead of the value; empty: none
    bool recording = false;  // waiting for the next combination
    std::uint32_t held = 0;  // modifiers held while recording (kModAlt, kModControl, kModShift)
};

// What the window does after a key: hand the key to the default handling,
// drop it, repaint, or repaint and tell its parent that the value changed.
enum class HotkeyKeyOutcome { PassOn, Swallow, Repaint, Changed };

void start_hotkey_recording(HotkeyFieldState& state);
void stop_hotkey_recording(HotkeyFieldState& state);

// A key press: system_key for WM_SYSKEYDOWN, repeat for an auto-repeat,
// modifiers_now the modifiers the keyboard holds at this moment.
HotkeyKeyOutcome hotkey_key_down(HotkeyFieldState& state, std::uint32_t vk, bool repeat, bool system_key,
                                 std::uint32_t modifiers_now, const HotkeyValidator& validator);
HotkeyKeyOutcome hotkey_key_up(HotkeyFieldState& state, std::uint32_t vk, std::uint32_t modifiers_now);

// What the field shows: key caps, or one line of text (a message, a
// placeholder or a value that does not parse).
struct HotkeyFieldFace {
    std::vector<std::wstring> caps;
    std::wstring text;
    bool is_message = false;
};
HotkeyFieldFace hotkey_field_face(const HotkeyFieldState& state);

// Where the caps go between the field's left and right edges, given the
// width of each cap's text; caps that would reach the right edge are left
// out, and so are all after them.
struct CapSpan {
    int left;
    int right;
};
std::vector<CapSpan> hotkey_cap_spans(std::span<const int> text_widths, int left, int right);
