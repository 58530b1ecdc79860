// The quick menu's size for each font and number of rows, and the numbered,
// one-line, shortened text of its rows.

#include "ui/menu/quick_menu_layout.h"

#include <gtest/gtest.h>

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
