// The screenshot tool's arithmetic on made-up pictures: crops, the first
// selection of each mode, and the shapes.

#include "screenshot/annotation.h"
#include "screenshot/captured_image.h"
#include "screenshot/screenshot_rules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <bitset>
#include <cstring>
#include <tuple>

namespace {

// A picture whose every pixel tells its own place: blue = x, green = y,
// red = 7, alpha = 200.
CapturedImage made_up(int width, int height, int left, int top) {
    CapturedImage image;
    image.dib = make_capture_dib(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.dib.data() + kCaptureHeaderBytes + (size_t(y) * width + x) * 4;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(y), p[2] = 7, p[3] = 200;
        }
    image.width = width, image.height = height, image.left = left, image.top = top, image.ok = true;
    return image;
}

std::int32_t header_field(const Bytes& dib, size_t at) {
    std::int32_t v = 0;
    std::memcpy(&v, dib.data() + at, 4);
    return v;
}

const std::uint8_t* pixel(const CapturedImage& image, int x, int y) {
    return image.dib.data() + kCaptureHeaderBytes + (size_t(y) * image.width + x) * 4;
}

bool same_point(PixelPoint a, PixelPoint b) { return a.x == b.x && a.y == b.y; }

}  // namespace

TEST(Crop, TakesTheOverlapInScreenCoordinates) {
    // A monitor left of and above the primary one: the picture starts at -100, -50.
    const CapturedImage image = made_up(60, 40, -100, -50);
    const CapturedImage crop = crop_capture(image, {-90, -60, -70, -45});
    ASSERT_TRUE(crop.ok);
    EXPECT_EQ(crop.left, -90);
    EXPECT_EQ(crop.top, -50);
    EXPECT_EQ(crop.width, 20);
    EXPECT_EQ(crop.height, 5);
    EXPECT_EQ(crop.dib.size(), 40u + 20 * 5 * 4);
    EXPECT_EQ(header_field(crop.dib, 0), 40);
    EXPECT_EQ(header_field(crop.dib, 4), 20);
    EXPECT_EQ(header_field(crop.dib, 8), -5);  // rows top-down
    EXPECT_EQ(header_field(crop.dib, 20), 20 * 5 * 4);
    const std::uint8_t* first = pixel(crop, 0, 0);
    EXPECT_EQ(first[0], 10);
    EXPECT_EQ(first[1], 0);
    const std::uint8_t* last = pixel(crop, 19, 4);
    EXPECT_EQ(last[0], 29);
    EXPECT_EQ(last[1], 4);
    EXPECT_EQ(last[3], 200) << "alpha is copied as it is";
}

TEST(Crop, RefusesEmptyOutsideAndBrokenInput) {
    const CapturedImage image = made_up(30, 20, 0, 0);
    const CapturedImage whole = crop_capture(image, {0, 0, 30, 20});
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.dib, image.dib);

    EXPECT_FALSE(crop_capture(image, {30, 0, 40, 20}).ok);  // just outside
    EXPECT_FALSE(crop_capture(image, {5, 5, 5, 10}).ok);    // no width
    EXPECT_FALSE(crop_capture(CapturedImage{}, {0, 0, 10, 10}).ok);
    // Extreme edges must not wrap around.
    EXPECT_TRUE(crop_capture(image, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}).ok);

    CapturedImage short_buffer = image;
    short_buffer.dib.resize(short_buffer.dib.size() - 1);
    EXPECT_FALSE(crop_capture(short_buffer, {0, 0, 30, 20}).ok);
    CapturedImage lying_size = image;
    lying_size.height = 1 << 20;
    EXPECT_FALSE(crop_capture(lying_size, {0, 0, 30, 20}).ok);
    CapturedImage huge = image;
    huge.width = huge.height = 0x10000;  // 64 Ki squared pixels overflow 32 bits
    EXPECT_FALSE(crop_capture(huge, {0, 0, 10, 10}).ok);
}

TEST(FirstSelection, FollowsTheMode) {
    const EdgeRect none{};
    EXPECT_FALSE(first_selection(kShotArea, {10, 10, 100, 100}, 800, 600, 0, 0));
    EXPECT_FALSE(first_selection(static_cast<ScreenshotMode>(7), {10, 10, 100, 100}, 800, 600, 0, 0));
    const auto full = first_selection(kShotFullScreen, none, 800, 600, -800, 0);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->x, 0);
    EXPECT_EQ(full->w, 800);
    EXPECT_EQ(full->h, 600);

    // No qualifying window: the user draws one.
    EXPECT_FALSE(first_selection(kShotWindow, none, 800, 600, 0, 0));
    // A window in a picture starting left of the primary monitor.
    const auto inside = first_selection(kShotWindow, {-700, 50, -500, 250}, 1600, 600, -800, 0);
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->x, 100);
    EXPECT_EQ(inside->y, 50);
    EXPECT_EQ(inside->w, 200);
    EXPECT_EQ(inside->h, 200);
    // A maximised window's frame reaches past every edge: cut to the picture.
    const auto past = first_selection(kShotWindow, {-8, -8, 816, 616}, 800, 600, 0, 0);
    ASSERT_TRUE(past);
    EXPECT_EQ(past->x, 0);
    EXPECT_EQ(past->y, 0);
    EXPECT_EQ(past->w, 800);
    EXPECT_EQ(past->h, 600);
    // One hanging over the right edge moves inside with its size.
    const auto right = first_selection(kShotWindow, {700, 500, 900, 560}, 800, 600, 0, 0);
    ASSERT_TRUE(right);
    EXPECT_EQ(right->x, 600);
    EXPECT_EQ(right->y, 500);
    EXPECT_EQ(right->w, 200);
    // Where Windows parks a minimized window, and just past each edge: on no
    // screen, so there is nothing of it to select.
    EXPECT_FALSE(first_selection(kShotWindow, {-32000, -32000, -31840, -31972}, 1600, 600, -800, 0));
    EXPECT_FALSE(first_selection(kShotWindow, {800, 0, 900, 100}, 1600, 600, -800, 0));
    EXPECT_FALSE(first_selection(kShotWindow, {-900, 0, -800, 100}, 1600, 600, -800, 0));
    EXPECT_FALSE(first_selection(kShotWindow, {0, 600, 100, 700}, 1600, 600, -800, 0));
}

TEST(WindowShot, TheVisibleFrameAndWhatGivesNone) {
    // Windows 10 and 11: 7 invisible pixels of resize border on three sides.
    const EdgeRect outer{93, 200, 707, 607};
    const EdgeRect frame{100, 200, 700, 600};
    const EdgeRect seen = window_shot_rect(outer, frame, false);
    EXPECT_EQ(seen.left, 100);
    EXPECT_EQ(seen.right, 700);
    EXPECT_EQ(seen.bottom, 600);
    // The system cannot say, or says nothing useful: the outer rectangle.
    EXPECT_EQ(window_shot_rect(outer, std::nullopt, false).left, 93);
    EXPECT_EQ(window_shot_rect(outer, EdgeRect{}, false).right, 707);
    EXPECT_EQ(window_shot_rect(outer, EdgeRect{100, 200, 100, 600}, false).left, 93);

    const auto none = [](const EdgeRect& r) { return (r.left | r.top | r.right | r.bottom) == 0; };
    EXPECT_TRUE(none(window_shot_rect(outer, frame, true))) << "minimized";
    EXPECT_TRUE(none(window_shot_rect({0, 0, 7, 100}, std::nullopt, false)));
    EXPECT_FALSE(none(window_shot_rect({0, 0, 8, 8}, std::nullopt, false)));
    // Judged by what shows: a frame of 10 pixels whose visible part is 6 high.
    EXPECT_TRUE(none(window_shot_rect({0, 0, 10, 10}, EdgeRect{2, 2, 8, 8}, false)));
}

// Once a shot has ended, with Return (which ended it) and Ctrl still held: a held key repeats until let go.
TEST(ShotInput, PressesAreTheUsersChoiceReleasesMovesAndRepeatsAreNot) {
    ShotInputWatch watch(std::bitset<256>().set(VK_RETURN).set(VK_CONTROL));
    const std::tuple<UINT, unsigned, bool> events[] = {{WM_LBUTTONUP, 0, false},       {WM_MOUSEMOVE, 0, false},
                                                       {WM_KEYDOWN, VK_RETURN, false}, {WM_KEYUP, VK_RETURN, false},
                                                       {WM_KEYDOWN, VK_RETURN, true},  {WM_SYSKEYDOWN, VK_MENU, true},
                                                       {WM_RBUTTONDOWN, 0, true},      {WM_KEYDOWN, VK_CONTROL, false}};
    for (const auto& [message, key, choice] : events)
        EXPECT_EQ(watch.is_choice(message, key), choice) << message << " " << key;
}

TEST(Annotations, UndoRedoAndTheStampCounter) {
    std::vector<Annotation> shapes, redo;
    int next_number = 1;
    for (int i = 0; i < 3; ++i) add_annotation(shapes, redo, number_stamp({10, 10}, next_number++, 0xFF, 3));
    undo_annotation(shapes, redo);
    ASSERT_EQ(shapes.size(), 2u);
    redo_annotation(shapes, redo);
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes.back().value, 3) << "redo brings the stamp back as it was";

    undo_annotation(shapes, redo);
    add_annotation(shapes, redo, number_stamp({10, 10}, next_number++, 0xFF, 3));
    EXPECT_EQ(shapes.back().value, 4) << "undo never takes a number back";
    redo_annotation(shapes, redo);
    EXPECT_EQ(shapes.size(), 3u) << "a new shape ends redo";

    std::vector<Annotation> empty, none;
    undo_annotation(empty, none);
    redo_annotation(empty, none);
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(none.empty());
}

TEST(Annotations, DragsAndWhatIsKept) {
    Annotation pencil = start_shape(CaptureTool::Pencil, {5, 5}, 1, 2);
    EXPECT_TRUE(shape_worth_keeping(pencil)) << "a single click leaves a dot";
    drag_shape(pencil, {6, 5}, false);  // 1 pixel: skipped
    drag_shape(pencil, {6, 6}, false);  // 2 from the last kept point
    EXPECT_EQ(pencil.points.size(), 3u);

    Annotation arrow = start_shape(CaptureTool::Arrow, {50, 50}, 1, 2);
    drag_shape(arrow, {47, 50}, false);
    EXPECT_FALSE(shape_worth_keeping(arrow)) << "3 pixels";
    drag_shape(arrow, {46, 50}, false);
    EXPECT_TRUE(shape_worth_keeping(arrow));

    Annotation box = start_shape(CaptureTool::Blur, {40, 40}, 1, 2);
    EXPECT_EQ(box.kind, AnnotationKind::Blur);
    drag_shape(box, {30, 38}, true);  // up and left, square from the press point
    EXPECT_EQ(box.x, 30);
    EXPECT_EQ(box.y, 30);
    EXPECT_EQ(box.w, 10);
    EXPECT_EQ(box.h, 10);
    EXPECT_TRUE(shape_worth_keeping(box));
    drag_shape(box, {42, 45}, false);
    EXPECT_FALSE(shape_worth_keeping(box)) << "2 pixels wide";

    const Annotation text = text_annotation(std::wstring(2000, L'x'), {3, 4}, 2, 1, 1, 2);
    EXPECT_EQ(text.text.size(), kMaxAnnotationText);
    EXPECT_EQ(text.w, 10);
    EXPECT_EQ(text.h, 10);
}

TEST(Annotations, DrawingGeometry) {
    // Right to left: the head sits where the mouse was released, opening to the right.
    const auto head = arrow_head_ends({100, 50}, {20, 50}, 1);
    EXPECT_TRUE(head[0].x > 20 && head[1].x > 20);
    EXPECT_EQ(head[0].x, 20 + 9);  // 10 × cos(0.45) cut toward zero
    EXPECT_TRUE(same_point(head[0], {29, 54}) || same_point(head[0], {29, 46}));
    const auto long_head = arrow_head_ends({0, 0}, {200, 0}, 24);
    EXPECT_EQ(long_head[0].x, 200 - 86);  // 96 × cos(0.45)
    EXPECT_EQ(long_head[0].y, -41);
    EXPECT_EQ(long_head[1].y, 41);

    const Annotation stamp = number_stamp({100, 80}, 1, 0, 3);
    EXPECT_EQ(stamp.x + stamp.w / 2, 100);
    EXPECT_EQ(stamp.y + stamp.h / 2, 80);
    EXPECT_EQ(stamp.w, 26);

    EXPECT_EQ(blur_grid(40, 40, 1).block, 4);
    EXPECT_EQ(blur_grid(40, 40, 1).columns, 10);
    const BlurGrid coarse = blur_grid(30, 120, 24);
    EXPECT_EQ(coarse.block, 50);
    EXPECT_EQ(coarse.columns, 1) << "narrower than a block still has one";
    EXPECT_EQ(coarse.rows, 2);
}
