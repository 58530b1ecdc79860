#include "ui/main_window/main_window_layout.h"
#include "ui/main_window/entry_format.h"

#include <gtest/gtest.h>

namespace {

const std::vector<int> kMenuTexts = {30, 30, 70, 30, 55, 30};

}  // namespace

TEST(FrameLayout, ListAndSidebarShareTheWidthDownToTheNarrowestList) {
    // Wide: the sidebar keeps its width, the list takes the rest.
    FrameLayout f = compute_frame_layout(744, 521, kTopRowHeight, 130, false, kMenuTexts);
    ASSERT_TRUE(f.sidebar_shown);
    EXPECT_EQ(f.sidebar.x, 12);
    EXPECT_EQ(f.sidebar.width, 130);
    EXPECT_EQ(f.list.x, 154);
    EXPECT_EQ(f.list.x + f.list.width, 744 - 12);
    EXPECT_EQ(f.list.y, f.sidebar.y);
    EXPECT_EQ(f.list.y + f.list.height, 521 - 30);  // the switch row stays free
    EXPECT_EQ(f.empty_hint.x, f.list.x);

    // Narrow: the list keeps 200 pixels and the sidebar gives way.
    f = compute_frame_layout(300, 400, kTopRowHeight, 130, false, kMenuTexts);
    ASSERT_TRUE(f.sidebar_shown);
    EXPECT_EQ(f.list.width, 200);
    EXPECT_EQ(f.sidebar.width, 64);
    EXPECT_EQ(f.list.x + f.list.width, 300 - 12);

    // At 236 there is no room left for it at all.
    f = compute_frame_layout(236, 400, kTopRowHeight, 130, false, kMenuTexts);
    EXPECT_FALSE(f.sidebar_shown);
    EXPECT_EQ(f.list.x, 12);
    EXPECT_EQ(f.list.width, 212);

    // Hidden by the user: the list spans the window whatever the sidebar's width.
    f = compute_frame_layout(744, 521, kTopRowHeight, 130, true, kMenuTexts);
    EXPECT_FALSE(f.sidebar_shown);
    EXPECT_EQ(f.list.x, 12);
    EXPECT_EQ(f.list.width, 720);
}

TEST(FrameLayout, MenuRowSearchAndShortWindows) {
    const FrameLayout f = compute_frame_layout(500, 90, kTopRowHeight, 130, false, kMenuTexts);
    // Buttons run from x 10, one pixel apart, short texts padded to 40.
    ASSERT_EQ(f.menu_buttons.size(), kMenuTexts.size());
    EXPECT_EQ(f.menu_buttons[0].x, 10);
    EXPECT_EQ(f.menu_buttons[0].width, 42);
    EXPECT_EQ(f.menu_buttons[1].x, 53);
    EXPECT_EQ(f.menu_buttons[2].width, 82);
    EXPECT_EQ(menu_button_width(10), 40);
    EXPECT_EQ(top_row_min_width(kMenuTexts), 10 + (42 + 1) * 4 + (82 + 1) + (67 + 1) + 12);
    // The search button sits right of the field; a tiny window keeps 40-pixel lists.
    EXPECT_EQ(f.search_button.x, f.search.x + f.search.width + 6);
    EXPECT_EQ(f.list.height, 40);
    EXPECT_EQ(compute_frame_layout(100, 300, kTopRowHeight, 130, false, {}).search.width, 120);
}

TEST(FrameLayout, TooltipsStayInsideTheWindow) {
    FrameBox t = place_tooltip(100, 58, 60, 600);
    EXPECT_EQ(t.x, 100 - 37);
    EXPECT_EQ(t.y, 60);
    EXPECT_EQ(t.width, 74);
    // Near the right edge it ends at the client edge, near the left at 0.
    t = place_tooltip(590, 58, 100, 600);
    EXPECT_EQ(t.x + t.width, 600);
    EXPECT_EQ(place_tooltip(10, 58, 100, 600).x, 0);
    // A very short text still gets a tooltip 30 wide.
    EXPECT_EQ(place_tooltip(100, 58, 10, 600).width, 30);
}

TEST(Wheel, NotchesAccumulateAndScrollByTheConfiguredLines) {
    int rest = 0;
    EXPECT_EQ(take_wheel_notches(rest, 40), 0);
    EXPECT_EQ(take_wheel_notches(rest, 40), 0);
    EXPECT_EQ(take_wheel_notches(rest, 40), 1);
    EXPECT_EQ(rest, 0);
    EXPECT_EQ(take_wheel_notches(rest, -250), -2);
    EXPECT_EQ(rest, -10);
    // A turn back first eats the remainder of the other way.
    EXPECT_EQ(take_wheel_notches(rest, 100), 0);
    EXPECT_EQ(rest, 90);

    EXPECT_EQ(scrolled_top_row(10, 50, -2, 3), 16);  // -240 with three lines: six rows down
    EXPECT_EQ(scrolled_top_row(10, 50, 1, 3), 7);
    EXPECT_EQ(scrolled_top_row(1, 50, 2, 4), 0);
    EXPECT_EQ(scrolled_top_row(45, 50, -3, 4), 49);
    EXPECT_EQ(scrolled_top_row(10, 50, -1, 9), 14);  // lines beyond 4 count as 4
    EXPECT_EQ(scrolled_top_row(10, 50, -1, 0), 11);
}

TEST(SidebarToggle, HidingKeepsTheRightEdgeAndShowingRestoresTheWidth) {
    // Hiding shrinks by the sidebar, but never below what the menu row needs.
    EXPECT_EQ(sidebar_toggle_width(true, 760, 130, 0, 400), 630);
    EXPECT_EQ(sidebar_toggle_width(true, 450, 130, 0, 400), 400);
    // Showing brings back the remembered width, or adds the sidebar.
    EXPECT_EQ(sidebar_toggle_width(false, 630, 130, 760, 400), 760);
    EXPECT_EQ(sidebar_toggle_width(false, 630, 130, 0, 400), 760);
    EXPECT_EQ(sidebar_toggle_width(false, 900, 130, 760, 400), 900);

    EXPECT_EQ(sidebar_toggle_left(100, 760, 630, 0, 1280), 230);
    // Growing past the work area's left edge stops there, unless it was outside already.
    EXPECT_EQ(sidebar_toggle_left(50, 630, 760, 0, 1280), 0);
    EXPECT_EQ(sidebar_toggle_left(-30, 630, 760, 0, 1280), -160);
    // A window pushed past the right edge comes back to it.
    EXPECT_EQ(sidebar_toggle_left(1000, 200, 400, 0, 1280), 800);
}

TEST(StartView, TheStoredViewComesBackWhenItStillMakesSense) {
    auto same = [](StartView v, bool templates, int mode, int category) {
        return v.templates == templates && v.mode == mode && v.category == category;
    };
    EXPECT_TRUE(same(start_view(true, kViewTrash, 4), true, kViewAll, -1));
    EXPECT_TRUE(same(start_view(false, kViewImages, 4), false, kViewImages, -1));
    EXPECT_TRUE(same(start_view(false, kViewCategory, 4), false, kViewCategory, 4));
    EXPECT_TRUE(same(start_view(false, kViewCategory, 0), false, kViewAll, -1));  // no category to show
    EXPECT_TRUE(same(start_view(false, 7, 3), false, kViewCategory, 3));
    EXPECT_TRUE(same(start_view(false, kViewTrash, -1), false, kViewTrash, -1));
    EXPECT_TRUE(same(start_view(false, -3, -1), false, kViewAll, -1));
}
