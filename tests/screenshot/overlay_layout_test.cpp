// The screenshot editor's selection and toolbar arithmetic.

#include "screenshot/overlay_toolbar.h"
#include "screenshot/shot_geometry.h"
#include "services/ids.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace {

::testing::AssertionResult is_rect(const PixelRect& r, int x, int y, int w, int h) {
    if (r.x == x && r.y == y && r.w == w && r.h == h) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

const ToolbarButton* find(const ToolbarLayout& layout, int id) {
    for (const auto& b : layout.buttons)
        if (b.id == id) return &b;
    return nullptr;
}

}  // namespace

TEST(SelectionGeometry, DragsInEveryDirection) {
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {130, 120}, false), 100, 100, 30, 20));
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {70, 120}, false), 70, 100, 30, 20));
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {130, 80}, false), 100, 80, 30, 20));
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {70, 80}, false), 70, 80, 30, 20));
    // With Shift a square of the larger distance, grown toward the cursor.
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {70, 95}, true), 70, 70, 30, 30));
    EXPECT_TRUE(is_rect(rect_from_points({100, 100}, {105, 140}, true), 100, 100, 40, 40));
}

TEST(SelectionGeometry, ClampKeepsSizeAndPushesInside) {
    const PixelRect bounds{0, 0, 800, 600};
    EXPECT_TRUE(is_rect(clamp_rect({-30, 10, 100, 50}, bounds), 0, 10, 100, 50));
    EXPECT_TRUE(is_rect(clamp_rect({750, 580, 100, 50}, bounds), 700, 550, 100, 50));
    EXPECT_TRUE(is_rect(clamp_rect({-5, -5, 900, 700}, bounds), 0, 0, 800, 600));
    EXPECT_TRUE(is_rect(clamp_rect({10, 10, 100, 50}, bounds), 10, 10, 100, 50));
}

TEST(SelectionGeometry, HandlesAndTheirPrecedence) {
    const PixelRect r{100, 100, 200, 100};
    EXPECT_EQ(hit_test_handles(r, {100, 100}, 7), ResizeHandle::TopLeft);
    EXPECT_EQ(hit_test_handles(r, {306, 94}, 7), ResizeHandle::TopRight);
    EXPECT_EQ(hit_test_handles(r, {95, 200}, 7), ResizeHandle::BottomLeft);
    EXPECT_EQ(hit_test_handles(r, {300, 200}, 7), ResizeHandle::BottomRight);
    EXPECT_EQ(hit_test_handles(r, {200, 93}, 7), ResizeHandle::Top) << "anywhere along an edge";
    EXPECT_EQ(hit_test_handles(r, {200, 207}, 7), ResizeHandle::Bottom);
    EXPECT_EQ(hit_test_handles(r, {107, 150}, 7), ResizeHandle::Left);
    EXPECT_EQ(hit_test_handles(r, {293, 150}, 7), ResizeHandle::Right);
    EXPECT_EQ(hit_test_handles(r, {200, 150}, 7), ResizeHandle::None) << "inside, off the edges";
    EXPECT_EQ(hit_test_handles(r, {200, 92}, 7), ResizeHandle::None) << "8 pixels out";
    EXPECT_EQ(hit_test_handles(r, {310, 150}, 7), ResizeHandle::None);
    // A selection thinner than twice the reach: the corner tests come first.
    EXPECT_EQ(hit_test_handles({100, 100, 6, 6}, {103, 103}, 7), ResizeHandle::TopLeft);

    EXPECT_TRUE(rect_contains(r, {100, 100}));
    EXPECT_FALSE(rect_contains(r, {300, 150}));
    EXPECT_FALSE(rect_contains(r, {150, 200}));
}

TEST(SelectionGeometry, ResizeFlipsAndKeepsEightPixels) {
    const PixelRect r{100, 100, 200, 100};  // right 300, bottom 200
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::TopLeft, {120, 90}), 120, 90, 180, 110));
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::Right, {350, 0}), 100, 100, 250, 100)) << "y is ignored";
    // The left edge dragged past the right one flips the selection.
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::Left, {400, 150}), 300, 100, 100, 100));
    // Below eight pixels: the edge being dragged gives way, the other stays.
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::Left, {297, 150}), 292, 100, 8, 100));
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::Right, {103, 150}), 100, 100, 8, 100));
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::Top, {0, 199}), 100, 192, 200, 8));
    EXPECT_TRUE(is_rect(resize_rect(r, ResizeHandle::BottomLeft, {299, 101}), 292, 100, 8, 8));
}

TEST(Toolbar, LayoutAndPlacement) {
    // Room below: right-aligned with the selection, 10 pixels under it.
    ToolbarLayout below = layout_toolbar_for({800, 200, 400, 300}, 1920, 1080);
    EXPECT_EQ(below.bar.right - below.bar.left, 706);
    EXPECT_EQ(below.bar.bottom - below.bar.top, kToolbarHeight);
    EXPECT_EQ(below.bar.right, 1200);
    EXPECT_EQ(below.bar.top, 510);
    ASSERT_FALSE(below.buttons.empty());
    EXPECT_EQ(below.buttons.front().rect.left, below.bar.left + 6);
    EXPECT_EQ(below.buttons.back().id, kCaptureCancel);
    EXPECT_EQ(below.buttons.back().rect.right, below.bar.right - 8);
    // Buttons never overlap and run left to right.
    for (size_t i = 1; i < below.buttons.size(); ++i)
        EXPECT_LE(below.buttons[i - 1].rect.right, below.buttons[i].rect.left) << i;

    // Touching the bottom: above the selection.
    EXPECT_EQ(layout_toolbar_for({800, 600, 400, 470}, 1920, 1080).bar.top, 550);
    // Filling the screen: inside it, near its bottom edge.
    const ToolbarLayout full = layout_toolbar_for({0, 0, 1920, 1080}, 1920, 1080);
    EXPECT_EQ(full.bar.top, 1030);
    EXPECT_EQ(full.bar.right, 1912) << "8 pixels from the right edge";
    // A small selection near the left edge: the bar starts 8 pixels in.
    EXPECT_EQ(layout_toolbar_for({20, 100, 50, 50}, 1920, 1080).bar.left, 8);
}

TEST(Toolbar, HitTestAndCommands) {
    const ToolbarLayout layout = layout_toolbar_for({800, 200, 400, 300}, 1920, 1080);
    const ToolbarButton* rect_tool = find(layout, 5);
    ASSERT_NE(rect_tool, nullptr);
    const int index = toolbar_button_at(layout.buttons, {rect_tool->rect.left, rect_tool->rect.top});
    ASSERT_GE(index, 0);
    EXPECT_EQ(layout.buttons[index].id, 5);
    EXPECT_EQ(toolbar_button_at(layout.buttons, {rect_tool->rect.right, rect_tool->rect.top}), -1) << "the gap";
    EXPECT_EQ(toolbar_button_at(layout.buttons, {layout.thickness_box.left + 5, layout.thickness_box.top + 5}), -1);
    EXPECT_EQ(toolbar_button_at(layout.buttons, {layout.separators[0], layout.bar.top + 20}), -1);

    EXPECT_EQ(toolbar_command(5).kind, ToolbarCommand::Tool);
    EXPECT_EQ(toolbar_command(5).tool, CaptureTool::Rect);
    EXPECT_EQ(toolbar_command(13).color, kDefaultShotColor);
    EXPECT_EQ(toolbar_command(101).action, CaptureAction::Copy);
    EXPECT_EQ(toolbar_command(103).kind, ToolbarCommand::Cancel);
    EXPECT_EQ(toolbar_command(50).kind, ToolbarCommand::None);

    EXPECT_TRUE(toolbar_button_active(13, CaptureTool::Arrow, kDefaultShotColor));
    EXPECT_FALSE(toolbar_button_active(14, CaptureTool::Arrow, kDefaultShotColor));
    EXPECT_FALSE(toolbar_button_active(13, CaptureTool::Arrow, 0x00123456)) << "no swatch for other colours";
    EXPECT_TRUE(toolbar_button_active(2, CaptureTool::Arrow, 0));
    EXPECT_FALSE(toolbar_button_active(100, CaptureTool::Arrow, 0));
}

TEST(Toolbar, LabelAndTooltipStayOnScreen) {
    const EdgeRect screen{0, 0, 1920, 1080};
    // Above the selection, its bottom 8 pixels over the top edge.
    EXPECT_EQ(size_label_box({100, 100, 50, 50}, 60, 16, screen).bottom, 92);
    // Near the top edge: inside, 8 pixels below it.
    EXPECT_EQ(size_label_box({100, 10, 50, 50}, 60, 16, screen).top, 18);
    // At the far right: its right edge 4 pixels in.
    EXPECT_EQ(size_label_box({1900, 100, 20, 20}, 60, 16, screen).right, 1916);

    const EdgeRect button{500, 700, 528, 728};
    const EdgeRect tip = tooltip_box(button, 100, 16, screen);
    EXPECT_EQ((tip.left + tip.right) / 2, 514);
    EXPECT_EQ(tip.bottom, 694);
    EXPECT_EQ(tooltip_box({500, 10, 528, 38}, 100, 16, screen).top, 44) << "below a button at the top";
    EXPECT_EQ(tooltip_box({1900, 700, 1918, 728}, 100, 16, screen).right, 1916);
    EXPECT_EQ(tooltip_box({0, 700, 20, 728}, 100, 16, screen).left, 4);
}

namespace {

bool inside(const EdgeRect& r, const EdgeRect& area) {
    return area.left <= r.left && r.right <= area.right && area.top <= r.top && r.bottom <= area.bottom;
}

bool same(const EdgeRect& a, const EdgeRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Everything drawn beside a selection placed for the monitors (a 60 × 16
// label, and tooltips over the first and last buttons) lies in area.
::testing::AssertionResult all_inside(const std::vector<MonitorArea>& monitors, const PixelRect& bounds,
                                      const PixelRect& selection, const EdgeRect& area) {
    const EdgeRect used = work_area_for(monitors, selection, bounds);
    const ToolbarLayout bar = layout_toolbar_for(selection, used);
    const EdgeRect parts[] = {bar.bar, size_label_box(selection, 60, 16, used),
                              tooltip_box(bar.buttons.front().rect, 90, 16, used),
                              tooltip_box(bar.buttons.back().rect, 90, 16, used)};
    const char* names[] = {"toolbar", "size label", "first tooltip", "last tooltip"};
    for (size_t i = 0; i < 4; ++i)
        if (!inside(parts[i], area))
            return ::testing::AssertionFailure()
                   << names[i] << " (" << parts[i].left << ", " << parts[i].top << ", " << parts[i].right << ", "
                   << parts[i].bottom << ") outside (" << area.left << ", " << area.top << ", " << area.right << ", "
                   << area.bottom << ")";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Toolbar, StaysOnTheMonitorOfTheSelection) {
    // In picture coordinates. Two monitors: a 2560 × 1440 one left of the
    // primary 1920 × 1080, bottoms aligned, so nothing shows above the
    // primary's top (y < 360 right of x 2560); taskbars 40 high.
    const MonitorArea big{{0, 0, 2560, 1440}, {0, 0, 2560, 1400}};
    const MonitorArea primary{{2560, 360, 4480, 1440}, {2560, 360, 4480, 1400}};
    const std::vector<MonitorArea> two = {primary, big};
    const PixelRect two_bounds{0, 0, 4480, 1440};
    const PixelRect on_two[] = {
        {3000, 380, 600, 400},    // near the primary's top: the label would go where nothing shows
        {2560, 360, 1920, 1080},  // the whole primary: the bar would go above it
        {2540, 100, 15, 15},      // at the big one's right edge: label and tips would run over
        {2200, 1300, 300, 100},   // at the big one's bottom: not under its taskbar
        {2200, 600, 400, 200},    // across both, mostly on the big one
    };
    const EdgeRect expected_two[] = {primary.work, primary.work, big.work, big.work, big.work};
    for (size_t i = 0; i < std::size(on_two); ++i)
        EXPECT_TRUE(all_inside(two, two_bounds, on_two[i], expected_two[i])) << "selection " << i;

    // Three in a row, the outer ones smaller and lower than the primary.
    const MonitorArea left{{0, 56, 1280, 1080}, {0, 56, 1280, 1080}};
    const MonitorArea middle{{1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}};
    const MonitorArea right{{3200, 312, 4224, 1080}, {3200, 312, 4224, 1080}};
    const std::vector<MonitorArea> three = {middle, left, right};
    const PixelRect three_bounds{0, 0, 4224, 1080};
    const PixelRect on_three[] = {{3100, 400, 600, 200}, {20, 60, 300, 200}, {1300, 900, 1880, 170}};
    const EdgeRect expected_three[] = {right.work, left.work, middle.work};
    for (size_t i = 0; i < std::size(on_three); ++i)
        EXPECT_TRUE(all_inside(three, three_bounds, on_three[i], expected_three[i])) << "selection " << i;
    // The hint follows the pointer; a point in a gap falls to the primary,
    // and without monitors the whole picture is the area.
    EXPECT_TRUE(same(work_area_for(three, {4000, 500, 1, 1}, three_bounds), right.work));
    EXPECT_TRUE(same(work_area_for(three, {100, 20, 1, 1}, three_bounds), middle.work));
    EXPECT_TRUE(same(work_area_for({}, {100, 20, 1, 1}, three_bounds), {0, 0, 4224, 1080}));
}
