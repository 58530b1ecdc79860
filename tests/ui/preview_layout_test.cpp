// The preview popup's arithmetic and texts, and the template editor's checks.
#include "ui/main_window/preview_layout.h"

#include "config/language.h"
#include "support/test_support.h"
#include "ui/main_window/template_fields.h"

#include <gtest/gtest.h>

namespace {

class PreviewTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { load_language(L"en", testsupport::source_dir() + L"\\lang"); }
};

const ScreenRect kWork{0, 0, 1280, 1000};

}  // namespace

TEST(PreviewLayout, LinesAreCountedByLineFeedsButNotATrailingOne) {
    EXPECT_EQ(count_text_lines(L""), 1);
    EXPECT_EQ(count_text_lines(L"one"), 1);
    EXPECT_EQ(count_text_lines(L"one\n"), 1);
    EXPECT_EQ(count_text_lines(L"one\ntwo\n\nfour"), 4);
}

TEST(PreviewLayout, WidthStaysBetween120And460) {
    EXPECT_EQ(preview_width(5, 0), 120);  // one short word
    EXPECT_EQ(preview_width(200, 90), 228);
    EXPECT_EQ(preview_width(100, 300), 328);  // the information lines can be the wider part
    EXPECT_EQ(preview_width(2000, 0), 460);
}

TEST(PreviewLayout, AShortTextShowsWholeAndALongOneIsCutWithRoomForTheScrollBar) {
    const CardLayout fits = compute_card_layout(300, 60, 2, 20, kPreviewTextMaxHeight);
    EXPECT_FALSE(fits.clipped);
    EXPECT_EQ(fits.shown_height, 60);
    EXPECT_EQ(fits.inner_width, 276);
    EXPECT_EQ(fits.separator_y, 84);
    EXPECT_EQ(fits.total_height, 2 * 24 + 14 + 60 + 24);

    const CardLayout cut = compute_card_layout(300, 2000, 2, 20, kPreviewTextMaxHeight);
    EXPECT_TRUE(cut.clipped);
    EXPECT_EQ(cut.shown_height, 300 - 24 - (2 * 24 + 14));
    EXPECT_EQ(cut.total_height, kPreviewTextMaxHeight);
    EXPECT_EQ(cut.inner_width, 266);  // 10 pixels narrower
    EXPECT_EQ(max_preview_scroll(cut), 2000 - cut.shown_height);
    EXPECT_EQ(clamp_preview_scroll(-5, cut), 0);
    EXPECT_EQ(clamp_preview_scroll(99999, cut), max_preview_scroll(cut));

    // Many information lines still leave 40 pixels of content; no line height falls back to 20.
    EXPECT_EQ(compute_card_layout(300, 500, 20, 20, kPreviewTextMaxHeight).shown_height, 40);
    EXPECT_EQ(compute_card_layout(300, 0, 0, 0, kPreviewTextMaxHeight).content_height, 20);
}

TEST(PreviewLayout, ItStandsLeftOfTheWindowElseRightElseAtTheWorkAreaEdge) {
    const int anchor = preview_anchor_y(404);  // 8 pixels above its row
    EXPECT_EQ(anchor, 396);
    const PreviewPosition left = place_preview({500, 200, 1100, 800}, anchor, 300, 200, kWork);
    EXPECT_EQ(left.x, 500 - 300 - 8);
    EXPECT_EQ(left.y, anchor);
    // At the left edge of the screen it opens to the right.
    const PreviewPosition right = place_preview({10, 200, 610, 800}, anchor, 300, 200, kWork);
    EXPECT_EQ(right.x, 618);
    // Wide on both sides: 8 pixels in from the left edge, and then kept inside at the right.
    EXPECT_EQ(place_preview({100, 0, 1200, 800}, 50, 300, 200, kWork).x, 8);
    EXPECT_EQ(place_preview({100, 0, 1200, 800}, 50, 300, 200, ScreenRect{0, 0, 250, 1000}).x, 0);
    // A row near the bottom lifts the popup 8 pixels above the work area's bottom; never above its top.
    EXPECT_EQ(place_preview({500, 200, 1100, 800}, 900, 300, 200, kWork).y, 1000 - 8 - 200);
    EXPECT_EQ(place_preview({500, 200, 1100, 800}, 900, 300, 2000, kWork).y, 0);
    // A second monitor left of the primary one has negative coordinates.
    const ScreenRect left_monitor{-1920, 0, 0, 1080};
    EXPECT_EQ(place_preview({-1000, 100, -400, 700}, 200, 300, 200, left_monitor).x, -1308);

    EXPECT_EQ(follow_row_top(300, 200, kWork), 300);
    EXPECT_EQ(follow_row_top(795, 200, kWork), 792);
    EXPECT_EQ(follow_row_top(-50, 200, kWork), 0);
}

TEST(PreviewLayout, PictureAndScrollBarGeometry) {
    EXPECT_EQ(centred_left(12, 288, 100), 12 + 88);
    EXPECT_EQ(centred_left(12, 288, 400), 12);  // wider than the room: from the left edge

    const CardLayout cut = compute_card_layout(300, 1000, 1, 20, kPreviewTextMaxHeight);
    const PreviewScrollBar top = preview_scroll_bar(cut, 0, 288);
    EXPECT_EQ(top.left, 280);
    EXPECT_EQ(top.right, 286);
    EXPECT_EQ(top.track_top, 20);
    EXPECT_EQ(top.thumb_top, 20);
    EXPECT_EQ(top.thumb_height, top.track_height * cut.shown_height / 1000);
    const PreviewScrollBar bottom = preview_scroll_bar(cut, max_preview_scroll(cut), 288);
    EXPECT_EQ(bottom.thumb_top + bottom.thumb_height, bottom.track_top + bottom.track_height);
    // A very long content keeps a thumb of 16 pixels.
    EXPECT_EQ(preview_scroll_bar(compute_card_layout(300, 100000, 1, 20, 300), 0, 288).thumb_height, 16);
}

TEST_F(PreviewTexts, InformationLinesOfTextsAndPictures) {
    EntryInfo info{L"Notepad", L"just words", false, L"", L"", L"", L"01.02.2026 10:00"};
    EXPECT_EQ(text_info_lines(info), L"Program: Notepad\nCopied: 01.02.2026 10:00");

    // A page copied from a browser: its title as stored, and the address it came from.
    info = {L"Chrome", L"a quote", true, L"News - Google Chrome", L"", L"https://news.example/1", L"t"};
    EXPECT_EQ(text_info_lines(info),
              L"Program: Chrome\nPage: News - Google Chrome\nAddress: https://news.example/1\nCopied: t");
    // An address: the fetched title wins over the page title, which loses its suffix.
    info = {L"Chrome", L"https://a.example/x", true, L"News - Google Chrome", L"", L"https://a.example/x", L"t"};
    EXPECT_EQ(text_info_lines(info), L"Program: Chrome\nPage: News\nAddress: https://a.example/x\nCopied: t");
    info.link_title = L"The article";
    EXPECT_EQ(text_info_lines(info), L"Program: Chrome\nTitle: The article\nAddress: https://a.example/x\nCopied: t");

    EXPECT_EQ(card_info_text(L"", false, L"ignored", L"ignored", L"t"), L"Program: \u2014\nCopied: t");
    EXPECT_EQ(card_info_text(L"Firefox", true, L"Photos", L"https://p.example", L"t"),
              L"Program: Firefox\nPage: Photos\nAddress: https://p.example\nCopied: t");
    EXPECT_EQ(card_info_text(L"Firefox", true, L"", L"", L"t"), L"Program: Firefox\nCopied: t");
}

TEST(PreviewLayout, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(is_openable_link(L"https://example.org/a?b=c"));
    EXPECT_TRUE(is_openable_link(L"HTTP://example.org"));
    for (const wchar_t* link : {L"", L"file:///C:/Windows/System32/calc.exe", L"javascript:alert(1)",
                                L"C:\\Windows\\notepad.exe", L"https://", L" https://example.org",
                                L"https://example.org/\r\ncalc.exe", L"https://a.example/\x7F", L"ms-settings:"})
        EXPECT_FALSE(is_openable_link(link)) << link;
}

TEST_F(PreviewTexts, TheEditorRefusesWhatTheStoreWouldRefuse) {
    const std::vector<std::wstring> taken{L"Thanks", L"Old one"};
    EXPECT_EQ(check_template_fields(L"  ", L"text", L"", taken), TemplateProblem::NeedTitleAndText);
    EXPECT_EQ(check_template_fields(L"Title", L"", L"", taken), TemplateProblem::NeedTitleAndText);
    EXPECT_EQ(check_template_fields(L"New", L"  ", L"", taken), TemplateProblem::None);  // blanks are a text
    EXPECT_EQ(check_template_fields(L" Thanks ", L"x", L"", taken), TemplateProblem::DuplicateTitle);
    EXPECT_EQ(check_template_fields(L"thanks", L"x", L"", taken), TemplateProblem::None);  // titles match exactly
    // Editing a template may keep its own title, not take another's.
    EXPECT_EQ(check_template_fields(L"Thanks", L"x", L"Thanks", taken), TemplateProblem::None);
    EXPECT_EQ(check_template_fields(L"Old one", L"x", L"Thanks", taken), TemplateProblem::DuplicateTitle);

    EXPECT_EQ(ungrouped_label_to_name(L"Without group", L"Without group"), L"");
    EXPECT_EQ(ungrouped_label_to_name(L"Replies", L"Without group"), L"Replies");
    EXPECT_EQ(ungrouped_label_to_name(L"Без группы", L"Без группы"), L"");
    EXPECT_EQ(ungrouped_label_to_name(L"Without group", L"Без группы"), L"Without group");

    EXPECT_EQ(group_name_from_input(L"  Letters\r\n"), L"Letters");
    EXPECT_EQ(group_name_from_input(L"Two\r\nlines"), L"Two  lines");
    EXPECT_EQ(group_name_from_input(L" \r\n "), L"");
}
