// Deleting chosen entries and emptying the trash, with their files and slots.

#include "storage_fixture.h"

#include <cwctype>

TEST_F(StorageTest, DeletingEntriesTakesTheirFilesAndSlots) {
    const auto a = add(L"with file"), b = add(L"no file"), c = add(L"other file"), d = add(L"not a png");
    const std::wstring a_png = make_png(L"a.png"), c_png = make_png(L"c.PNG");
    const std::wstring d_jpg = dir.file(L"d.jpg");
    testsupport::write_bytes(d_jpg, "jpg");
    db->set_image_path(a, a_png);
    db->set_image_path(c, c_png);
    db->set_image_path(d, d_jpg);
    db->set_pinned_many({a}, true);  // pins and keeps never protect from an explicit delete
    db->set_keep(c, true);
    db->add_to_slots({a, b, c, d}, 9);

    EXPECT_TRUE(db->delete_entry(a));
    EXPECT_FALSE(testsupport::file_exists(a_png));
    EXPECT_EQ(db->delete_entries({c, d, 4242}), 3);
    EXPECT_FALSE(testsupport::file_exists(c_png));
    EXPECT_TRUE(testsupport::file_exists(d_jpg));
    EXPECT_EQ(db->delete_entries({}), 0);
    EXPECT_EQ(column("SELECT id FROM history"), (std::vector<std::string>{std::to_string(b)}));
    EXPECT_EQ(column("SELECT entry_id FROM slot_entries"), (std::vector<std::string>{std::to_string(b)}));
    // The next slot is as if the deleted entries had never been in one.
    const auto e = add(L"new one");
    db->add_to_slots({e}, 9);
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{b, e}));
}

TEST_F(StorageTest, FailedDeleteKeepsRowsAndFilesAndReportsNothingDone) {
    const auto a = add(L"first"), b = add(L"second");
    const std::wstring png = make_png(L"kept.png");
    db->set_image_path(a, png);
    db->trash_entries({a, b});
    sql("CREATE TRIGGER refuse BEFORE DELETE ON history BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(db->delete_entry(a));
    EXPECT_EQ(db->delete_entries({a, b}), 0);
    EXPECT_EQ(db->empty_trash(), 0);
    EXPECT_EQ(db->clear_history(false), 0);
    sql("UPDATE history SET deleted_at='2000-01-01T00:00:00'");
    EXPECT_EQ(db->purge_trash(1), 0);
    EXPECT_EQ(number("SELECT count(*) FROM history"), 2);
    EXPECT_TRUE(testsupport::file_exists(png));
    // Emptying the trash is all or nothing: the trashed templates stay too.
    EXPECT_EQ(number("SELECT count(*) FROM snippets"), 2);
}

TEST_F(StorageTest, EmptyTrashCountsEntriesAndTemplates) {
    const auto a = add(L"one"), b = add(L"two"), c = add(L"three"), live = add(L"live");
    const std::wstring png = make_png(L"trashed.png");
    db->set_image_path(b, png);
    db->trash_entries({a, b, c});
    const auto t1 = db->add_snippet(L"T1", L"x", L""), t2 = db->add_snippet(L"T2", L"y", L"");
    db->trash_snippet(t1);
    db->trash_snippet(t2);
    EXPECT_EQ(db->empty_trash(), 5);
    EXPECT_FALSE(testsupport::file_exists(png));
    EXPECT_EQ(column("SELECT id FROM history"), (std::vector<std::string>{std::to_string(live)}));
    EXPECT_EQ(db->list_snippets().size(), 2u);  // the seeded templates stay
    EXPECT_TRUE(db->list_trashed_snippets().empty());
    EXPECT_EQ(db->empty_trash(), 0);
}

TEST_F(StorageTest, AFileTwoEntriesRecordGoesWithTheLastOfThem) {
    // Older entries record the file of a newer save (which spells it in other
    // letter case, as a typed name may); every road that removes rows takes one.
    const std::wstring png = make_png(L"screen.png");
    std::wstring upper = png;
    for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
    const auto deleted = add(L"deleted"), purged = add(L"trashed long ago"), emptied = add(L"trashed"),
               expired = add(L"expired"), capped = add(L"capped"), newer = add(L"the newer save");
    for (auto id : {deleted, purged, emptied, expired, capped}) db->set_image_path(id, png);
    db->set_image_path(newer, upper);
    db->set_pinned_many({newer}, true);
    db->trash_entries({purged, emptied});
    sql("UPDATE history SET deleted_at='2000-01-01T00:00:00' WHERE id=" + std::to_string(purged));
    sql("UPDATE history SET created_at='2000-01-01T00:00:00' WHERE id=" + std::to_string(expired));
    db->delete_entry(deleted);
    db->purge_trash(1);
    db->empty_trash();
    db->purge_expired(1);
    for (int i = 0; i < 200; ++i) db->set_image_path(add(L"entry " + std::to_wstring(i)), i ? L"" : png);
    EXPECT_EQ(db->clear_history(true), 200);
    EXPECT_EQ(column("SELECT id FROM history"), (std::vector<std::string>{std::to_string(newer)}));
    EXPECT_TRUE(testsupport::file_exists(png));
    EXPECT_EQ(db->delete_entries({newer}), 1);  // the last to record it takes it along
    EXPECT_FALSE(testsupport::file_exists(png));
}
