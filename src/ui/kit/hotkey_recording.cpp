// Key handling and face of the hotkey field.

#include "ui/kit/hotkey_recording.h"

#include "config/language.h"
#include "services/hotkey.h"

namespace {

constexpr std::uint32_t kVkBack = 0x08;
constexpr std::uint32_t kVkTab = 0x09;
constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkPageUp = 0x21;
constexpr std::uint32_t kVkDown = 0x28;
constexpr std::uint32_t kVkInsert = 0x2D;
constexpr std::uint32_t kVkDelete = 0x2E;
constexpr std::uint32_t kVkF12 = 0x7B;

// Keys that type, edit or move the caret. Held by a global hotkey without Ctrl or
// Alt they would stop working in every program (a second Enter after the one
// that started recording would take Enter from the whole desktop).
bool is_typing_key(std::uint32_t vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == kVkBack || vk == kVkTab || vk == kVkReturn ||
           vk == kVkSpace || (vk >= kVkPageUp && vk <= kVkDown) || vk == kVkInsert || vk == kVkDelete;
}

// Caps: 6 pixels in, 8 pixels of padding on each side of the text, 4 between
// caps, and at least 5 pixels kept free at the right edge.
constexpr int kCapsInset = 6;
constexpr int kCapPadding = 16;
constexpr int kCapGap = 4;
constexpr int kCapsRightMargin = 5;

}  // namespace

void start_hotkey_recording(HotkeyFieldState& state) {
    state.recording = true;
    state.message.clear();
    state.held = 0;
}

void stop_hotkey_recording(HotkeyFieldState& state) {
    state.recording = false;
    state.held = 0;
}

HotkeyKeyOutcome hotkey_key_down(HotkeyFieldState& state, std::uint32_t vk, bool repeat, bool system_key,
                                 std::uint32_t modifiers_now, const HotkeyValidator& validator) {
    if (!state.recording) {
        if (system_key) return HotkeyKeyOutcome::PassOn;  // Alt+F4 and the window menu keep working
        if (vk != kVkReturn && vk != kVkSpace) return HotkeyKeyOutcome::Swallow;
        start_hotkey_recording(state);
        return HotkeyKeyOutcome::Repaint;
    }
    if (repeat) return HotkeyKeyOutcome::Swallow;  // one combination per press
    if (vk == kVkEscape) {
        stop_hotkey_recording(state);
        return HotkeyKeyOutcome::Repaint;
    }
    if (is_modifier_vk(vk)) {
        state.held = modifiers_now;
        return HotkeyKeyOutcome::Repaint;
    }
    const std::uint32_t modifiers = modifiers_now | state.held;
    if ((vk == kVkBack || vk == kVkDelete) && modifiers == 0) {
        state.value.clear();
        state.message.clear();
        stop_hotkey_recording(state);
        return HotkeyKeyOutcome::Changed;
    }
    if (vk == 0 || vk == kVkF12) {
        state.message = vk == kVkF12 ? tr(L"hotkey_field.reserved_f12") : tr(L"hotkey_field.unsupported");
        return HotkeyKeyOutcome::Repaint;
    }
    const std::wstring candidate = hotkey_to_text(modifiers, vk);
    stop_hotkey_recording(state);
    if (candidate.find(L"??") != std::wstring::npos) {
        state.message = tr(L"hotkey_field.unsupported");
        return HotkeyKeyOutcome::Repaint;
    }
    if ((modifiers & (kModControl | kModAlt)) == 0 && is_typing_key(vk)) {
        state.message = tr(L"hotkey_field.needs_modifier");
        return HotkeyKeyOutcome::Repaint;
    }
    // What is left to refuse here is Ctrl+V, which every paste sends.
    if (!is_usable_hotkey({modifiers, vk})) {
        state.message = tr(L"hotkey_field.paste_key");
        return HotkeyKeyOutcome::Repaint;
    }
    // The program holds what the stored text reads as, however it is spelt:
    // asked again, the probe would find it taken, by the program itself.
    if (parse_hotkey(state.value) == HotkeyPair{modifiers, vk}) {
        state.message.clear();
        return HotkeyKeyOutcome::Repaint;
    }
    state.message = validator ? validator(candidate) : std::wstring();
    if (!state.message.empty()) return HotkeyKeyOutcome::Repaint;
    state.value = candidate;
    return HotkeyKeyOutcome::Changed;
}

HotkeyKeyOutcome hotkey_key_up(HotkeyFieldState& state, std::uint32_t vk, std::uint32_t modifiers_now) {
    if (!state.recording || !is_modifier_vk(vk)) return HotkeyKeyOutcome::PassOn;
    state.held = modifiers_now;
    return HotkeyKeyOutcome::Repaint;
}

HotkeyFieldFace hotkey_field_face(const HotkeyFieldState& state) {
    HotkeyFieldFace face;
    if (!state.message.empty()) {
        face.text = state.message;
        face.is_message = true;
    } else if (state.recording && state.held == 0) {
        face.text = tr(L"hotkey_field.recording");
    } else if (state.recording) {
        face.caps = hotkey_display_parts(state.held, 0);
        face.caps.pop_back();  // the key part: none is pressed yet
    } else if (state.value.empty()) {
        face.text = tr(L"hotkey_field.empty");
    } else {
        // Ctrl+V is never registered: shown as a text that names no key is.
        const HotkeyPair pair = parse_hotkey(state.value);
        if (is_usable_hotkey(pair)) {
            face.caps = hotkey_display_parts(pair.modifiers, pair.vk);
        } else {
            face.text = state.value;
        }
    }
    return face;
}

std::vector<CapSpan> hotkey_cap_spans(std::span<const int> text_widths, int left, int right) {
    std::vector<CapSpan> spans;
    int x = left + kCapsInset;
    for (const int width : text_widths) {
        const int cap_right = x + width + kCapPadding;
        if (cap_right >= right - kCapsRightMargin) break;
        spans.push_back({x, cap_right});
        x = cap_right + kCapGap;
    }
    return spans;
}
