#include "services/hotkey.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>

namespace {

struct Parsed {
    bool ok;
    std::uint32_t mods, vk;
};

Parsed parse(const std::wstring& text) {
    Parsed p{};
    p.mods = 0xDEAD;  // must be overwritten even when no key is found
    p.vk = 0xBEEF;
    p.ok = parse_hotkey(text, p.mods, p.vk);
    return p;
}

// Builds the text of a modifier set in a given spelling, for round trips.
std::wstring modifier_text(std::uint32_t mods, bool shouty) {
    std::wstring t;
    if (mods & kModControl) append_hotkey_part(t, shouty ? L"CONTROL" : L"ctrl");
    if (mods & kModShift) append_hotkey_part(t, shouty ? L"Shift" : L"shift");
    if (mods & kModAlt) append_hotkey_part(t, shouty ? L"ALT" : L"alt");
    if (mods & kModWin) append_hotkey_part(t, shouty ? L"Win" : L"win");
    return t;
}

}  // namespace

TEST(HotkeyText, EveryKeyLetterAndDigitRoundTripsUnderEveryModifierSet) {
    std::vector<std::pair<std::wstring, std::uint32_t>> keys;
    for (const auto& k : key_names()) keys.emplace_back(k.name, k.vk);
    for (wchar_t c = L'a'; c <= L'z'; ++c) keys.emplace_back(std::wstring(1, c), c - L'a' + 'A');
    for (wchar_t c = L'0'; c <= L'9'; ++c) keys.emplace_back(std::wstring(1, c), c);
    ASSERT_EQ(keys.size(), 28u + 26u + 10u);

    for (std::uint32_t mods = 0; mods < 16; ++mods) {
        for (const auto& [name, vk] : keys) {
            std::wstring canonical = modifier_text(mods, false);
            append_hotkey_part(canonical, name);
            // Modifiers written after the key, in capitals, still parse.
            std::wstring upper = name;
            for (auto& c : upper) c = towupper(c);
            std::wstring shuffled = upper;
            const std::wstring m = modifier_text(mods, true);
            if (!m.empty()) shuffled += L"+" + m;

            for (const auto& text : {canonical, shuffled}) {
                Parsed p = parse(text);
                ASSERT_TRUE(p.ok) << text;
                EXPECT_EQ(p.mods, mods) << text;
                EXPECT_EQ(p.vk, vk) << text;
                EXPECT_EQ(hotkey_to_text(p.mods, p.vk), canonical) << text;
            }
        }
    }
}

TEST(HotkeyText, TheTableHasTwentyEightDistinctNamesAndKeys) {
    std::set<std::wstring> names;
    std::set<std::uint32_t> vks;
    for (const auto& k : key_names()) {
        names.insert(k.name);
        vks.insert(k.vk);
    }
    EXPECT_EQ(names.size(), 28u);
    EXPECT_EQ(vks.size(), 28u);
    EXPECT_EQ(key_names()[0].vk, 0x2Eu);
    EXPECT_EQ(key_names()[15].vk, 0x2Cu);
}

TEST(HotkeyText, AliasesAreReadButWrittenInTheirCanonicalForm) {
    struct Case {
        const wchar_t* text;
        std::uint32_t mods, vk;
        const wchar_t* written;
    } cases[] = {
        {L"Ctrl+Shift+V", kModControl | kModShift, 'V', L"ctrl+shift+v"},
        {L"control+shift+v", kModControl | kModShift, 'V', L"ctrl+shift+v"},
        {L"shift+ctrl+v", kModControl | kModShift, 'V', L"ctrl+shift+v"},
        {L"alt+prtscr", kModAlt, 0x2C, L"alt+prtscr"},
        {L"alt+print", kModAlt, 0x2C, L"alt+prtscr"},
        {L"Alt+PrintScreen", kModAlt, 0x2C, L"alt+prtscr"},
        {L"ctrl+del", kModControl, 0x2E, L"ctrl+delete"},
        {L"win+Escape", kModWin, 0x1B, L"win+esc"},
        {L"ctrl+ctrl+v", kModControl, 'V', L"ctrl+v"},
        {L"prtscr", 0, 0x2C, L"prtscr"},
    };
    for (const auto& c : cases) {
        Parsed p = parse(c.text);
        EXPECT_TRUE(p.ok) << c.text;
        EXPECT_EQ(p.mods, c.mods) << c.text;
        EXPECT_EQ(p.vk, c.vk) << c.text;
        EXPECT_EQ(hotkey_to_text(p.mods, p.vk), c.written) << c.text;
    }
}

TEST(HotkeyText, MalformedTextsGiveNoKeyOrIgnoreTheirBadParts) {
    // No key at all: rejected, but the modifiers found are still reported.
    for (const wchar_t* text : {L"", L"+", L"+++", L"ctrl+shift", L"ctrl+shift+f13", L"ctrl+!", L"ctrl+ab",
                                L"ctrl+\u0444", L"ctrl+ v", L"ctrl+v ", L"ctrl+shift+space bar"}) {
        Parsed p = parse(text);
        EXPECT_FALSE(p.ok) << text;
        EXPECT_EQ(p.vk, 0u) << text;
    }
    EXPECT_EQ(parse(L"ctrl+shift").mods, kModControl | kModShift);
    EXPECT_EQ(parse(L"").mods, 0u);

    // Empty parts are skipped; a later key replaces an earlier one.
    Parsed p = parse(L"ctrl++shift++v+");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.mods, kModControl | kModShift);
    EXPECT_EQ(p.vk, static_cast<std::uint32_t>('V'));
    EXPECT_EQ(parse(L"ctrl+shift+v+b").vk, static_cast<std::uint32_t>('B'));
    EXPECT_EQ(parse(L"ctrl+shift+v+nonsense").vk, static_cast<std::uint32_t>('V'));

    // Parts are not trimmed: a blank makes a modifier unknown.
    p = parse(L" ctrl+v");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.mods, 0u);

    // The pair form gives key 0 for the same texts.
    EXPECT_EQ(parse_hotkey(std::wstring(L"ctrl+shift")), (HotkeyPair{kModControl | kModShift, 0}));
    EXPECT_EQ(parse_hotkey(std::wstring(L"ctrl+shift+alt+p")), (HotkeyPair{kModControl | kModShift | kModAlt, 'P'}));

    // A key the text form has no name for prints as "??".
    EXPECT_EQ(hotkey_to_text(kModControl, 0x7C), L"ctrl+??");
    EXPECT_EQ(hotkey_to_text(0, 0), L"??");
}

TEST(HotkeyDisplay, ModifiersInFixedOrderThenTheKeyCap) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(hotkey_display_parts(kModWin | kModAlt | kModShift | kModControl, 'V'),
              (V{L"Ctrl", L"Shift", L"Alt", L"Win", L"V"}));
    EXPECT_EQ(hotkey_display_parts(kModControl | kModShift, 0x25), (V{L"Ctrl", L"Shift", L"\u2190"}));
    EXPECT_EQ(hotkey_display_parts(0, 0x7A), V{L"F11"});
    EXPECT_EQ(hotkey_display_parts(kModAlt, 0x1B), (V{L"Alt", L"esc"}));
    EXPECT_EQ(hotkey_display_text(kModControl | kModShift, 'V'), L"Ctrl+Shift+V");
    EXPECT_EQ(hotkey_display_text(kModControl | kModShift | kModAlt, '7'), L"Ctrl+Shift+Alt+7");

    // Every key of the table has a display name; only esc keeps its text name.
    const std::pair<std::uint32_t, const wchar_t*> caps[] = {
        {0x08, L"Backspace"}, {0x09, L"Tab"},    {0x0D, L"Enter"},  {0x1B, L"esc"},    {0x20, L"Space"},
        {0x21, L"PgUp"},      {0x22, L"PgDn"},   {0x23, L"End"},    {0x24, L"Home"},   {0x25, L"\u2190"},
        {0x26, L"\u2191"},    {0x27, L"\u2192"}, {0x28, L"\u2193"}, {0x2C, L"PrtScr"}, {0x2D, L"Insert"},
        {0x2E, L"Delete"},    {0x70, L"F1"},     {0x79, L"F10"},    {0x7B, L"F12"},    {'A', L"A"},
        {'0', L"0"},          {0x7C, L"??"},     {0, L"??"},
    };
    for (const auto& [vk, cap] : caps) EXPECT_EQ(vk_display_name(vk), cap) << vk;
    for (const auto& k : key_names()) EXPECT_NE(vk_display_name(k.vk), L"??") << k.name;
}

TEST(HotkeyDisplay, ModifierKeysAreToldFromOrdinaryKeys) {
    for (std::uint32_t vk : {16u, 17u, 18u, 91u, 92u, 160u, 161u, 162u, 163u, 164u, 165u})
        EXPECT_TRUE(is_modifier_vk(vk)) << vk;
    for (std::uint32_t vk : {0u, 15u, 19u, 20u, 90u, 93u, 159u, 166u, static_cast<std::uint32_t>('V')})
        EXPECT_FALSE(is_modifier_vk(vk)) << vk;
}
