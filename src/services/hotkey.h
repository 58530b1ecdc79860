#pragma once
// Global hotkeys in their three forms: the (modifiers, virtual key) pair that
// RegisterHotKey takes, the lower-case text stored in the settings file
// ("ctrl+shift+v") and the capitalised key caps the hotkey field draws.
// Pure text work: no window and no windows.h, so tests reach it directly.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// RegisterHotKey's modifier bits (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;
inline constexpr std::uint32_t kModWin = 8;

// A hotkey as RegisterHotKey wants it; a key of 0 means "no hotkey".
struct HotkeyPair {
    std::uint32_t modifiers = 0;
    std::uint32_t vk = 0;
    bool operator==(const HotkeyPair&) const = default;
};

// Whether a pair can be one of the program's global hotkeys: it has a key,
// and it is not exactly Ctrl+V, which every paste sends. Held as a hotkey,
// Ctrl+V would take pasting from the whole desktop, the program's own
// pastes included. Ctrl+Shift+V and the like are fine.
bool is_usable_hotkey(const HotkeyPair& pair);

// The program's fixed hotkeys: the quick menu, and quick slot n (1..9) on
// Ctrl+Shift and its digit.
inline constexpr HotkeyPair kQuickMenuHotkey{kModControl | kModShift | kModAlt, 'V'};
constexpr HotkeyPair quick_slot_hotkey(int slot) {
    return {kModControl | kModShift, static_cast<std::uint32_t>('0' + slot)};
}

struct KeyName {
    const wchar_t* name;
    std::uint32_t vk;
};

// The named keys of the text form, in lookup order (first match wins both ways).
std::span<const KeyName> key_names();

// Reads "ctrl+shift+v" (parts in any case; "control", "del", "escape",
// "print" and "printscreen" accepted too). Modifiers and key are always
// written; the result says whether a key was found.
bool parse_hotkey(const std::wstring& text, std::uint32_t& modifiers, std::uint32_t& vk);
// The same, as a pair; a text without a key gives key 0.
HotkeyPair parse_hotkey(const std::wstring& text);

// The canonical stored form: "ctrl", "shift", "alt", "win", then the key.
std::wstring hotkey_to_text(std::uint32_t modifiers, std::uint32_t vk);
// Appends "+" when text is not empty, then part.
void append_hotkey_part(std::wstring& text, const std::wstring& part);

// Key caps for display: "Ctrl", "Shift", "Alt", "Win", then the key's name.
std::vector<std::wstring> hotkey_display_parts(std::uint32_t modifiers, std::uint32_t vk);
// The display parts joined by "+" ("Ctrl+Shift+V").
std::wstring hotkey_display_text(std::uint32_t modifiers, std::uint32_t vk);
std::wstring vk_display_name(std::uint32_t vk);

// Shift, control, alt and the Windows keys, either side.
bool is_modifier_vk(std::uint32_t vk);
