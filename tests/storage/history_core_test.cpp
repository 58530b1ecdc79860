// The SQL text builders, number reading and saved-image removal the history
// database is built on.

#include "storage/image_files.h"
#include "storage/sql_text.h"
#include "support/test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

TEST(SqlText, QuotingAndIdLists) {
    EXPECT_EQ(sql_quote(L"it's"), L"'it''s'");
    EXPECT_EQ(sql_quote(L""), L"''");
    EXPECT_EQ(sql_quote(L"''"), L"''''''");
    // Only the single quote is special inside an SQL literal.
    EXPECT_EQ(sql_quote(L"a\"b\\c;--\n"), L"'a\"b\\c;--\n'");
    EXPECT_EQ(join_ids({3, 10, 7}), L"3,10,7");
    EXPECT_EQ(join_ids({}), L"");
    EXPECT_EQ(join_ids({-5, 9223372036854775807LL}), L"-5,9223372036854775807");
    EXPECT_EQ(sql_category(std::nullopt), L"NULL");
    EXPECT_EQ(sql_category(42), L"42");
}

TEST(SqlText, PinnedCaseExpression) {
    EXPECT_EQ(pinned_case_expr(L""),
              L"CASE WHEN pinned=1 OR (category_id IN (SELECT id FROM categories WHERE pinned=1) AND "
              L"cat_pin_override=0) THEN 1 ELSE 0 END");
    // The inner SELECT on categories stays unprefixed.
    EXPECT_EQ(pinned_case_expr(L"h"),
              L"CASE WHEN h.pinned=1 OR (h.category_id IN (SELECT id FROM categories WHERE pinned=1) AND "
              L"h.cat_pin_override=0) THEN 1 ELSE 0 END");
}

TEST(SqlText, ReadingNumbers) {
    EXPECT_EQ(parse_int64(L"12"), 12);
    EXPECT_EQ(parse_int64(L"  -7x"), -7);
    EXPECT_EQ(parse_int64(L"+3"), 3);
    EXPECT_EQ(parse_int64(L"12a"), 12);
    EXPECT_EQ(parse_int64(L"9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(parse_int64(L"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(parse_int64(L"9223372036854775808"), std::nullopt);
    EXPECT_EQ(parse_int64(L"-9223372036854775809"), std::nullopt);
    EXPECT_EQ(parse_int64(L""), std::nullopt);
    EXPECT_EQ(parse_int64(L"-"), std::nullopt);
    EXPECT_EQ(parse_int64(L"x1"), std::nullopt);
    EXPECT_EQ(int64_or(L"", 5), 5);
    EXPECT_EQ(int64_or(L"99999999999999999999", 0), 0);
}

TEST(ImageFiles, OnlyExistingPngFilesAreDeleted) {
    testsupport::TempDir dir;
    auto make = [&](const std::wstring& name) {
        testsupport::write_bytes(dir.file(name), "x");
        return dir.file(name);
    };
    const std::wstring lower = make(L"shot.png"), upper = make(L"SHOT2.PnG"), jpg = make(L"photo.jpg");
    const std::wstring folder = dir.file(L"folder.png");
    CreateDirectoryW(folder.c_str(), nullptr);

    delete_image_files({lower, upper, jpg, folder, dir.file(L"missing.png"), L"", L".png", L"a.pn"});
    EXPECT_FALSE(testsupport::file_exists(lower));
    EXPECT_FALSE(testsupport::file_exists(upper));
    EXPECT_TRUE(testsupport::file_exists(jpg));
    EXPECT_TRUE(testsupport::file_exists(folder));

    // The shortest name that counts is one character before the ending.
    SetCurrentDirectoryW(dir.path().c_str());
    testsupport::write_bytes(dir.file(L"a.png"), "x");
    testsupport::write_bytes(dir.file(L".png"), "x");
    delete_png_file(L"a.png");
    delete_png_file(L".png");
    EXPECT_FALSE(testsupport::file_exists(dir.file(L"a.png")));
    EXPECT_TRUE(testsupport::file_exists(dir.file(L".png")));
    SetCurrentDirectoryW(L"C:\\");
}
