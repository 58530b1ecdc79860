#include "ui/menu/popup_menu_layout.h"
#include "ui/menu/popup_menu_item.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

PopupMenuItems sample_menu() {
    // 0 item, 1 separator, 2 disabled, 3 item, 4 separator, 5 item
    PopupMenuItems items;
    append_menu_item(items, 10, L"Open");
    append_menu_separator(items);
    PopupMenuItem disabled;
    disabled.text = L"Greyed";
    disabled.id = 30;
    disabled.enabled = false;
    push_menu_item(items, std::move(disabled));
    append_check_item(items, 40, L"Checked", true);
    append_menu_separator(items);
    append_menu_item(items, 60, L"Quit");
    return items;
}

}  // namespace

TEST(PopupMenuLayout, SizeFollowsRowsAndWidestText) {
    const PopupMenuItems items = sample_menu();
    // 6 + 4 rows * 28 + 2 separators * 9 + 6
    EXPECT_EQ(popup_menu_height(items), 142);
    EXPECT_EQ(popup_menu_height({}), 12);
    EXPECT_EQ(popup_menu_width(0), 120);
    EXPECT_EQ(popup_menu_width(62), 120);
    EXPECT_EQ(popup_menu_width(63), 121);
    EXPECT_EQ(popup_menu_width(300), 358);
}

TEST(PopupMenuLayout, HitTestStacksRowsBelowTheMargin) {
    const PopupMenuItems items = sample_menu();
    EXPECT_EQ(menu_row_at(items, 0), -1);  // top margin
    EXPECT_EQ(menu_row_at(items, 5), -1);
    EXPECT_EQ(menu_row_at(items, 6), 0);
    EXPECT_EQ(menu_row_at(items, 33), 0);
    EXPECT_EQ(menu_row_at(items, 34), -1);  // the separator is never a row
    EXPECT_EQ(menu_row_at(items, 42), -1);
    EXPECT_EQ(menu_row_at(items, 43), 2);  // disabled rows are still hit
    EXPECT_EQ(menu_row_at(items, 71), 3);
    EXPECT_EQ(menu_row_at(items, 108), 5);
    EXPECT_EQ(menu_row_at(items, 135), 5);
    EXPECT_EQ(menu_row_at(items, 136), -1);  // bottom margin
    EXPECT_EQ(menu_row_at(items, -3), -1);
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        if (items[static_cast<size_t>(row)].separator) continue;
        EXPECT_EQ(menu_row_at(items, menu_row_top(items, row)), row);
        EXPECT_EQ(menu_row_at(items, menu_row_top(items, row) + kMenuRowHeight - 1), row);
    }
}

TEST(PopupMenuLayout, KeyboardSkipsSeparatorsAndDisabledRowsAndWraps) {
    const PopupMenuItems items = sample_menu();
    // Down from nothing counts from row 0 and so lands on the next usable row.
    EXPECT_EQ(menu_step(items, -1, +1), 3);
    EXPECT_EQ(menu_step(items, -1, -1), 5);
    EXPECT_EQ(menu_step(items, 0, +1), 3);
    EXPECT_EQ(menu_step(items, 3, +1), 5);
    EXPECT_EQ(menu_step(items, 5, +1), 0);  // wraps to the top
    EXPECT_EQ(menu_step(items, 0, -1), 5);  // and to the bottom
    EXPECT_EQ(menu_step(items, 5, -1), 3);
    EXPECT_EQ(menu_step(items, 3, -1), 0);

    // A single usable row is found again from itself.
    PopupMenuItems one;
    append_menu_item(one, 1, L"Only");
    EXPECT_EQ(menu_step(one, -1, +1), 0);
    EXPECT_EQ(menu_step(one, 0, +1), 0);

    // Nothing usable: the hovered row stays as it was.
    PopupMenuItems none;
    append_menu_separator(none);
    append_menu_separator(none);
    EXPECT_EQ(menu_step(none, -1, +1), -1);
    EXPECT_EQ(menu_step(none, -1, -1), -1);
    EXPECT_EQ(menu_step({}, -1, +1), -1);

    // Page keys reach the farthest usable row within the page, or the first
    // beyond it, and stop at the ends; Home and End are a page of every row.
    const int all = std::numeric_limits<int>::max();
    EXPECT_EQ(menu_page_step(items, 0, +1, 102), 5);
    EXPECT_EQ(menu_page_step(items, 0, +1, 10), 3);
    EXPECT_EQ(menu_page_step(items, 5, +1, all), 5);
    EXPECT_EQ(menu_page_step(items, -1, -1, all), 0);
    EXPECT_EQ(menu_page_step(none, -1, +1, all), -1);
}

TEST(PopupMenuLayout, TallMenuIsCutToTheWorkAreaAndScrolls) {
    PopupMenuItems items;  // 12 + 40 * 28 = 1132 pixels of rows
    for (int i = 0; i < 40; ++i) append_menu_item(items, i + 1, L"Row");
    const RECT area{0, 40, 1280, 1040};
    const SIZE view{200, popup_menu_window_height(items, area)};  // 1000
    const int end = 132;

    const struct {
        int scroll;
        POINT at;
        MenuHit hit;
    } hits[] = {
        {0, {100, 3}, {-1, MenuArrow::None}},      // the top margin: nothing above yet
        {0, {100, 990}, {-1, MenuArrow::Down}},    // the strip over the rows below
        {0, {-5, 990}, {35, MenuArrow::None}},     // beside it: the row, by y alone
        {50, {100, 15}, {-1, MenuArrow::Up}},      // something above: a strip at the top too
        {50, {100, 16}, {2, MenuArrow::None}},     // the rows under the offset
        {end, {100, 993}, {39, MenuArrow::None}},  // the end: no strip below
    };
    for (const auto& c : hits) {
        const MenuHit hit = menu_hit(items, view, c.scroll, c.at);
        EXPECT_EQ(hit.row, c.hit.row) << c.scroll << " " << c.at.y;
        EXPECT_EQ(hit.arrow, c.hit.arrow) << c.scroll << " " << c.at.y;
    }

    // A row comes fully into view clear of the strips, moving as little as
    // it must; at the ends the margins show instead.
    const struct {
        int scroll, row, shown;
    } shows[] = {
        {0, 33, 0},     // in view already
        {0, 34, 2},     // partly under the bottom strip
        {0, 39, end},   // the last row: to the end
        {end, 4, 102},  // just above: under the top strip
    };
    for (const auto& c : shows) EXPECT_EQ(menu_scroll_to_show(items, view.cy, c.scroll, c.row), c.shown) << c.row;
}

TEST(PopupMenuLayout, MenuStaysInsideTheWorkAreaOfItsMonitor) {
    const RECT primary{0, 0, 1280, 984};  // work area above a taskbar
    // Plenty of room: where asked.
    EXPECT_EQ(place_popup_menu(100, 200, 150, 100, primary).x, 100);
    EXPECT_EQ(place_popup_menu(100, 200, 150, 100, primary).y, 200);
    // Exactly fitting stays.
    EXPECT_EQ(place_popup_menu(1130, 884, 150, 100, primary).x, 1130);
    EXPECT_EQ(place_popup_menu(1130, 884, 150, 100, primary).y, 884);
    // Near the bottom-right corner: 4 pixels inside both edges.
    POINT corner = place_popup_menu(1270, 980, 150, 100, primary);
    EXPECT_EQ(corner.x, 1280 - 150 - 4);
    EXPECT_EQ(corner.y, 984 - 100 - 4);
    // Wider than the area: starts at its left edge; likewise for height.
    EXPECT_EQ(place_popup_menu(500, 10, 1400, 100, primary).x, 0);
    EXPECT_EQ(place_popup_menu(500, 10, 1280, 100, primary).x, 0);
    EXPECT_EQ(place_popup_menu(10, 500, 100, 2000, primary).y, 0);
    // Barely narrower: the 4-pixel gap would push it off, so the edge holds.
    EXPECT_EQ(place_popup_menu(500, 10, 1278, 100, primary).x, 0);
    // Negative points come back onto the area.
    EXPECT_EQ(place_popup_menu(-50, -20, 150, 100, primary).x, 0);
    EXPECT_EQ(place_popup_menu(-50, -20, 150, 100, primary).y, 0);

    // A second monitor to the right: the menu stays on it, not on the primary.
    const RECT second{1280, 0, 3200, 1040};
    POINT right = place_popup_menu(3150, 1000, 200, 300, second);
    EXPECT_EQ(right.x, 3200 - 200 - 4);
    EXPECT_EQ(right.y, 1040 - 300 - 4);
    EXPECT_EQ(place_popup_menu(1500, 100, 200, 300, second).x, 1500);
    EXPECT_EQ(place_popup_menu(1500, 100, 3000, 300, second).x, 1280);
    // And one to the left, with negative coordinates.
    const RECT left{-1920, -200, 0, 880};
    POINT on_left = place_popup_menu(-300, -150, 200, 100, left);
    EXPECT_EQ(on_left.x, -300);
    EXPECT_EQ(on_left.y, -150);
    EXPECT_EQ(place_popup_menu(-100, 850, 200, 100, left).x, -204);
    EXPECT_EQ(place_popup_menu(-100, 850, 200, 100, left).y, 776);
    EXPECT_EQ(place_popup_menu(-2500, -900, 200, 100, left).x, -1920);
    EXPECT_EQ(place_popup_menu(-2500, -900, 200, 100, left).y, -200);
}

TEST(PopupMenuLayout, SubmenuOpensBesideItsRowAndFlipsAtTheEdge) {
    const RECT area{0, 0, 1280, 1024};
    const RECT parent{100, 50, 300, 250};
    POINT at = place_submenu(parent, 6 + 28 + 9, 150, area);
    EXPECT_EQ(at.x, 302);
    EXPECT_EQ(at.y, 50 + 43);
    // No room on the right: beside the left edge instead of over the parent.
    const RECT at_edge{1100, 50, 1250, 250};
    EXPECT_EQ(place_submenu(at_edge, 6, 150, area).x, 1100 - 2 - 150);
    // No room on either side: stays right; the general clamp will pull it in.
    const RECT wide{10, 50, 1200, 250};
    EXPECT_EQ(place_submenu(wide, 6, 150, area).x, 1202);
}

TEST(PopupMenuItems, HelpersAndPackedCommands) {
    PopupMenuItems items;
    append_menu_item(items, 7, L"Seven");
    append_check_item(items, 8, L"Eight", false);
    append_menu_separator(items);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(items[0].enabled);
    EXPECT_FALSE(items[0].checked);
    EXPECT_FALSE(items[1].checked);
    EXPECT_TRUE(items[2].separator);
    EXPECT_TRUE(items[2].text.empty());
    EXPECT_EQ(items[2].id, 0u);

    // Copies are deep: changing the copy's submenu leaves the original.
    PopupMenuItem parent;
    parent.text = L"More";
    append_menu_item(parent.children, 1, L"A");
    PopupMenuItem copy = parent;
    copy.children[0].text = L"B";
    EXPECT_EQ(parent.children[0].text, L"A");

    const MenuCommand cmd = unpack_menu_command((5ull << 8) | 50, 3);
    EXPECT_EQ(cmd.tag, 50u);
    EXPECT_EQ(cmd.index, 3u);  // capped at the count: the menu's extra row
    EXPECT_EQ(unpack_menu_command((2ull << 8) | 60, 3).index, 2u);
    EXPECT_EQ(unpack_menu_command(60, 3).index, 0u);
    EXPECT_EQ(unpack_menu_command(pack_menu_command(60, 1234), 5000).index, 1234u);
    EXPECT_EQ(unpack_menu_command(pack_menu_command(60, 1234), 5000).tag, 60u);
    // The tag is one byte; everything above is index.
    EXPECT_EQ(unpack_menu_command(0xFFFFFFFFFFFFFFFFull, 10).tag, 255u);
    EXPECT_EQ(unpack_menu_command(0xFFFFFFFFFFFFFFFFull, 10).index, 10u);
}
