// The hotkey field's key handling, its face, the clash check of the settings
// window's hotkey fields, and the fit of the field's texts into 160 pixels.

#include "ui/kit/hotkey_recording.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/hotkey.h"
#include "services/ids.h"
#include "support/test_support.h"
#include "ui/kit/theme.h"
#include "ui/settings/hotkey_validator.h"
#include "ui/settings/settings_values.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Outcome = HotkeyKeyOutcome;

constexpr std::uint32_t kCtrl = kModControl, kShift = kModShift, kAlt = kModAlt;

// A field under a keyboard: each press says what the keyboard holds then.
struct Keyboard {
    HotkeyFieldState field;
    HotkeyValidator validator;
    int changes = 0;

    Outcome down(std::uint32_t vk, std::uint32_t held = 0, bool repeat = false, bool system = false) {
        const Outcome outcome = hotkey_key_down(field, vk, repeat, system, held, validator);
        if (outcome == Outcome::Changed) ++changes;
        return outcome;
    }
    Outcome up(std::uint32_t vk, std::uint32_t held = 0) { return hotkey_key_up(field, vk, held); }
    std::vector<std::wstring> caps() const { return hotkey_field_face(field).caps; }
    std::wstring text() const { return hotkey_field_face(field).text; }
};

std::wstring chip_texts_dir() { return testsupport::source_dir() + L"\\lang"; }

}  // namespace

TEST(HotkeyRecording, ModifiersShowAsCapsThenTheKeyMakesOneCombination) {
    Keyboard k;
    k.field.value = L"ctrl+shift+v";
    EXPECT_EQ(k.down(VK_SPACE), Outcome::Repaint);
    EXPECT_EQ(k.text(), tr(L"hotkey_field.recording"));
    k.down(VK_CONTROL, kCtrl);
    k.down(VK_CONTROL, kCtrl, true);  // held down: repeats change nothing
    k.down(VK_SHIFT, kCtrl | kShift);
    EXPECT_EQ(k.caps(), (std::vector<std::wstring>{L"Ctrl", L"Shift"}));
    k.up(VK_SHIFT, kCtrl);
    EXPECT_EQ(k.caps(), (std::vector<std::wstring>{L"Ctrl"}));
    k.down(VK_SHIFT, kCtrl | kShift);
    EXPECT_EQ(k.down('K', kCtrl | kShift), Outcome::Changed);
    EXPECT_EQ(k.field.value, L"ctrl+shift+k");
    EXPECT_FALSE(k.field.recording);
    EXPECT_EQ(k.caps(), (std::vector<std::wstring>{L"Ctrl", L"Shift", L"K"}));
    // The key still held repeats, and another press without a click or Enter
    // is no recording: one combination per press.
    EXPECT_EQ(k.down('K', kCtrl | kShift, true), Outcome::Swallow);
    EXPECT_EQ(k.down('J', kCtrl | kShift), Outcome::Swallow);
    EXPECT_EQ(k.changes, 1);
}

TEST(HotkeyRecording, EscapeBackspaceAndTheSameCombinationAgain) {
    Keyboard k;
    k.field.value = L"alt+f2";
    k.field.message = L"old refusal";
    start_hotkey_recording(k.field);
    EXPECT_TRUE(k.field.message.empty());
    EXPECT_EQ(k.down(VK_ESCAPE), Outcome::Repaint);
    EXPECT_EQ(k.field.value, L"alt+f2");
    EXPECT_FALSE(k.field.recording);

    // The combination already set, in any spelling the settings file may hold, clears a refusal and tells
    // nobody: asked, the validator would find it held by the program itself.
    k.validator = [](const std::wstring&) { return std::wstring(L"taken"); };
    for (const wchar_t* spelling : {L"alt+f2", L"Alt+F2", L"f2+ALT"}) {
        k.field.value = spelling;
        k.down(VK_RETURN);
        k.field.message = L"refusal";
        EXPECT_EQ(k.down(VK_F2, kAlt, false, true), Outcome::Repaint) << spelling;
        EXPECT_TRUE(k.field.message.empty()) << spelling;
        EXPECT_EQ(k.field.value, spelling);
    }
    k.validator = nullptr;

    // Ctrl+Backspace is a combination; Backspace or Delete alone clears.
    k.down(VK_RETURN);
    k.down(VK_CONTROL, kCtrl);
    EXPECT_EQ(k.down(VK_BACK, kCtrl), Outcome::Changed);
    EXPECT_EQ(k.field.value, L"ctrl+backspace");
    k.down(VK_SPACE);
    EXPECT_EQ(k.down(VK_BACK), Outcome::Changed);
    EXPECT_EQ(k.field.value, L"");
    EXPECT_EQ(k.text(), tr(L"hotkey_field.empty"));
    k.field.value = L"f3";
    k.down(VK_SPACE);
    EXPECT_EQ(k.down(VK_DELETE), Outcome::Changed);
    EXPECT_EQ(k.field.value, L"");
    EXPECT_EQ(k.changes, 3);
}

TEST(HotkeyRecording, RefusedKeysLeaveTheValueAndSaySo) {
    Keyboard k;
    k.field.value = L"ctrl+q";
    k.down(VK_RETURN);
    // F12 belongs to debuggers: refused alone and with modifiers, and the
    // field keeps listening.
    EXPECT_EQ(k.down(VK_F12), Outcome::Repaint);
    EXPECT_EQ(k.field.message, tr(L"hotkey_field.reserved_f12"));
    EXPECT_TRUE(k.field.recording);
    k.down(VK_CONTROL, kCtrl);
    k.down(VK_F12, kCtrl);
    EXPECT_TRUE(k.field.recording);
    EXPECT_TRUE(hotkey_field_face(k.field).is_message);

    // A key without a name in the stored form.
    k.down(VK_OEM_1, kCtrl);
    EXPECT_EQ(k.field.message, tr(L"hotkey_field.unsupported"));
    EXPECT_FALSE(k.field.recording);

    // Ctrl+V, which every paste of the program sends.
    k.down(VK_SPACE);
    EXPECT_EQ(k.down('V', kCtrl), Outcome::Repaint);
    EXPECT_EQ(k.field.message, tr(L"hotkey_field.paste_key"));

    // The validator's refusal.
    k.validator = [](const std::wstring& candidate) {
        return candidate == L"ctrl+shift+1" ? std::wstring(L"taken") : std::wstring();
    };
    k.down(VK_SPACE);
    EXPECT_EQ(k.down('1', kCtrl | kShift), Outcome::Repaint);
    EXPECT_EQ(k.field.message, L"taken");
    EXPECT_EQ(k.field.value, L"ctrl+q");
    EXPECT_EQ(k.text(), L"taken");
    EXPECT_EQ(k.changes, 0);
}

TEST(HotkeyRecording, KeysAtRestAndTheWindowsKey) {
    Keyboard k;
    k.field.value = L"ctrl+v";  // never registered: shown as a text without a key is
    EXPECT_EQ(k.text(), L"ctrl+v");
    k.field.value = L"ctrl+shift";  // no key: shown as written
    EXPECT_EQ(k.text(), L"ctrl+shift");
    EXPECT_EQ(k.down('A'), Outcome::Swallow);
    EXPECT_EQ(k.down(VK_F4, kAlt, false, true), Outcome::PassOn);  // Alt+F4 still closes the window
    EXPECT_EQ(k.up(VK_CONTROL), Outcome::PassOn);
    EXPECT_FALSE(k.field.recording);

    // The Windows keys are not read: held alone they leave the placeholder,
    // and the combination is recorded without them.
    k.down(VK_RETURN);
    k.down(VK_LWIN, 0);
    EXPECT_EQ(k.text(), tr(L"hotkey_field.recording"));
    EXPECT_EQ(k.down('K', kCtrl), Outcome::Changed);
    EXPECT_EQ(k.field.value, L"ctrl+k");
}

TEST(HotkeyRecording, TypingKeysNeedCtrlOrAlt) {
    Keyboard k;
    k.field.value = L"ctrl+k";
    // Enter starts recording; a second Enter must not take Enter away from
    // every program.
    for (const auto& [vk, held] :
         {std::pair{VK_RETURN, 0u}, {'A', kShift}, {VK_LEFT, 0u}, {'7', 0u}, {VK_BACK, kShift}}) {
        k.down(VK_RETURN);
        EXPECT_EQ(k.down(vk, held), Outcome::Repaint) << vk;
        EXPECT_EQ(k.field.message, tr(L"hotkey_field.needs_modifier"));
    }
    EXPECT_EQ(k.field.value, L"ctrl+k");
    // Function keys and Print Screen work alone, typing keys with Alt.
    for (const auto& [vk, held, text] :
         {std::tuple{VK_F11, 0u, L"f11"}, {VK_SNAPSHOT, kShift, L"shift+prtscr"}, {VK_RETURN, kAlt, L"alt+enter"}}) {
        k.down(VK_SPACE);
        EXPECT_EQ(k.down(vk, held, false, held == kAlt), Outcome::Changed);
        EXPECT_EQ(k.field.value, text);
    }
}

TEST(HotkeyRecording, CapsThatDoNotFitAreLeftOut) {
    const int widths[] = {30, 40, 30, 10};
    const std::vector<CapSpan> spans = hotkey_cap_spans(widths, 0, 160);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].left, 6);
    EXPECT_EQ(spans[1].left, spans[0].right + 4);
    EXPECT_LT(spans[1].right, 155);
    EXPECT_TRUE(hotkey_cap_spans(std::vector<int>{200}, 0, 160).empty());
}

TEST(HotkeyValidator, AnotherFieldsCombinationIsRefusedWithItsName) {
    Settings s;
    s.hotkey = L"ctrl+shift+v";
    s.plain_hotkey = L"ctrl+alt+x";
    s.screenshot_hotkey = L"ctrl+alt+x";
    const std::wstring busy = tr(L"hotkey_field.busy_own") + L" ";
    EXPECT_EQ(hotkey_clash_message(L"Shift+Ctrl+V", kIdSettingsSnippetsHotkey, &s), busy + tr(L"startup.hotkey_open"));
    EXPECT_EQ(hotkey_clash_message(L"ctrl+shift+v", kIdSettingsMainHotkey, &s), L"");  // its own
    // The first field in order that holds it is named.
    EXPECT_EQ(hotkey_clash_message(L"ctrl+alt+x", kIdSettingsShotFullHotkey, &s), busy + tr(L"startup.hotkey_plain"));
    EXPECT_EQ(hotkey_clash_message(L"ctrl+alt+x", kIdSettingsPlainHotkey, &s), busy + tr(L"screenshot.hotkey_area"));
    // An emptied field holds nothing.
    s.plain_hotkey.clear();
    s.screenshot_hotkey.clear();
    EXPECT_EQ(hotkey_clash_message(L"ctrl+alt+x", kIdSettingsMainHotkey, &s), L"");
    EXPECT_EQ(hotkey_clash_message(L"ctrl+shift+v", kIdSettingsPlainHotkey, nullptr), L"");
    // The fixed ones are the program's own, named as such.
    EXPECT_EQ(hotkey_clash_message(L"ctrl+shift+alt+v", kIdSettingsMainHotkey, nullptr),
              busy + tr(L"hotkey_field.quick_menu"));
    EXPECT_EQ(hotkey_clash_message(L"ctrl+shift+9", kIdSettingsMainHotkey, &s),
              busy + tr_format(L"hotkey_field.quick_slot", 9));
}

// Every text the field shows instead of caps, and the default combinations'
// caps, fit the 160-pixel field in the settings window's text font.
TEST(HotkeyFieldTexts, FitTheFieldInEveryLanguage) {
    ScopedFont font = make_ui_font(13, FW_NORMAL);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    ScopedSelect keep(dc.get(), font.get());
    auto width = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const Settings defaults;
    for (const wchar_t* code : {L"ru", L"en"}) {
        ASSERT_TRUE(load_language(code, chip_texts_dir()));
        std::vector<std::wstring> texts{tr(L"hotkey_field.recording"),      tr(L"hotkey_field.empty"),
                                        tr(L"hotkey_field.unsupported"),    tr(L"hotkey_field.reserved_f12"),
                                        tr(L"hotkey_field.needs_modifier"), tr(L"hotkey_field.busy_other"),
                                        tr(L"hotkey_field.paste_key")};
        for (const std::wstring& fixed : {tr(L"hotkey_field.quick_menu"), tr_format(L"hotkey_field.quick_slot", 9)})
            texts.push_back(tr(L"hotkey_field.busy_own") + L" " + fixed);
        for (const HotkeyFieldRow& row : hotkey_fields()) {
            texts.push_back(tr(L"hotkey_field.busy_own") + L" " + tr(row.label_key));
            const HotkeyPair pair = parse_hotkey(defaults.*row.setting);
            std::vector<int> widths;
            for (const std::wstring& cap : hotkey_display_parts(pair.modifiers, pair.vk)) widths.push_back(width(cap));
            EXPECT_EQ(hotkey_cap_spans(widths, 0, 160).size(), widths.size()) << defaults.*row.setting;
        }
        for (const std::wstring& text : texts) EXPECT_LE(width(text), 160 - 16) << code << L": " << text;
    }
}

TEST(SettingsNumbers, OnlyWholeNumbersAreReadAndKeptInRange) {
    EXPECT_EQ(parse_setting_number(L"30", 0, 3650), 30);
    EXPECT_EQ(parse_setting_number(L" 7 ", 0, 3650), 7);
    EXPECT_EQ(parse_setting_number(L"99999999999999999999", 0, 3650), 3650);
    EXPECT_EQ(parse_setting_number(L"0", 1, 168), 1);
    for (const wchar_t* text : {L"", L"  ", L"-5", L"+5", L"3a", L"1 2", L"\x0663"})
        EXPECT_FALSE(parse_setting_number(text, 0, 3650)) << text;
    // A retention field's 0 or emptied text is "never", never the spin's lowest hour.
    EXPECT_EQ(parse_retention_number(L"0", 168), 0);
    EXPECT_EQ(parse_retention_number(L" ", 168), 0);
    EXPECT_EQ(parse_retention_number(L"9999", 168), 168);
    EXPECT_FALSE(parse_retention_number(L"-1", 168));
    EXPECT_EQ(filter_mode_row(L"blacklist"), 2);
    EXPECT_EQ(filter_mode_row(L"nonsense"), 0);
    EXPECT_EQ(filter_mode_of_row(filter_mode_row(L"whitelist")), L"whitelist");
    EXPECT_EQ(filter_mode_of_row(3), L"");
}
