// The quick menu's size for each font and number of rows, the numbered,
// one-line, shortened text of its rows, and where a choice pastes.

#include "ui/menu/quick_menu_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Ten pixels a character, as a stand-in for a font.
int ten_per_char(const std::wstring& text) { return static_cast<int>(text.size()) * 10; }

std::wstring row(int index, const std::wstring& text, int width = 1000) {
    return quick_menu_row_text(index, text, width, ten_per_char);
}

}  // namespace

TEST(QuickMenuLayout, WidthGrowsWithLargerFonts) {
    EXPECT_EQ(quick_menu_width(10), 400);
    EXPECT_EQ(quick_menu_width(14), 400);
    EXPECT_EQ(quick_menu_width(15), 424);
    EXPECT_EQ(quick_menu_width(18), 496);
}

TEST(QuickMenuLayout, HeightFollowsRowsWithinLimits) {
    EXPECT_EQ(quick_menu_height(10, 30, 2), 306);
    EXPECT_EQ(quick_menu_height(3, 30, 2), 96);
    EXPECT_EQ(quick_menu_height(10, 50, 2), kQuickMenuMaxHeight);  // never taller
    // An empty menu is one row high, like a menu of one row.
    EXPECT_EQ(quick_menu_height(0, 30, 2), 36);
    EXPECT_EQ(quick_menu_height(1, 30, 2), 36);
    EXPECT_EQ(quick_menu_row_height(16), 30);
    EXPECT_EQ(quick_menu_row_height(8), 28);
}

TEST(QuickMenuLayout, RowsAreNumberedOnOneLine) {
    EXPECT_EQ(row(0, L"first"), L"1. first");
    EXPECT_EQ(row(9, L"tenth"), L"10. tenth");
    EXPECT_EQ(row(1, L"two\r\nlines\nhere"), L"2. two  lines here");
    EXPECT_EQ(row(2, L""), L"3. ");
}

TEST(QuickMenuLayout, LongRowsAreCutWithAnEllipsisThatFits) {
    // 100 pixels hold ten characters: "1. " and six of the text, then "…".
    const std::wstring cut = row(0, L"abcdefghijklmnopqrst", 100);
    EXPECT_EQ(cut, L"1. abcdef\u2026");
    EXPECT_LE(ten_per_char(cut), 100);
    EXPECT_EQ(row(0, L"abcdefg", 100), L"1. abcdefg");  // exactly fits: untouched
    EXPECT_EQ(row(0, L"abcdefgh", 100), L"1. abcdef\u2026");
    // The cut never splits a surrogate pair.
    const std::wstring emoji = L"abcde\U0001F600\U0001F600xyz";
    EXPECT_EQ(row(0, emoji, 100), L"1. abcde\u2026");
    // No room at all leaves the ellipsis alone; no width means no measuring.
    EXPECT_EQ(row(9, L"abc", 30), L"10. \u2026");
    EXPECT_EQ(row(0, L"abcdefghijklmnopqrst", 0), L"1. abcdefghijklmnopqrst");
}

TEST(QuickMenuLayout, ALongTextIsMeasuredFromItsStartAlone) {
    const std::wstring huge(1 << 20, L'w');
    size_t longest = 0;
    const auto measure = [&](const std::wstring& text) {
        longest = std::max(longest, text.size());
        return ten_per_char(text);
    };
    EXPECT_EQ(quick_menu_row_text(0, huge, 100, measure), L"1. wwwwww\u2026");
    EXPECT_LT(longest, 1000u);
    // However wide the row, a text that goes on ends in "…".
    const std::wstring wide = quick_menu_row_text(0, huge, 1 << 30, measure);
    EXPECT_LT(wide.size(), 1000u);
    EXPECT_EQ(wide.back(), L'\u2026');
}

TEST(QuickMenuLayout, AChoicePastesWhereTheUserWasNotWhereAnEarlierShowingWas) {
    const auto window = [](int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); };
    const HWND program = window(1), menu = window(2), earlier = window(3), own = window(4), last = window(5);
    EXPECT_EQ(quick_menu_target(program, true, menu, earlier, last), program);
    // The hotkey again over the open menu: the program it was opened over.
    EXPECT_EQ(quick_menu_target(menu, false, menu, earlier, last), earlier);
    // Over the main window, the settings or the taskbar: the program the user
    // was last in, or none at all.
    EXPECT_EQ(quick_menu_target(own, false, menu, earlier, last), last);
    EXPECT_EQ(quick_menu_target(own, false, menu, earlier, nullptr), nullptr);
    EXPECT_EQ(quick_menu_target(nullptr, false, menu, earlier, last), last);
}
