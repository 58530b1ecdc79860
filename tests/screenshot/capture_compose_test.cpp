// The final picture of the screenshot editor, composed from a made-up
// screen: exact pixels, shapes cut at the selection, blur and alpha.

#include "screenshot/capture_overlay.h"
#include "support/pixels.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr COLORREF kRed = RGB(230, 70, 70);

// 200 × 120 at screen (-40, 10), every pixel a colour of its own place.
CapturedImage made_up_screen() {
    CapturedImage image;
    image.width = 200, image.height = 120, image.left = -40, image.top = 10, image.ok = true;
    image.dib = make_capture_dib(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.dib.data() + kCaptureHeaderBytes + (size_t(y) * image.width + x) * 4;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(y * 2), p[2] = std::uint8_t(x ^ y), p[3] = 0;
        }
    return image;
}

struct Composed {
    Bytes dib;
    int width = 0, height = 0;
    COLORREF at(int x, int y) const {
        const std::uint8_t* p = dib.data() + kCaptureHeaderBytes + (size_t(y) * width + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    std::uint8_t alpha(int x, int y) const { return dib[kCaptureHeaderBytes + (size_t(y) * width + x) * 4 + 3]; }
};

class Compose : public ::testing::Test {
protected:
    void SetUp() override {
        overlay.set_up(nullptr, screen, true, true, PixelRect{50, 30, 80, 60}, 0, 3);
        ASSERT_TRUE(overlay.create_resources());
    }
    Composed compose() {
        Composed c;
        EXPECT_TRUE(overlay.compose_selection(c.dib, c.width, c.height));
        return c;
    }
    COLORREF screen_at(int x, int y) const {
        const std::uint8_t* p = screen.dib.data() + kCaptureHeaderBytes + (size_t(y) * screen.width + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }

    CapturedImage screen = made_up_screen();
    CaptureOverlay overlay;
};

}  // namespace

TEST_F(Compose, SelectionPixelsAreExactAndOpaque) {
    const Composed c = compose();
    ASSERT_EQ(c.width, 80);
    ASSERT_EQ(c.height, 60);
    EXPECT_EQ(c.at(0, 0), screen_at(50, 30));
    EXPECT_EQ(c.at(79, 59), screen_at(129, 89));
    EXPECT_EQ(c.at(13, 41), screen_at(63, 71));
    EXPECT_EQ(c.alpha(0, 0), 255);
    EXPECT_EQ(c.alpha(79, 59), 255);
}

TEST_F(Compose, ShapesLandAtTheirPlaceAndStopAtTheEdge) {
    // A rectangle outline from inside the selection to far past its right and bottom edges.
    Annotation box = start_shape(CaptureTool::Rect, {60, 40}, kRed, 1);
    drag_shape(box, {400, 400}, false);
    overlay.shapes.push_back(box);
    const Composed c = compose();
    EXPECT_EQ(c.at(10, 10), kRed) << "top-left corner, shifted into the selection";
    EXPECT_EQ(c.at(79, 10), kRed) << "top edge runs to the selection's edge";
    EXPECT_EQ(c.at(10, 59), kRed);
    EXPECT_EQ(c.at(11, 11), screen_at(61, 41)) << "hollow inside";
    EXPECT_EQ(c.at(9, 9), screen_at(59, 39));
    // The shape being drawn is not part of the picture.
    overlay.drawing = true;
    overlay.current_shape = number_stamp({70, 50}, 1, kRed, 3);
    EXPECT_EQ(compose().at(20, 20), screen_at(70, 50));
}

TEST_F(Compose, BlurHidesEarlierShapesAndIgnoresWhereTheSelectionCutsIt) {
    Annotation line = start_shape(CaptureTool::Line, {40, 50}, kRed, 4);
    drag_shape(line, {140, 50}, false);
    overlay.shapes.push_back(line);
    Annotation blur = start_shape(CaptureTool::Blur, {40, 40}, kRed, 3);
    drag_shape(blur, {70, 64}, false);  // reaches 10 pixels left of the selection
    overlay.shapes.push_back(blur);
    const Composed cut = compose();
    EXPECT_NE(cut.at(5, 20), kRed) << "the line is under the blur";
    EXPECT_EQ(cut.at(40, 20), kRed) << "and visible past it";
    // Blocks of 8: the first block column is the same whether or not the
    // selection cuts through it.
    overlay.selection = {20, 30, 110, 60};
    const Composed whole = compose();
    for (int y = 10; y < 34; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(cut.at(x, y), whole.at(x + 30, y)) << x << "," << y;
}

TEST_F(Compose, TheSavedPictureIsWhatTheEditorShows) {
    CaptureOverlay shown;
    shown.set_up(nullptr, screen, true, false, PixelRect{50, 50, 80, 60}, 0, 3);
    ASSERT_TRUE(shown.create_resources());
    Annotation blur = start_shape(CaptureTool::Blur, {37, 55}, kRed, 2);
    drag_shape(blur, {75, 83}, false);  // cut by the selection's left edge
    Annotation arrow = start_shape(CaptureTool::Arrow, {60, 100}, kRed, 3);
    drag_shape(arrow, {160, 60}, false);  // runs out past the right edge
    shown.shapes = {arrow, blur, number_stamp({120, 100}, 7, RGB(0, 164, 232), 5)};

    ASSERT_TRUE(shown.ensure_back_buffer(shown.picture.get()));
    shown.paint_scene();
    Composed saved;
    ASSERT_TRUE(shown.compose_selection(saved.dib, saved.width, saved.height));
    testsupport::PixelImage on_screen(80, 60);
    BitBlt(on_screen.dc(), 0, 0, 80, 60, shown.back_buffer.get(), 50, 50, SRCCOPY);
    // Everything but the frame and its handles.
    for (int y = 4; y < 56; ++y)
        for (int x = 4; x < 76; ++x) ASSERT_EQ(saved.at(x, y), on_screen.at(x, y)) << x << "," << y;
}

TEST_F(Compose, FinishFillsTheResultAndFailsWithoutASelection) {
    overlay.color = RGB(1, 2, 3);
    overlay.thickness = 9;
    ASSERT_TRUE(overlay.finish(CaptureAction::Copy));
    EXPECT_TRUE(overlay.result.ok);
    EXPECT_EQ(overlay.result.action, CaptureAction::Copy);
    EXPECT_EQ(overlay.result.width, 80);
    EXPECT_EQ(overlay.result.height, 60);
    EXPECT_EQ(overlay.result.color, RGB(1, 2, 3));
    EXPECT_EQ(overlay.result.thickness, 9);
    ASSERT_GT(overlay.result.png.size(), 8u);
    EXPECT_EQ(overlay.result.png[1], 'P');

    CaptureOverlay empty;
    empty.set_up(nullptr, screen, true, true, std::nullopt, 0, 3);
    ASSERT_TRUE(empty.create_resources());
    EXPECT_FALSE(empty.finish(CaptureAction::Done));
    EXPECT_FALSE(empty.result.ok);
}
