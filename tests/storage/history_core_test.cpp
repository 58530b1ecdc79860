// The SQL text builders, number reading and saved-image removal the history
// database is built on.

#include "services/encoding.h"
#include "storage/history_db.h"
#include "storage/image_files.h"
#include "storage/sql_text.h"
#include "support/test_support.h"

#include <windows.h>
#include <sqlite3.h>
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

    delete_image_files({lower, upper, jpg, folder, dir.file(L"missing.png"), L"", L".png", L"a.pn"}, {});
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

namespace {

std::int64_t add_text(HistoryDb& db, const std::wstring& text) {
    return db.add_entry(text, {}, {}, {}, L"", false, false, std::nullopt, L"", L"", false);
}

}  // namespace

TEST(HistoryFile, ADamagedFileIsMovedAsideWholeAndANewOneStarted) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"h.db");
    const std::string junk = "not a database at all, " + std::string(5000, '\x5a');
    testsupport::write_bytes(path, junk);
    testsupport::write_bytes(path + L"-wal", "wal bytes");
    std::wstring first_moved;
    {
        HistoryDb db(path);
        const auto notice = db.take_notice();
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->kind, StorageNotice::Kind::MovedAside);
        first_moved = notice->moved_to;
        EXPECT_EQ(first_moved.rfind(path + L".corrupt-", 0), 0u);
        EXPECT_EQ(first_moved.size(), path.size() + 28);  // ".corrupt-YYYY-MM-DD HH-MM-SS"
        EXPECT_EQ(testsupport::read_bytes(first_moved), junk);
        EXPECT_EQ(testsupport::read_bytes(first_moved + L"-wal"), "wal bytes");
        EXPECT_FALSE(db.take_notice());
        EXPECT_GT(add_text(db, L"after the move"), 0);
        EXPECT_FALSE(db.take_notice());
    }
    {
        HistoryDb healthy(path);
        EXPECT_FALSE(healthy.take_notice());
        EXPECT_EQ(healthy.list_entries(L"all", false, false).size(), 1u);
    }
    // Damaged again, within the same second or not: the file moved aside
    // first is never overwritten.
    testsupport::write_bytes(path, junk + "again");
    HistoryDb again(path);
    const auto second = again.take_notice();
    ASSERT_TRUE(second);
    EXPECT_NE(second->moved_to, first_moved);
    EXPECT_EQ(testsupport::read_bytes(first_moved), junk);
    EXPECT_EQ(testsupport::read_bytes(second->moved_to), junk + "again");
}

TEST(HistoryFile, AFileThatCannotBeWrittenIsToldOnce) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"h.db");
    {
        HistoryDb db(path);
        ASSERT_GT(add_text(db, L"written before"), 0);
    }
    // A file of a newer SQLite format: readable, but SQLite writes nothing to it.
    std::string bytes = testsupport::read_bytes(path);
    ASSERT_GT(bytes.size(), 100u);
    bytes[18] = 3;
    bytes[19] = 1;
    testsupport::write_bytes(path, bytes);

    HistoryDb db(path);
    const auto notice = db.take_notice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->kind, StorageNotice::Kind::NotWritable);
    EXPECT_EQ(add_text(db, L"copied while read-only"), 0);
    EXPECT_FALSE(db.add_was_busy());
    EXPECT_FALSE(db.take_notice());
    // What it holds is still there to read.
    EXPECT_EQ(db.list_entries(L"all", false, false).size(), 1u);
}

TEST(HistoryFile, AnAddThatFindsTheFileLockedSaysSo) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"h.db");
    HistoryDb db(path);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(utf8_from_wide(path).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(add_text(db, L"while locked"), 0);
    EXPECT_TRUE(db.add_was_busy());
    EXPECT_FALSE(db.take_notice());  // a lock is nothing to alarm the user with
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_GT(add_text(db, L"while locked"), 0);
    EXPECT_FALSE(db.add_was_busy());
}

TEST(HistoryFile, AFileLargerThanItsMapReadsTheSame) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"h.db");
    constexpr std::int64_t kSmallMap = 64 * 1024;
    std::vector<Bytes> pictures;
    {
        HistoryDb db(path, kSmallMap);
        for (int i = 0; i < 6; ++i) {
            Bytes picture(200 * 1024 + i);
            for (size_t b = 0; b < picture.size(); ++b) picture[b] = static_cast<std::uint8_t>(b * 7 + i);
            ASSERT_GT(db.add_entry(L"", {}, {}, picture, L"", true, true, std::nullopt, L"", L"", false), 0);
            pictures.insert(pictures.begin(), picture);  // newest first, as listed
            // Read while the file grows past the map, through the same statements.
            const auto listed = db.list_entries(L"images", false, false);
            ASSERT_EQ(listed.size(), pictures.size());
            for (size_t k = 0; k < listed.size(); ++k) EXPECT_EQ(listed[k].image, pictures[k]);
        }
        // A statement that failed (a category that does not exist) runs again.
        EXPECT_EQ(db.add_entry(L"orphan", {}, {}, {}, L"", false, false, 777, L"", L"", false), 0);
        EXPECT_GT(add_text(db, L"after the failure"), 0);
    }
    // Read whole, mapped or not, and the same either way.
    for (const std::int64_t map : {kHistoryMapBytes, std::int64_t(0)}) {
        HistoryDb db(path, map);
        const auto listed = db.list_entries(L"images", false, false);
        ASSERT_EQ(listed.size(), pictures.size());
        for (size_t k = 0; k < listed.size(); ++k) EXPECT_EQ(listed[k].image, pictures[k]);
    }
}
