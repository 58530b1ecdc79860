#include "ui/main_window/entry_format.h"
#include "config/language.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class EntryFormat : public ::testing::Test {
protected:
    static void SetUpTestSuite() { load_language(L"en", testsupport::source_dir() + L"\\lang"); }
};

HistoryEntry entry(const std::wstring& text) {
    HistoryEntry e;
    e.id = 7;
    e.text = text;
    return e;
}

Snippet snippet(std::int64_t id, const std::wstring& title, const std::wstring& group, const std::wstring& text = L"") {
    Snippet s;
    s.id = id;
    s.title = title;
    s.grp = group;
    s.text = text;
    return s;
}

}  // namespace

TEST_F(EntryFormat, RowTextsCarryTheirMarkOnOneCutLine) {
    HistoryEntry e = entry(L"first\r\nsecond\nthird");
    EXPECT_EQ(entry_row_text(e, false, L"[Image]"), L"     first  second third");
    e.keep = true;
    EXPECT_EQ(entry_row_text(e, false, L"").substr(0, 3), L"\u2605  ");
    e.ep = true;  // the pin outranks the star
    EXPECT_EQ(entry_row_text(e, false, L"").substr(0, 3), L"\U0001F4CC ");
    e.ep = e.keep = false;
    EXPECT_EQ(entry_row_text(e, true, L"").substr(0, 3), L"\U0001F4CC ");  // every quick slot shows a pin

    // A huge text keeps its first 8192 characters, breaks as blanks.
    const std::wstring huge = std::wstring(8190, L'a') + L"\n\nbbbbbbbb";
    const std::wstring row = entry_row_text(entry(huge), false, L"");
    EXPECT_EQ(row.size(), 5 + kRowTextLimit);
    EXPECT_EQ(row.substr(row.size() - 3), L"a  ");

    HistoryEntry image = entry(L"");
    image.is_image = true;
    EXPECT_EQ(entry_row_text(image, false, L"[Image]"), L"     [Image]");

    EXPECT_EQ(trashed_template_row_text(snippet(3, L"Hi", L"", L"a\nb")), L"[tpl] Hi\na\nb");
    EXPECT_EQ(strip_group_prefix(group_header_text(L"Replies")), L"Replies");
    EXPECT_EQ(strip_group_prefix(L"GRP Replies"), L"GRP Replies");
    EXPECT_EQ(row_height(group_header_text(L"x"), false), kGroupRowHeight);
    EXPECT_EQ(row_height(L"     text", true), kTallRowHeight);
    EXPECT_EQ(row_height(template_row_text(snippet(1, L"t", L"")), false), kTallRowHeight);
    EXPECT_EQ(row_height(L"     text", false), kPlainRowHeight);
}

TEST_F(EntryFormat, SearchFoldsCaseInEveryScript) {
    EXPECT_EQ(to_lower(L"ЁЖИК Straße ÄÖ"), L"ёжик straße äö");
    EXPECT_TRUE(entry_matches_search(entry(L"Новая ЁЛКА"), to_lower(L"ёлка")));
    EXPECT_TRUE(entry_matches_search(entry(L"новая ёлка"), to_lower(L"ЁЛКА")));
    EXPECT_TRUE(entry_matches_search(entry(L"Report"), L""));
    EXPECT_FALSE(entry_matches_search(entry(L"елка"), to_lower(L"ёлка")));  // е and ё are different letters

    const Snippet s = snippet(1, L"Greeting", L"Letters", L"Dear Sir");
    EXPECT_TRUE(matches_snippet(L"letters", s));
    EXPECT_TRUE(matches_snippet(L"dear", s));
    EXPECT_TRUE(matches_snippet(L"greeting dear", s));  // title, blank, text
    EXPECT_FALSE(matches_snippet(L"sirl", s));
}

TEST_F(EntryFormat, TimestampsAndTheDaysBetweenThem) {
    EXPECT_EQ(format_timestamp(L"2024-03-05T07:08:09"), L"05.03.2024 07:08");
    EXPECT_EQ(format_timestamp(L"2024-03-05T07:08"), L"05.03.2024 07:08");
    EXPECT_EQ(format_timestamp(L"yesterday"), L"yesterday");
    EXPECT_EQ(format_timestamp(L"2024-13-05T07:08:09"), L"2024-13-05T07:08:09");
    EXPECT_EQ(format_timestamp(L""), L"");

    EXPECT_EQ(days_between(2024, 1, 31, 2024, 2, 1), 1);
    EXPECT_EQ(days_between(2023, 12, 31, 2024, 1, 1), 1);
    EXPECT_EQ(days_between(2024, 2, 28, 2024, 3, 1), 2);  // a leap year
    EXPECT_EQ(days_between(2023, 2, 28, 2023, 3, 1), 1);
    EXPECT_EQ(days_between(2024, 3, 31, 2024, 5, 1), 31);
    EXPECT_EQ(days_between(2024, 5, 1, 2024, 4, 30), -1);
}

TEST_F(EntryFormat, MetaLineForms) {
    const CalendarDate first_of_march{2024, 3, 1};
    MetaLineParts parts;
    parts.created_at = L"2024-03-01T09:05:00";
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"today 09:05");
    // The last day of the month before is yesterday, not "today".
    parts.created_at = L"2024-02-29T23:59:59";
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"yesterday 23:59");
    parts.created_at = L"2023-12-31T10:00:00";
    EXPECT_EQ(meta_line_text(parts, CalendarDate{2024, 1, 1}), L"yesterday 10:00");
    parts.created_at = L"2023-03-01T10:00:00";  // a year ago on the same date
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"01.03 10:00");

    parts.slot = 3;
    parts.category = L"Work";
    parts.created_at = L"2024-03-01T09:05:00";
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"Ctrl+Shift+3  [Work] today 09:05");
    parts.show_time = false;
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"Ctrl+Shift+3  [Work]");
    parts.slot = 10;
    parts.category.clear();
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"");
    parts.show_time = true;
    parts.created_at = L"not a time";
    EXPECT_EQ(meta_line_text(parts, first_of_march), L"");
}

TEST_F(EntryFormat, ImageCaptions) {
    HistoryEntry e = entry(L"");
    e.is_image = true;
    e.created_at = L"2024-03-05T07:08:09";
    EXPECT_EQ(image_caption(e), L"Screenshot 05.03.2024 07:08");
    e.source_app = L"notepad.exe";
    e.source_title = L"notes.txt - Notepad";
    EXPECT_EQ(image_caption(e), L"Notepad");
    e.is_browser_page = true;
    e.source_url = L"https://example.org/";
    EXPECT_EQ(image_caption(e), L"Notepad\nPage: notes.txt - Notepad\nAddress: https://example.org/");
    e.custom_title = L"Holiday";
    EXPECT_EQ(image_caption(e), L"Holiday");
}

TEST_F(EntryFormat, GroupListOrder) {
    const std::vector<Snippet> loaded = {snippet(1, L"zeta", L"Mail"), snippet(2, L"loose b", L""),
                                         snippet(3, L"alpha", L"Mail"), snippet(4, L"one", L"Code"),
                                         snippet(5, L"loose a", L"")};
    const GroupList groups = build_group_list(loaded, {L"Mail", L"Empty"}, {L"Extra", L"Mail"});
    EXPECT_EQ(groups.names, (std::vector<std::wstring>{L"Mail", L"Empty", L"Code", L"Extra"}));
    ASSERT_EQ(groups.by_group.at(L"Mail").size(), 2u);
    EXPECT_EQ(groups.by_group.at(L"Mail")[0]->title, L"alpha");
    EXPECT_FALSE(groups.by_group.contains(L"Empty"));
    ASSERT_EQ(groups.ungrouped.size(), 2u);
    EXPECT_EQ(groups.ungrouped[0]->id, 2);  // as loaded, not by title
}

TEST_F(EntryFormat, TopRowAfterARefill) {
    EXPECT_EQ(restored_top_row(true, 5, 8, 40), 8);     // the same item, moved down by new rows
    EXPECT_EQ(restored_top_row(true, 5, -1, 40), 5);    // gone: the same place
    EXPECT_EQ(restored_top_row(true, 50, -1, 40), 39);  // beyond the end: the last row
    EXPECT_EQ(restored_top_row(true, 0, 3, 40), 0);     // shown from the top: stays at the top
    EXPECT_EQ(restored_top_row(false, 5, 8, 40), 0);    // another view or search
    EXPECT_EQ(restored_top_row(true, 5, -1, 0), 0);
}
