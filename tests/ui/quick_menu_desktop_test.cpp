// The quick menu on the desktop: shown at the cursor, it stays there when
// the window system moves it once afterwards (under Wine a window manager's
// late notice about the popup's first frame does), and a second such move is
// left alone rather than fought.

#include "support/desktop_input.h"
#include "support/test_support.h"
#include "ui/menu/quick_menu.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

POINT top_left(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

void moved_by_the_system(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testsupport::pump_messages(50);
}

}  // namespace

TEST(QuickMenuDesktop, StaysWhereItWasShown) {
    QuickMenu menu;
    ASSERT_TRUE(menu.create(GetModuleHandleW(nullptr), nullptr));
    menu.populate();
    ASSERT_TRUE(SetCursorPos(300, 200));
    menu.show_at_cursor();
    testsupport::pump_messages(50);
    ASSERT_EQ(top_left(menu.hwnd).x, 300);
    ASSERT_EQ(top_left(menu.hwnd).y, 200);

    moved_by_the_system(menu.hwnd, 0, 0);
    EXPECT_EQ(top_left(menu.hwnd).x, 300);
    EXPECT_EQ(top_left(menu.hwnd).y, 200);
    moved_by_the_system(menu.hwnd, 10, 10);
    EXPECT_EQ(top_left(menu.hwnd).x, 10) << "only once a showing";

    // Hidden and shown again: its new place is held anew.
    menu.hide();
    SetCursorPos(420, 260);
    menu.show_at_cursor();
    moved_by_the_system(menu.hwnd, 0, 0);
    EXPECT_EQ(top_left(menu.hwnd).x, 420);
    EXPECT_EQ(top_left(menu.hwnd).y, 260);
    menu.hide();
}
