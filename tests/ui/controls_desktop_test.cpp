// The custom controls under real input, and what they paint.

#include "support/desktop_input.h"
#include "support/pixels.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/toggle_switch.h"
#include "ui/kit/window_class.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace testsupport;

namespace {

constexpr int kToggleId = 501;
constexpr int kButtonId = 502;

std::map<std::pair<int, int>, int> g_commands;  // (id, notification) -> count

LRESULT CALLBACK parent_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND) {
        ++g_commands[{LOWORD(wp), HIWORD(wp)}];
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

int commands(int id) {
    int n = 0;
    for (const auto& [key, count] : g_commands)
        if (key.first == id) n += count;
    return n;
}

bool checked(HWND toggle) { return SendMessageW(toggle, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT window_rect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

class ControlsDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        g_commands.clear();
        register_window_class({.name = L"KorvaneControlsTestParent",
                               .procedure = parent_proc,
                               .background = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))});
        parent_ = CreateWindowExW(WS_EX_TOPMOST, L"KorvaneControlsTestParent", L"controls", WS_POPUP | WS_VISIBLE, 40,
                                  40, 500, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(parent_);
        toggle_ = create_toggle_switch(parent_, kToggleId, L"Watch", 20, 20, 200, kToggleSwitchHeight, false, true);
        button_ = CreateWindowExW(0, L"BUTTON", L"Save", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 60, 120, 32,
                                  parent_, reinterpret_cast<HMENU>(kButtonId), GetModuleHandleW(nullptr), nullptr);
        attach_round_button(button_, true, true);
        SetForegroundWindow(parent_);
        move_mouse(POINT{400, 380});
        pump_messages(150);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        pump_messages(30);
    }

    // Press over one point, move, release over another.
    void drag(POINT from, POINT to) {
        move_mouse(from);
        pump_messages(30);
        mouse_button(false, true);
        pump_messages(30);
        move_mouse(to);
        pump_messages(30);
        mouse_button(false, false);
        pump_messages(80);
    }

    HWND parent_ = nullptr;
    HWND toggle_ = nullptr;
    HWND button_ = nullptr;
};

}  // namespace

TEST_F(ControlsDesktop, ToggleFlipsOncePerReleaseOverIt) {
    const POINT on = client_center(toggle_);
    const POINT off = to_screen(parent_, POINT{300, 250});

    click_at(on);
    pump_messages(100);
    EXPECT_TRUE(checked(toggle_));
    EXPECT_EQ(commands(kToggleId), 1);
    EXPECT_EQ((g_commands[{kToggleId, 0}]), 1);  // notification 0

    click_at(on);
    pump_messages(100);
    EXPECT_FALSE(checked(toggle_));
    EXPECT_EQ(commands(kToggleId), 2);

    // No capture: a press released elsewhere changes nothing...
    drag(on, off);
    EXPECT_FALSE(checked(toggle_));
    EXPECT_EQ(commands(kToggleId), 2);
    // ...and a release over it flips it even when the press began elsewhere.
    drag(off, on);
    EXPECT_TRUE(checked(toggle_));
    EXPECT_EQ(commands(kToggleId), 3);
    EXPECT_EQ(GetCapture(), nullptr);

    // A double click is two presses and two releases: two flips, and the
    // mouse stays free.
    click_at(on);
    click_at(on);
    pump_messages(100);
    EXPECT_TRUE(checked(toggle_));
    EXPECT_EQ(commands(kToggleId), 5);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageW(toggle_, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
}

TEST_F(ControlsDesktop, RoundButtonSendsOnlyWhenReleasedOverIt) {
    const POINT on = client_center(button_);
    const POINT off = to_screen(parent_, POINT{300, 250});

    click_at(on);
    pump_messages(100);
    EXPECT_EQ(commands(kButtonId), 1);
    EXPECT_EQ((g_commands[{kButtonId, BN_CLICKED}]), 1);
    EXPECT_EQ(GetFocus(), button_);

    // Double click: two commands, nothing left pressed or captured.
    click_at(on);
    click_at(on);
    pump_messages(100);
    EXPECT_EQ(commands(kButtonId), 3);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonPressed, 0);

    drag(on, off);
    EXPECT_EQ(commands(kButtonId), 3);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonPressed, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    // Space: pressed while down, one command on release.
    SetFocus(button_);
    send_key_down(VK_SPACE);
    pump_messages(80);
    EXPECT_NE(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonPressed, 0);
    EXPECT_EQ(commands(kButtonId), 3);
    send_key_up(VK_SPACE);
    pump_messages(80);
    EXPECT_EQ(commands(kButtonId), 4);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonPressed, 0);

    // Hover comes with the mouse and goes with it.
    move_mouse(on);
    pump_messages(80);
    EXPECT_NE(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonHover, 0);
    move_mouse(off);
    // Leaving is noticed by a timer of the system's hover time.
    pump_until([&] { return (GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonHover) == 0; }, 2000);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_USERDATA) & kRoundButtonHover, 0);
    // Theme and kind survive the state changes.
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_USERDATA), kRoundButtonDark | kRoundButtonPrimary);
}

TEST_F(ControlsDesktop, TogglePaintsTrackAndKnobForEachState) {
    for (bool dark : {true, false}) {
        attach_toggle_switch(toggle_, dark);
        for (bool on : {false, true}) {
            SendMessageW(toggle_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
            PixelImage image(200, 22);
            print_client(toggle_, image);
            const int knob_x = on ? 30 : 10;
            const int track_x = on ? 8 : 33;
            EXPECT_EQ(image.at(knob_x, 11), ui_color(UiColor::ToggleKnob, dark)) << dark << on;
            EXPECT_EQ(image.at(track_x, 11), ui_color(on ? UiColor::ToggleTrackOn : UiColor::ToggleTrackOff, dark))
                << dark << on;
            EXPECT_EQ(image.at(44, 1), ui_color(UiColor::WindowBackground, dark));
            // The label in the text colour, right of the track.
            EXPECT_GT(image.count(RECT{48, 0, 200, 22}, ui_color(UiColor::Text, dark)), 0);

            SendMessageW(toggle_, BM_SETSTATE, TRUE, 0);
            print_client(toggle_, image);
            EXPECT_EQ(image.at(knob_x, 11), ui_color(UiColor::ToggleKnobPressed, dark));
            SendMessageW(toggle_, BM_SETSTATE, FALSE, 0);
        }
    }
    // On the screen too: changing the check from outside leaves a switch,
    // not the standard check box.
    attach_toggle_switch(toggle_, true);
    SendMessageW(toggle_, BM_SETCHECK, BST_UNCHECKED, 0);
    pump_messages(50);
    SendMessageW(toggle_, BM_SETCHECK, BST_CHECKED, 0);
    pump_messages(50);
    PixelImage screen(200, 22);
    capture_screen(window_rect(toggle_), screen);
    EXPECT_EQ(screen.at(30, 11), 0xFFFFFFu);
    EXPECT_EQ(screen.at(8, 11), ui_color(UiColor::ToggleTrackOn, true));
}

TEST_F(ControlsDesktop, RoundButtonPaintsFillAndReadableText) {
    for (bool dark : {true, false}) {
        for (bool primary : {true, false}) {
            attach_round_button(button_, dark, primary);
            for (LONG_PTR state : {LONG_PTR(0), kRoundButtonHover, kRoundButtonPressed}) {
                SetWindowLongPtrW(button_, GWLP_USERDATA,
                                  (dark ? kRoundButtonDark : 0) | (primary ? kRoundButtonPrimary : 0) | state);
                PixelImage image(120, 32);
                print_client(button_, image);
                const COLORREF fill =
                    round_button_fill(dark, primary, state == kRoundButtonHover, state == kRoundButtonPressed);
                EXPECT_EQ(image.at(5, 16), fill) << dark << primary << state;
                EXPECT_EQ(image.at(0, 16), round_button_colors(dark, primary).border);
                EXPECT_GT(image.count(RECT{10, 6, 110, 26}, text_color_for_fill(fill)), 0) << dark << primary << state;
            }
        }
    }
}

TEST_F(ControlsDesktop, StyledFieldsOnAPanel) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    HWND panel =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 240, 10, 250, 380, parent_, nullptr, inst, nullptr);
    attach_panel_background(panel, true);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 24,
                                panel, nullptr, inst, nullptr);
    attach_thin_border(edit, true);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 10, 50,
                                 150, 200, panel, nullptr, inst, nullptr);
    SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageW(combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(L"A very long choice that can never fit into the field"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    attach_combo_style(combo, true);
    HWND buddy =
        CreateWindowExW(0, L"EDIT", L"5", WS_CHILD | WS_VISIBLE, 10, 100, 60, 24, panel, nullptr, inst, nullptr);
    HWND spin =
        CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                        0, 0, 0, 0, panel, nullptr, inst, nullptr);
    attach_spin_style(spin, true);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages(100);

    const bool dark = true;
    const COLORREF field = ui_color(UiColor::FieldBackground, dark);

    // Thin border: the sunken edge gives way to one pixel in the border colour.
    EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT client;
    GetClientRect(edit, &client);
    const RECT outer = window_rect(edit);
    EXPECT_EQ((outer.right - outer.left) - client.right, 2);
    EXPECT_EQ((outer.bottom - outer.top) - client.bottom, 2);
    {
        PixelImage shot(200, 24);
        capture_screen(outer, shot);
        EXPECT_EQ(shot.at(0, 12), ui_color(UiColor::Border, dark));
        EXPECT_EQ(shot.at(199, 0), ui_color(UiColor::Border, dark));
        // The panel colours the edit it holds.
        EXPECT_EQ(shot.at(100, 12), field);
    }

    // The combo's text stops short of the arrow strip, which holds only the
    // arrow on the field colour.
    {
        const RECT r = window_rect(combo);
        const int w = r.right - r.left, h = r.bottom - r.top;
        PixelImage shot(w, h);
        capture_screen(r, shot);
        const int strip = GetSystemMetrics(SM_CXVSCROLL);
        const RECT strip_rect{w - strip, 1, w - 1, h - 1};
        const int strip_pixels = (strip_rect.right - strip_rect.left) * (strip_rect.bottom - strip_rect.top);
        const int arrow = shot.count(strip_rect, ui_color(UiColor::ArrowGlyph, dark));
        EXPECT_GT(arrow, 4);
        EXPECT_EQ(shot.count(strip_rect, field) + arrow, strip_pixels);
        // Two pixels of gap before the strip as well.
        EXPECT_EQ(shot.count(RECT{w - strip - 2, 1, w - strip, h - 1}, field), 2 * (h - 2));
        EXPECT_GT(shot.count(RECT{6, 1, w - strip - 2, h - 1}, ui_color(UiColor::Text, dark)), 0);
        EXPECT_EQ(shot.at(0, 0), ui_color(UiColor::Accent, dark));
        EXPECT_EQ(shot.at(w - 1, h - 1), ui_color(UiColor::Accent, dark));
    }

    // The spin: accent frame and both arrows.
    {
        const RECT r = window_rect(spin);
        const int w = r.right - r.left, h = r.bottom - r.top;
        ASSERT_GT(w, 6);
        PixelImage shot(w, h);
        capture_screen(r, shot);
        EXPECT_EQ(shot.at(0, 0), ui_color(UiColor::Accent, dark));
        EXPECT_GT(shot.count(RECT{1, 1, w - 1, h / 2}, ui_color(UiColor::ArrowGlyph, dark)), 0);
        EXPECT_GT(shot.count(RECT{1, h / 2, w - 1, h - 1}, ui_color(UiColor::ArrowGlyph, dark)), 0);
    }

    // One brush per colour, however often the children ask.
    PixelImage scratch(4, 4);
    const LRESULT first =
        SendMessageW(panel, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(scratch.dc()), reinterpret_cast<LPARAM>(edit));
    const LRESULT second = SendMessageW(panel, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(scratch.dc()), 0);
    EXPECT_NE(first, 0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GetTextColor(scratch.dc()), ui_color(UiColor::Text, dark));
    EXPECT_EQ(GetBkColor(scratch.dc()), field);
    attach_panel_background(panel, false);
    EXPECT_NE(SendMessageW(panel, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(scratch.dc()), 0), first);
    EXPECT_EQ(GetBkColor(scratch.dc()), ui_color(UiColor::FieldBackground, false));
}
