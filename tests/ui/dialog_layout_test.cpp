// The dialog boxes' arithmetic: fitting and zooming the view dialog's
// picture, its image area and lines, the confirm and input boxes' sizes and
// the shown time.

#include "ui/dialogs/dialog_layout.h"

#include <gtest/gtest.h>

namespace {

SIZE fit(int w, int h, int max_w, int max_h) { return fit_size(w, h, max_w, max_h); }

}  // namespace

TEST(DialogLayout, FitShrinksKeepingProportionsAndNeverEnlarges) {
    EXPECT_EQ(fit(100, 50, 400, 300).cx, 100);  // small pictures stay as they are
    EXPECT_EQ(fit(100, 50, 400, 300).cy, 50);
    const SIZE wide = fit(1600, 1200, 620, 352);  // height decides after width
    EXPECT_EQ(wide.cx, 469);
    EXPECT_EQ(wide.cy, 352);
    const SIZE tall = fit(100, 1000, 620, 352);  // only the height is too large
    EXPECT_EQ(tall.cx, 35);
    EXPECT_EQ(tall.cy, 352);
    const SIZE exact = fit(620, 352, 620, 352);
    EXPECT_EQ(exact.cx, 620);
    EXPECT_EQ(exact.cy, 352);
    // Nothing comes out below one pixel: thin pictures, empty sizes, no room.
    const SIZE thin = fit(5000, 1, 100, 100);
    EXPECT_EQ(thin.cx, 100);
    EXPECT_EQ(thin.cy, 1);
    for (SIZE s : {fit(0, -5, 100, 100), fit(300, 200, 0, 0), fit(300, 200, -10, 50)}) {
        EXPECT_GE(s.cx, 1);
        EXPECT_GE(s.cy, 1);
    }
}

TEST(DialogLayout, WheelZoomStopsAtItsLimits) {
    float zoom = 1.0f;
    for (int notch = 1; notch <= 9; ++notch) zoom = wheel_zoom(zoom, -120);
    EXPECT_GT(zoom, kMinViewZoom);  // nine notches down are not yet the limit
    zoom = wheel_zoom(zoom, -120);
    EXPECT_EQ(zoom, kMinViewZoom);
    EXPECT_EQ(wheel_zoom(zoom, -120), kMinViewZoom);

    zoom = 1.0f;
    for (int notch = 1; notch <= 14; ++notch) zoom = wheel_zoom(zoom, 120);
    EXPECT_LT(zoom, kMaxViewZoom);
    zoom = wheel_zoom(zoom, 120);
    EXPECT_EQ(zoom, kMaxViewZoom);
    EXPECT_EQ(wheel_zoom(zoom, 360), kMaxViewZoom);

    EXPECT_NEAR(wheel_zoom(1.0f, 120), 1.15f, 1e-6);
    EXPECT_NEAR(wheel_zoom(wheel_zoom(1.0f, 120), -120), 1.0f, 1e-6);
    // A fine-grained wheel turns by parts of a notch; three of them make one.
    EXPECT_NEAR(wheel_zoom(wheel_zoom(wheel_zoom(1.0f, 40), 40), 40), 1.15f, 1e-5);
}

TEST(DialogLayout, ImageAreaLeavesRoomForMetaAndButtons) {
    const RECT client{0, 0, 624, 441};
    const RECT area = view_image_area(client, 36);  // two short lines
    EXPECT_EQ(area.left, 10);
    EXPECT_EQ(area.top, 10);
    EXPECT_EQ(area.right, 614);
    EXPECT_EQ(area.bottom, 323);
    // Four lines of a web page, one of them wrapped: every line gets its room
    // between the picture and the buttons.
    for (int lines_height : {36, 90, 150}) {
        const RECT meta = view_meta_area(client, lines_height);
        EXPECT_GE(meta.bottom - meta.top, lines_height);
        EXPECT_LE(meta.bottom, client.bottom - 40);  // the buttons' top
        EXPECT_LE(view_image_area(client, lines_height).bottom, meta.top);
    }
    // Lines without end leave the picture half the window.
    EXPECT_EQ(view_meta_area(client, 5000).top, client.bottom - 48 - client.bottom / 2);
    // A window shrunk below the margins gets an empty area, never a negative one.
    const RECT tiny = view_image_area(RECT{0, 0, 15, 100}, 36);
    EXPECT_EQ(tiny.right, tiny.left);
    EXPECT_EQ(tiny.bottom, tiny.top);
}

TEST(DialogLayout, InputBoxHoldsItsButtonsWithinItsClientArea) {
    auto inside = [](const RECT& r, SIZE client) {
        return r.left >= 16 && r.top >= 10 && r.right <= client.cx - 16 && r.bottom <= client.cy - 16;
    };
    // The prompt's font at 100 % and 200 % display scale, and a large font.
    for (int prompt_line : {13, 26, 40}) {
        for (int width : {300, 460, 720}) {
            SCOPED_TRACE(testing::Message() << "line " << prompt_line << " width " << width);
            const InputBoxLayout box = input_box_layout(width, prompt_line);
            EXPECT_EQ(box.client.cx, width);
            for (const RECT& r : {box.prompt, box.field, box.ok, box.cancel}) EXPECT_TRUE(inside(r, box.client));
            EXPECT_GE(box.prompt.bottom - box.prompt.top, prompt_line);
            EXPECT_GT(box.field.top, box.prompt.bottom);
            EXPECT_GT(box.ok.top, box.field.bottom);
            EXPECT_GT(box.cancel.left, box.ok.right);
            EXPECT_EQ(box.cancel.top, box.ok.top);
        }
    }
}

TEST(DialogLayout, ConfirmBoxWrapsAtItsWidthAndKeepsAMinimum) {
    EXPECT_EQ(confirm_box_client_size(60, 16).cx, 324);   // one word
    EXPECT_EQ(confirm_box_client_size(320, 48).cx, 404);  // wrapped at 320
    EXPECT_EQ(confirm_box_client_size(320, 48).cy, 200);
    EXPECT_EQ(confirm_box_client_size(500, 16).cx, 584);  // one word wider than the wrap
    EXPECT_EQ(input_box_width(-1), 460);
    EXPECT_EQ(input_box_width(120), 300);
    EXPECT_EQ(input_box_width(720), 720);
}

TEST(DialogLayout, CreationTimeShownDayFirst) {
    EXPECT_EQ(display_created_at(L"2024-03-05T07:09:41"), L"05.03.2024 07:09");
    EXPECT_EQ(display_created_at(L"1999-12-31T23:59:59"), L"31.12.1999 23:59");
    EXPECT_EQ(display_created_at(L"2024-03"), L"00.03.2024 00:00");  // the parts there are
    EXPECT_EQ(display_created_at(L"yesterday"), L"yesterday");       // no year: as stored
    EXPECT_EQ(display_created_at(L""), L"");
}
