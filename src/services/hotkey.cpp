#include "services/hotkey.h"

#include <array>

namespace {

constexpr std::array<KeyName, 28> kKeyNames{{
    {L"delete", 0x2E}, {L"backspace", 0x08}, {L"enter", 0x0D}, {L"esc", 0x1B},    {L"space", 0x20},    {L"tab", 0x09},
    {L"insert", 0x2D}, {L"home", 0x24},      {L"end", 0x23},   {L"pageup", 0x21}, {L"pagedown", 0x22}, {L"left", 0x25},
    {L"right", 0x27},  {L"up", 0x26},        {L"down", 0x28},  {L"prtscr", 0x2C}, {L"f1", 0x70},       {L"f2", 0x71},
    {L"f3", 0x72},     {L"f4", 0x73},        {L"f5", 0x74},    {L"f6", 0x75},     {L"f7", 0x76},       {L"f8", 0x77},
    {L"f9", 0x78},     {L"f10", 0x79},       {L"f11", 0x7A},   {L"f12", 0x7B},
}};

// Spellings accepted when reading but never written.
constexpr std::array<KeyName, 4> kKeyAliases{{
    {L"del", 0x2E},
    {L"escape", 0x1B},
    {L"print", 0x2C},
    {L"printscreen", 0x2C},
}};

// Only ASCII letters fold: the text form is ASCII, and a locale-dependent
// fold must not turn some other letter into a key name.
std::wstring ascii_lower(const std::wstring& s) {
    std::wstring out = s;
    for (auto& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

bool is_letter_vk(std::uint32_t vk) { return vk >= 'A' && vk <= 'Z'; }
bool is_digit_vk(std::uint32_t vk) { return vk >= '0' && vk <= '9'; }

const wchar_t* name_of_key(std::uint32_t vk) {
    for (const auto& k : kKeyNames)
        if (k.vk == vk) return k.name;
    return nullptr;
}

std::uint32_t key_of_part(const std::wstring& part) {
    if (part.size() == 1) {
        wchar_t c = part[0];
        if (c >= L'a' && c <= L'z') return static_cast<std::uint32_t>(c - L'a' + 'A');
        if (c >= L'0' && c <= L'9') return static_cast<std::uint32_t>(c);
        return 0;
    }
    for (const auto& k : kKeyNames)
        if (part == k.name) return k.vk;
    for (const auto& k : kKeyAliases)
        if (part == k.name) return k.vk;
    return 0;
}

}  // namespace

std::span<const KeyName> key_names() { return kKeyNames; }

bool is_usable_hotkey(const HotkeyPair& pair) { return pair.vk != 0 && pair != HotkeyPair{kModControl, 'V'}; }

bool parse_hotkey(const std::wstring& text, std::uint32_t& modifiers, std::uint32_t& vk) {
    modifiers = 0;
    vk = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'+', start);
        if (end == std::wstring::npos) end = text.size();
        // Parts are deliberately not trimmed: " ctrl" is no modifier.
        std::wstring part = ascii_lower(text.substr(start, end - start));
        if (part.empty()) {
        } else if (part == L"ctrl" || part == L"control") {
            modifiers |= kModControl;
        } else if (part == L"shift") {
            modifiers |= kModShift;
        } else if (part == L"alt") {
            modifiers |= kModAlt;
        } else if (part == L"win") {
            modifiers |= kModWin;
        } else if (std::uint32_t key = key_of_part(part)) {
            vk = key;  // a later key replaces an earlier one
        }
        start = end + 1;
    }
    return vk != 0;
}

HotkeyPair parse_hotkey(const std::wstring& text) {
    HotkeyPair pair;
    parse_hotkey(text, pair.modifiers, pair.vk);
    return pair;
}

void append_hotkey_part(std::wstring& text, const std::wstring& part) {
    if (!text.empty()) text += L'+';
    text += part;
}

std::wstring hotkey_to_text(std::uint32_t modifiers, std::uint32_t vk) {
    std::wstring text;
    if (modifiers & kModControl) append_hotkey_part(text, L"ctrl");
    if (modifiers & kModShift) append_hotkey_part(text, L"shift");
    if (modifiers & kModAlt) append_hotkey_part(text, L"alt");
    if (modifiers & kModWin) append_hotkey_part(text, L"win");
    if (is_letter_vk(vk)) {
        append_hotkey_part(text, std::wstring(1, static_cast<wchar_t>(vk - 'A' + L'a')));
    } else if (is_digit_vk(vk)) {
        append_hotkey_part(text, std::wstring(1, static_cast<wchar_t>(vk)));
    } else if (const wchar_t* name = name_of_key(vk)) {
        append_hotkey_part(text, name);
    } else {
        append_hotkey_part(text, L"??");
    }
    return text;
}

std::wstring vk_display_name(std::uint32_t vk) {
    if (is_letter_vk(vk) || is_digit_vk(vk)) return std::wstring(1, static_cast<wchar_t>(vk));
    switch (vk) {
    case 0x08: return L"Backspace";
    case 0x09: return L"Tab";
    case 0x0D: return L"Enter";
    case 0x20: return L"Space";
    case 0x21: return L"PgUp";
    case 0x22: return L"PgDn";
    case 0x23: return L"End";
    case 0x24: return L"Home";
    case 0x25: return L"\u2190";
    case 0x26: return L"\u2191";
    case 0x27: return L"\u2192";
    case 0x28: return L"\u2193";
    case 0x2C: return L"PrtScr";
    case 0x2D: return L"Insert";
    case 0x2E: return L"Delete";
    default: break;
    }
    if (vk >= 0x70 && vk <= 0x7B) return L"F" + std::to_wstring(vk - 0x70 + 1);
    if (const wchar_t* name = name_of_key(vk)) return name;
    return L"??";
}

std::vector<std::wstring> hotkey_display_parts(std::uint32_t modifiers, std::uint32_t vk) {
    std::vector<std::wstring> parts;
    if (modifiers & kModControl) parts.push_back(L"Ctrl");
    if (modifiers & kModShift) parts.push_back(L"Shift");
    if (modifiers & kModAlt) parts.push_back(L"Alt");
    if (modifiers & kModWin) parts.push_back(L"Win");
    parts.push_back(vk_display_name(vk));
    return parts;
}

std::wstring hotkey_display_text(std::uint32_t modifiers, std::uint32_t vk) {
    std::wstring text;
    for (const auto& part : hotkey_display_parts(modifiers, vk)) append_hotkey_part(text, part);
    return text;
}

bool is_modifier_vk(std::uint32_t vk) {
    return vk == 16 || vk == 17 || vk == 18 || vk == 91 || vk == 92 || (vk >= 160 && vk <= 165);
}
