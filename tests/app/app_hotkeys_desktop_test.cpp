// Changing a global hotkey while the program runs: a combination another
// program holds must never cost the user the hotkey that worked before, and
// the shortcut help names what is registered after the settings window
// changed it.

#include "app/app.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/window_util.h"
#include "support/box_script.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "ui/kit/theme.h"
#include "ui/main_window/main_window.h"
#include "ui/settings/settings_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

namespace {

constexpr UINT kCtrlShiftAlt = MOD_CONTROL | MOD_SHIFT | MOD_ALT;

// Whether anyone holds the combination: registering it here fails then.
bool taken(UINT mods, UINT vk) {
    if (!RegisterHotKey(nullptr, 0x7F00, mods, vk)) return true;
    UnregisterHotKey(nullptr, 0x7F00);
    return false;
}

class HotkeySetters : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        other_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        ASSERT_NE(owner_, nullptr);
        ASSERT_NE(other_, nullptr);
        app_.settings = new Settings();
        app_.main_window = new MainWindow();
        app_.main_window->hwnd = owner_;
        // Another program's hotkey: Ctrl+Shift+Alt+F9.
        ASSERT_TRUE(RegisterHotKey(other_, 1, kCtrlShiftAlt, VK_F9));
    }
    void TearDown() override {
        app_.unregister_hotkeys(owner_);
        UnregisterHotKey(other_, 1);
        DestroyWindow(owner_);
        DestroyWindow(other_);
    }

    App app_;
    HWND owner_ = nullptr;
    HWND other_ = nullptr;
};

}  // namespace

TEST_F(HotkeySetters, ATakenCombinationKeepsThePreviousOneWorkingAndStored) {
    ASSERT_FALSE(taken(kCtrlShiftAlt, VK_F7));
    ASSERT_TRUE(app_.set_main_hotkey(L"Ctrl+Shift+Alt+F7"));
    EXPECT_EQ(app_.settings->hotkey, L"Ctrl+Shift+Alt+F7");
    EXPECT_TRUE(taken(kCtrlShiftAlt, VK_F7));

    EXPECT_FALSE(app_.set_main_hotkey(L"ctrl+shift+alt+f9"));
    EXPECT_EQ(app_.settings->hotkey, L"Ctrl+Shift+Alt+F7");
    EXPECT_EQ(app_.main_hotkey.vk, static_cast<std::uint32_t>(VK_F7));
    EXPECT_TRUE(taken(kCtrlShiftAlt, VK_F7)) << "the previous hotkey must still be registered";

    // A text without a key changes nothing at all.
    EXPECT_FALSE(app_.set_main_hotkey(L"ctrl+shift"));
    EXPECT_EQ(app_.settings->hotkey, L"Ctrl+Shift+Alt+F7");
    EXPECT_TRUE(taken(kCtrlShiftAlt, VK_F7));

    // Moving on to a free combination frees the old one.
    ASSERT_FALSE(taken(kCtrlShiftAlt, VK_F8));
    EXPECT_TRUE(app_.set_main_hotkey(L"ctrl+shift+alt+f8"));
    EXPECT_EQ(app_.settings->hotkey, L"ctrl+shift+alt+f8");
    EXPECT_FALSE(taken(kCtrlShiftAlt, VK_F7));
    EXPECT_TRUE(taken(kCtrlShiftAlt, VK_F8));
}

TEST_F(HotkeySetters, EveryConfigurableHotkeyFollowsTheSameRule) {
    struct Case {
        const char* name;
        std::function<bool(const std::wstring&)> set;
        std::wstring Settings::*text;
    } cases[] = {
        {"plain", [&](const std::wstring& t) { return app_.set_plain_hotkey(t); }, &Settings::plain_hotkey},
        {"templates", [&](const std::wstring& t) { return app_.set_snippets_hotkey(t); }, &Settings::snippets_hotkey},
        {"window shot", [&](const std::wstring& t) { return app_.set_screenshot_hotkey(1, t); },
         &Settings::screenshot_window_hotkey},
        {"full shot", [&](const std::wstring& t) { return app_.set_screenshot_hotkey(2, t); },
         &Settings::screenshot_full_hotkey},
        {"area shot", [&](const std::wstring& t) { return app_.set_screenshot_hotkey(0, t); },
         &Settings::screenshot_hotkey},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.set(L"ctrl+shift+alt+f7"));
        EXPECT_FALSE(c.set(L"ctrl+shift+alt+f9"));
        EXPECT_EQ(app_.settings->*c.text, L"ctrl+shift+alt+f7");
        EXPECT_TRUE(taken(kCtrlShiftAlt, VK_F7));
        app_.unregister_hotkeys(owner_);
        EXPECT_FALSE(taken(kCtrlShiftAlt, VK_F7));
    }
    EXPECT_FALSE(app_.set_screenshot_hotkey(3, L"ctrl+shift+alt+f7"));
}

TEST_F(HotkeySetters, TheAreaShotFallsBackOnlyWhenNothingElseWorks) {
    // No area combination in effect yet and the requested one is taken: the
    // fallback steps in, but the request itself still failed.
    ASSERT_FALSE(taken(kCtrlShiftAlt, 'P'));
    EXPECT_FALSE(app_.set_screenshot_hotkey(0, L"ctrl+shift+alt+f9"));
    EXPECT_EQ(app_.settings->screenshot_hotkey, L"ctrl+shift+alt+p");
    EXPECT_EQ(app_.shot_area_hotkey, (HotkeyPair{kCtrlShiftAlt, 'P'}));
    EXPECT_TRUE(taken(kCtrlShiftAlt, 'P'));

    // With the fallback in effect a second taken request keeps it.
    EXPECT_FALSE(app_.set_screenshot_hotkey(0, L"ctrl+shift+alt+f9"));
    EXPECT_EQ(app_.settings->screenshot_hotkey, L"ctrl+shift+alt+p");
    EXPECT_TRUE(taken(kCtrlShiftAlt, 'P'));

    // A field recording frees the program's hotkeys; its end gives back the
    // fallback and the others, also after a second pause.
    app_.unregister_hotkeys(owner_);
    app_.register_hotkeys(owner_);
    for (const bool paused : {true, true, false}) {
        app_.set_hotkeys_paused(paused);
        EXPECT_EQ(taken(kCtrlShiftAlt, 'P'), !paused);
        EXPECT_EQ(taken(MOD_CONTROL | MOD_SHIFT, '1'), !paused);
    }
}

TEST_F(HotkeySetters, NothingIsRegisteredWithoutAMainWindow) {
    app_.main_window->hwnd = nullptr;
    EXPECT_FALSE(app_.set_main_hotkey(L"ctrl+shift+alt+f7"));
    EXPECT_FALSE(app_.set_screenshot_hotkey(0, L"ctrl+shift+alt+f7"));
    EXPECT_EQ(app_.settings->hotkey, Settings().hotkey);
    EXPECT_FALSE(taken(kCtrlShiftAlt, VK_F7));
}

TEST(HotkeyHelp, HotkeysEmptiedInTheSettingsWindowShowAsNotSet) {
    using namespace testsupport;
    MainWindowFixture fx;
    fx.settings().hotkey = L"ctrl+shift+alt+f7";
    fx.settings().plain_hotkey = L"ctrl+shift+alt+f8";
    // As the program's start-up reads them from the settings.
    parse_hotkey(fx.settings().hotkey, fx.app().main_hotkey.modifiers, fx.app().main_hotkey.vk);
    fx.app().plain_hotkey = parse_hotkey(fx.settings().plain_hotkey);
    ASSERT_TRUE(fx.open(40, 40, 760, 560));
    ASSERT_TRUE(fx.app().hotkey_registered(kHotkeyOpenHistory));
    ASSERT_TRUE(fx.app().hotkey_registered(kHotkeyPlainPaste));

    fx.app().open_settings();
    SettingsWindow* sw = fx.app().settings_window;
    ASSERT_TRUE(sw && sw->window);
    show_settings_page(*sw, 3);  // start-up, with both fields
    for (const int field : {kIdSettingsMainHotkey, kIdSettingsPlainHotkey}) {
        HWND chip = GetDlgItem(sw->window, field);
        ASSERT_TRUE(chip && IsWindowVisible(chip));
        SetForegroundWindow(sw->window);
        SetFocus(chip);
        send_key(VK_RETURN);  // records
        send_key(VK_BACK);    // empties
        ASSERT_TRUE(pump_until([&] { return window_text(chip).empty(); }, 3000));
    }
    EXPECT_FALSE(taken(kCtrlShiftAlt, VK_F7));

    std::wstring help;
    {
        BoxScript script({[&] {
            help = message_box_text(open_box());
            PostMessageW(open_box(), WM_COMMAND, IDOK, 0);
        }});
        PostMessageW(fx.hwnd(), WM_COMMAND, kCmdHelpHotkeys, 0);
        ASSERT_TRUE(pump_until([&] { return script.done() && !open_box(); }, 5000));
    }
    const std::wstring not_set = tr(L"hotkey.not_set") + L" \u2014 ";
    EXPECT_NE(help.find(not_set + tr(L"hotkey.open_history")), std::wstring::npos) << help;
    EXPECT_NE(help.find(not_set + tr(L"hotkey.paste_plain")), std::wstring::npos) << help;
    EXPECT_EQ(help.find(L"??"), std::wstring::npos) << help;
}

// A combination another program takes while a field records is handled as
// at start, and the settings window shows what works.
TEST(PausedHotkeys, OnesTakenWhileAFieldRecordsAreHandledAsAtStart) {
    using namespace testsupport;
    MainWindowFixture fx;
    fx.settings().plain_hotkey = L"ctrl+shift+alt+f8";
    fx.settings().screenshot_hotkey = L"ctrl+shift+alt+f7";
    fx.app().plain_hotkey = parse_hotkey(fx.settings().plain_hotkey);
    fx.app().shot_area_hotkey = parse_hotkey(fx.settings().screenshot_hotkey);
    ASSERT_TRUE(fx.open(40, 40, 760, 560, false));  // the settings window alone takes the keyboard
    fx.app().open_settings();
    SettingsWindow* sw = fx.app().settings_window;
    ASSERT_TRUE(sw && sw->window);
    show_settings_page(*sw, 3);
    HWND plain = GetDlgItem(sw->window, kIdSettingsPlainHotkey);
    SetForegroundWindow(sw->window);
    SetFocus(plain);
    send_key(VK_RETURN);  // records: the program lets go of its hotkeys
    ASSERT_TRUE(pump_until([] { return !taken(kCtrlShiftAlt, VK_F7); }, 3000));
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7F01, kCtrlShiftAlt, VK_F8));
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7F02, kCtrlShiftAlt, VK_F7));
    send_key(VK_ESCAPE);

    // The area screenshot falls back and its field shows it; the plain
    // paste's field shows its combination refused.
    EXPECT_TRUE(pump_until([] { return taken(kCtrlShiftAlt, 'P'); }, 3000));
    EXPECT_EQ(window_text(GetDlgItem(sw->window, kIdSettingsShotAreaHotkey)), L"ctrl+shift+alt+p");
    RECT r{};
    GetWindowRect(plain, &r);
    PixelImage image(r.right - r.left, r.bottom - r.top);
    EXPECT_TRUE(pump_until(
        [&] {
            capture_screen(r, image);
            return image.count({0, 0, image.width(), image.height()}, ui_color(UiColor::ErrorText, false)) > 0;
        },
        3000));
    UnregisterHotKey(nullptr, 0x7F01);
    UnregisterHotKey(nullptr, 0x7F02);
}
