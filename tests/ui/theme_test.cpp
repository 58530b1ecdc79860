#include "ui/kit/theme.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/rounded_button.h"

#include <gtest/gtest.h>

TEST(Theme, ButtonTextFollowsTheFillsLuminance) {
    // Every fill of the rounded button: primary fills and the dark secondary
    // ones carry white text, the light secondary ones dark text.
    for (bool dark : {true, false}) {
        for (bool primary : {true, false}) {
            for (bool hover : {false, true}) {
                for (bool pressed : {false, true}) {
                    const COLORREF fill = round_button_fill(dark, primary, hover, pressed);
                    const COLORREF expected = (!dark && !primary) ? COLORREF(0x141414) : COLORREF(0xFFFFFF);
                    EXPECT_EQ(text_color_for_fill(fill), expected)
                        << std::hex << "fill " << fill << " dark " << dark << " primary " << primary;
                }
            }
        }
    }
    // The threshold: luminance exactly 160 is not above it.
    EXPECT_EQ(text_color_for_fill(RGB(160, 160, 160)), 0xFFFFFFu);
    EXPECT_EQ(text_color_for_fill(RGB(161, 161, 161)), 0x141414u);
    // Red is the low byte: orange 0x00C8FF is light, its mirror 0xFFC800 (a blue) dark.
    EXPECT_EQ(text_color_for_fill(0x00C8FF), 0x141414u);
    EXPECT_EQ(text_color_for_fill(0xFFC800), 0xFFFFFFu);
}

TEST(Theme, ButtonStatePicksTheFill) {
    const RoundButtonColors light_primary = round_button_colors(false, true);
    EXPECT_EQ(round_button_fill(false, true, false, false), light_primary.normal);
    EXPECT_EQ(round_button_fill(false, true, true, false), light_primary.hover);
    EXPECT_EQ(round_button_fill(false, true, false, true), light_primary.pressed);
    EXPECT_EQ(round_button_fill(false, true, true, true), light_primary.pressed);
    EXPECT_NE(round_button_colors(true, false).normal, round_button_colors(false, false).normal);
}

TEST(Theme, TextStandsOutFromEverySurface) {
    for (bool dark : {true, false}) {
        for (UiColor surface :
             {UiColor::WindowBackground, UiColor::FieldBackground, UiColor::PopupSurface, UiColor::Card}) {
            EXPECT_NE(text_color_for_fill(ui_color(surface, dark)), text_color_for_fill(ui_color(UiColor::Text, dark)));
        }
    }
}

TEST(Theme, WindowsVersionThresholds) {
    EXPECT_FALSE(is_windows11_version(6, 9600));
    EXPECT_FALSE(is_windows11_version(10, 19045));
    EXPECT_FALSE(is_windows11_version(10, 21999));
    EXPECT_TRUE(is_windows11_version(10, 22000));
    EXPECT_TRUE(is_windows11_version(11, 0));
    EXPECT_FALSE(is_windows11_22h2_version(10, 22000));
    EXPECT_FALSE(is_windows11_22h2_version(10, 22620));
    EXPECT_TRUE(is_windows11_22h2_version(10, 22621));
    EXPECT_TRUE(is_windows11_22h2_version(10, 26100));
    EXPECT_TRUE(is_windows11_22h2_version(11, 0));
    // The running system answers without failing; the test prefix is Windows 10.
    EXPECT_FALSE(is_windows11_22h2() && !is_windows11());
}

TEST(Theme, ArrowTrianglesPointTheRightWay) {
    const RECT rect{0, 0, 18, 12};
    auto down = arrow_triangle_points(rect, false);
    auto up = arrow_triangle_points(rect, true);
    // Base over two thirds of the width, centred; apex below (down) or above (up).
    EXPECT_EQ(down[0].x, 3);
    EXPECT_EQ(down[1].x, 15);
    EXPECT_EQ(down[0].y, 3);
    EXPECT_EQ(down[2].x, 9);
    EXPECT_EQ(down[2].y, 9);
    EXPECT_EQ(up[0].y, 9);
    EXPECT_EQ(up[2].y, 3);
    // A combo's text never reaches under its arrow strip.
    const RECT text = combo_text_rect(RECT{0, 0, 150, 24}, 17);
    EXPECT_EQ(text.left, 6);
    EXPECT_EQ(text.right, 150 - 2 - 17);
}

TEST(Theme, FontsAndDecorationsAreQuietWithoutTheirSystemParts) {
    ScopedFont ui = make_ui_font(14, FW_NORMAL);
    ScopedFont icon = make_icon_font(20);
    ASSERT_TRUE(ui);
    ASSERT_TRUE(icon);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(ui.get(), sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_STREQ(lf.lfFaceName, L"Segoe UI Variable Text");
    ASSERT_TRUE(GetObjectW(icon.get(), sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_STREQ(lf.lfFaceName, L"Segoe MDL2 Assets");
    // A null window is ignored.
    set_dark_title_bar(nullptr, true);
    allow_dark_mode(nullptr, true);
}
