// The hotkey field under real keys: what it tells its parent, what it
// answers WM_GETTEXT, and the validator's probe against a combination that
// is already registered.

#include "config/settings.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "ui/kit/hotkey_field.h"
#include "ui/kit/window_class.h"
#include "ui/settings/hotkey_validator.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace testsupport;

namespace {

using Heard = std::pair<int, int>;
std::vector<Heard> g_commands;  // (id, code) of each WM_COMMAND

// The parent holds Ctrl+Alt+J as the program holds its hotkeys: freed while
// the field records, so that the keys reach it.
constexpr int kParentHotkey = 0x3F00;

LRESULT CALLBACK parent_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_COMMAND) return DefWindowProcW(w, m, wp, lp);
    g_commands.emplace_back(LOWORD(wp), HIWORD(wp));
    if (HIWORD(wp) == kHotkeyFieldRecordingStarted) UnregisterHotKey(w, kParentHotkey);
    if (HIWORD(wp) == kHotkeyFieldRecordingEnded) RegisterHotKey(w, kParentHotkey, MOD_CONTROL | MOD_ALT, 'J');
    return 0;
}

void press(std::initializer_list<WORD> keys) {
    for (WORD vk : keys) send_key_down(vk);
    for (auto vk = std::rbegin(keys); vk != std::rend(keys); ++vk) send_key_up(*vk);
    pump_messages(150);
}

}  // namespace

TEST(HotkeyFieldDesktop, RecordsRealKeysAndRefusesACombinationAlreadyTaken) {
    register_window_class({.name = L"KorvaneHotkeyFieldTest", .procedure = parent_proc});
    HWND parent = CreateWindowExW(WS_EX_TOPMOST, L"KorvaneHotkeyFieldTest", L"field", WS_POPUP | WS_VISIBLE, 60, 60,
                                  300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent);
    Settings settings;
    HWND chip = create_hotkey_chip(parent, kIdSettingsPlainHotkey, 20, 30, 160, 24, nullptr, L"ctrl+shift+alt+u", false,
                                   make_hotkey_validator(parent, &settings, kIdSettingsPlainHotkey));
    ASSERT_TRUE(chip);
    SetForegroundWindow(parent);
    pump_messages(150);

    // The parent's own Ctrl+Alt+J reaches the field, and the parent has it
    // back before the probe, which refuses it: nothing changes.
    ASSERT_TRUE(RegisterHotKey(parent, kParentHotkey, MOD_CONTROL | MOD_ALT, 'J'));
    click_at(client_center(chip));
    pump_messages(100);
    press({VK_CONTROL, VK_MENU, 'J'});
    EXPECT_EQ(GetWindowTextLengthW(chip), 16);  // still ctrl+shift+alt+u

    // Ctrl+Alt+M is free: one change, with the code of EN_CHANGE.
    click_at(client_center(chip));
    pump_messages(100);
    press({VK_CONTROL, VK_MENU, 'M'});
    const int id = kIdSettingsPlainHotkey;
    const Heard started{id, kHotkeyFieldRecordingStarted}, ended{id, kHotkeyFieldRecordingEnded};
    EXPECT_EQ(g_commands, (std::vector<Heard>{started, ended, started, ended, {id, EN_CHANGE}}));
    EXPECT_TRUE(RegisterHotKey(parent, 0x3F01, MOD_CONTROL | MOD_ALT, 'M')) << "the probe was not released";
    UnregisterHotKey(parent, 0x3F01);

    // WM_GETTEXT answers how many characters it copied, cut to the buffer.
    wchar_t full[32] = {};
    EXPECT_EQ(SendMessageW(chip, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(full)), 10);
    EXPECT_STREQ(full, L"ctrl+alt+m");
    wchar_t cut[5] = {L'x', L'x', L'x', L'x', L'x'};
    EXPECT_EQ(SendMessageW(chip, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(cut)), 4);
    EXPECT_STREQ(cut, L"ctrl");
    EXPECT_EQ(SendMessageW(chip, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(cut)), 0);
    EXPECT_EQ(GetWindowTextLengthW(chip), 10);

    // Leaving the field, or closing its window, ends a recording too.
    g_commands.clear();
    click_at(client_center(chip));
    pump_messages(100);
    SetFocus(parent);
    click_at(client_center(chip));
    pump_messages(100);
    DestroyWindow(parent);
    EXPECT_EQ(g_commands, (std::vector<Heard>{started, ended, started, ended}));
}
