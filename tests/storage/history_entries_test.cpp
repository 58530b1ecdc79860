// Adding entries (folding, de-duplication, the cap) and editing them.

#include "storage_fixture.h"

#include "services/text_util.h"
#include "storage/use_counts.h"

#include <string>

using namespace std::string_literals;

TEST_F(StorageTest, AddFoldsLinesTrimsAndNeedsTwoCharacters) {
    const auto id = add(L"a\r\nb");
    ASSERT_GT(id, 0);
    EXPECT_EQ(value("SELECT text FROM history WHERE id=" + std::to_string(id)), "a  b");
    EXPECT_EQ(add(L"  x \r\n"), 0);
    EXPECT_EQ(add(L""), 0);
    // One character is enough when an image comes with it; none is, too.
    EXPECT_GT(add_image(L"x", {1, 2, 3}), 0);
    EXPECT_GT(add_image(L"", {4}), 0);
    EXPECT_EQ(number("SELECT count(*) FROM history"), 3);
    EXPECT_EQ(value("SELECT sort_order FROM history WHERE id=" + std::to_string(id)), "1");
    EXPECT_EQ(value("SELECT hex(image) FROM history WHERE text='x'"), "010203");
    EXPECT_EQ(value("SELECT is_image FROM history WHERE text='x'"), "1");
}

TEST_F(StorageTest, AddStoresEveryCaptureField) {
    const std::string rtf = "{\\rtf1 a\0b}"s, html = "Version:0.9\r\n<b>\xD1\x8F</b>"s;
    const auto id =
        db->add_entry(L"text", rtf, html, {}, L"app.exe", false, false, std::nullopt, L"Window", L"http://x/", true);
    const auto entries = db->list_entries(L"all", false, false);
    ASSERT_EQ(entries.size(), 1u);
    const auto& e = entries[0];
    EXPECT_EQ(e.id, id);
    EXPECT_EQ(e.rtf, rtf);
    EXPECT_EQ(e.html, html);
    EXPECT_EQ(e.source_app, L"app.exe");
    EXPECT_EQ(e.source_title, L"Window");
    EXPECT_EQ(e.source_url, L"http://x/");
    EXPECT_TRUE(e.is_browser_page);
    EXPECT_FALSE(e.is_image);
    EXPECT_EQ(e.created_at.size(), 19u);
    // Empty byte strings are stored as NULL.
    add(L"plain");
    EXPECT_EQ(value("SELECT rtf IS NULL AND html IS NULL AND image IS NULL FROM history WHERE text='plain'"), "1");
    // A category that does not exist makes the insert fail.
    EXPECT_EQ(add(L"orphan", 777), 0);
}

TEST_F(StorageTest, APictureThatCannotBeWrittenLeavesNoEntry) {
    sql(kRefusePictures);
    EXPECT_EQ(add_image(L"", Bytes(64, 7)), 0);
    EXPECT_EQ(number("SELECT count(*) FROM history"), 0);
}

TEST_F(StorageTest, RepeatedCopyRefreshesTheLiveEntry) {
    const auto cat = db->add_category(L"Work");
    const auto first = db->add_entry(L"same", "r1", "h1", {}, L"a.exe", false, false, cat, L"t1", L"u1", true);
    add(L"other");
    db->set_pinned_many({first}, true);
    db->set_keep(first, true);
    db->set_custom_title(first, L"mine");
    db->set_link_title(first, L"same", L"link");
    db->increment_use_count(first);
    ASSERT_EQ(settled("SELECT use_count FROM history WHERE id=" + std::to_string(first), "1"), "1");
    sql("UPDATE history SET created_at='2000-01-01T00:00:00' WHERE id=" + std::to_string(first));

    const auto again = db->add_entry(L"same", "", "h2", {}, L"b.exe", false, false, std::nullopt, L"t2", L"", false);
    EXPECT_EQ(again, first);
    const auto r = rows(
        "SELECT created_at, sort_order, category_id, rtf, html, source_app, source_title, "
        "source_url, is_browser_page, pinned, keep, custom_title, link_title, use_count "
        "FROM history WHERE id=" +
        std::to_string(first))[0];
    EXPECT_NE(r[0], "2000-01-01T00:00:00");
    EXPECT_EQ(r[1], "3");  // above "other"
    EXPECT_EQ(r[2], "NULL");
    EXPECT_EQ(r[3], "NULL");
    EXPECT_EQ(r[4], "h2");
    EXPECT_EQ((std::vector<std::string>(r.begin() + 5, r.end())),
              (std::vector<std::string>{"b.exe", "t2", "", "0", "1", "1", "mine", "link", "1"}));
    EXPECT_EQ(ids_of(db->list_entries(L"all", false, false)).front(), first);

    // Only live entries match, exactly and case-sensitively; always_new adds anyway.
    EXPECT_NE(add(L"SAME"), first);
    EXPECT_NE(add(L"same", std::nullopt, true), first);
    db->trash_entry(add(L"gone"));
    const auto fresh = add(L"gone");
    EXPECT_EQ(number("SELECT count(*) FROM history WHERE text='gone'"), 2);
    EXPECT_EQ(value("SELECT deleted_at IS NULL FROM history WHERE id=" + std::to_string(fresh)), "1");
    // Image captures never merge.
    EXPECT_NE(db->add_entry(L"same", {}, {}, {9}, L"", true, false, std::nullopt, L"", L"", false), first);
}

TEST_F(StorageTest, TextCopyNeverMergesIntoAnImageEntry) {
    // Cells copied as text with a picture, then the same cells as plain text.
    const std::wstring png = make_png(L"cells.png");
    const auto picture = add_image(L"A1 B1 C1", {1, 2, 3});
    db->set_image_path(picture, png);
    const auto text = add(L"A1 B1 C1");
    EXPECT_NE(text, picture);
    const auto r = rows("SELECT hex(image), is_image, image_path FROM history WHERE id=" + std::to_string(picture))[0];
    EXPECT_EQ(r, (std::vector<std::string>{"010203", "1", utf8_from_wide(png)}));
    EXPECT_EQ(value("SELECT is_image FROM history WHERE id=" + std::to_string(text)), "0");
    // A further text copy refreshes the text entry, not the picture.
    EXPECT_EQ(add(L"A1 B1 C1"), text);
}

TEST_F(StorageTest, CapKeepsTheNewestUnprotectedAndDeletesTheirFiles) {
    const auto pinned_cat = db->add_category(L"Pinned");
    db->toggle_category_pin(pinned_cat);
    const auto own_pin = add(L"pinned itself");
    db->set_pinned_many({own_pin}, true);
    const auto cat_pin = add(L"pinned by category", pinned_cat);
    const auto overridden = add(L"unpinned in pinned category", pinned_cat);
    db->set_pinned_many({overridden}, false);
    EXPECT_EQ(value("SELECT cat_pin_override FROM history WHERE id=" + std::to_string(overridden)), "1");

    const std::wstring oldest_png = make_png(L"oldest.png"), pinned_png = make_png(L"pinned.png");
    db->set_image_path(overridden, oldest_png);
    db->set_image_path(own_pin, pinned_png);
    db->add_to_slots({overridden, own_pin}, 9);

    // 199 more entries, one of them kept: 200 unprotected in all, nothing goes yet.
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 199; ++i) {
        ids.push_back(add(L"entry " + std::to_wstring(i)));
        if (i == 1) db->set_keep(ids[1], true);
    }
    db->trash_entry(ids[0]);
    db->add_to_slots({ids[1]}, 9);
    EXPECT_EQ(number("SELECT count(*) FROM history"), 202);
    EXPECT_TRUE(testsupport::file_exists(oldest_png));

    // The 201st removes the unprotected entry the list shows last, its file
    // and its quick slot.
    add(L"entry 199");
    EXPECT_EQ(value("SELECT count(*) FROM history WHERE id=" + std::to_string(overridden)), "0");
    EXPECT_FALSE(testsupport::file_exists(oldest_png));
    EXPECT_TRUE(testsupport::file_exists(pinned_png));
    EXPECT_EQ(column("SELECT entry_id FROM slot_entries ORDER BY slot_order"),
              (std::vector<std::string>{std::to_string(own_pin), std::to_string(ids[1])}));

    // Trashed entries count like any other, and so do kept ones (keep guards
    // against the age purge and clearing, not the cap); a repeated copy
    // brings its entry up, out of the cap's way, for all its low id.
    add(L"entry 200");
    EXPECT_EQ(value("SELECT count(*) FROM history WHERE id=" + std::to_string(ids[0])), "0");
    add(L"entry 2");  // moves ids[2] to the top without adding
    add(L"entry 201");
    EXPECT_EQ(value("SELECT count(*) FROM history WHERE id=" + std::to_string(ids[1])), "0");
    EXPECT_EQ(column("SELECT entry_id FROM slot_entries"), (std::vector<std::string>{std::to_string(own_pin)}));
    add(L"entry 202");
    EXPECT_EQ(value("SELECT count(*) FROM history WHERE id=" + std::to_string(ids[3])), "0");
    EXPECT_EQ(value("SELECT count(*) FROM history WHERE id=" + std::to_string(ids[2])), "1");

    // An imported backup sits below every copy, though with the highest ids:
    // the copy that takes the history past the cap takes from the backup's
    // end, never the user's newest entries.
    db->delete_entries({ids[4], ids[5]});  // two short of the cap
    std::string backup = "[";
    for (int i = 0; i < 3; ++i) backup += "{\"text\": \"imported " + std::to_string(i) + "\"},";
    testsupport::write_bytes(dir.file(L"backup.json"), backup + "{}]");
    ASSERT_EQ(db->import_json(dir.file(L"backup.json")), 3);
    const auto newest = ids_of(db->list_entries(L"all", false, false));
    add(L"entry 203");
    const auto after = ids_of(db->list_entries(L"all", false, false));
    EXPECT_EQ(std::vector<std::int64_t>(after.begin() + 1, after.end()),
              std::vector<std::int64_t>(newest.begin(), newest.end() - 2));

    EXPECT_EQ(number("SELECT count(*) FROM history WHERE NOT (pinned=1 OR (COALESCE(category_id, 0)=" +
                     std::to_string(pinned_cat) + " AND cat_pin_override=0))"),
              200);
    EXPECT_EQ(number("SELECT count(*) FROM history WHERE id IN (" + std::to_string(own_pin) + "," +
                     std::to_string(cat_pin) + ")"),
              2);
}

TEST_F(StorageTest, CapSparesFilesWhenItsDeleteFails) {
    const std::wstring png = make_png(L"first.png");
    const auto first = add(L"first entry");
    db->set_image_path(first, png);
    for (int i = 0; i < 199; ++i) add(L"entry " + std::to_wstring(i));
    sql("CREATE TRIGGER refuse BEFORE DELETE ON history BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_GT(add(L"one too many"), 0);
    EXPECT_EQ(number("SELECT count(*) FROM history"), 201);
    EXPECT_TRUE(testsupport::file_exists(png));
}

TEST_F(StorageTest, PinModelAndCategoryOverride) {
    const auto cat = db->add_category(L"Pinned");
    db->toggle_category_pin(cat);
    const auto a = add(L"in category", cat), b = add(L"loose");
    auto ep_of = [&](std::int64_t id) {
        for (const auto& e : db->list_entries(L"everything", false, false))
            if (e.id == id) return e.ep;
        return false;
    };
    EXPECT_TRUE(ep_of(a));
    EXPECT_EQ(db->set_pinned_many({a, b}, false), 2);
    EXPECT_FALSE(ep_of(a));
    EXPECT_EQ(value("SELECT cat_pin_override FROM history WHERE id=" + std::to_string(a)), "1");
    EXPECT_EQ(value("SELECT cat_pin_override FROM history WHERE id=" + std::to_string(b)), "0");
    // Moving into a category clears the override.
    db->set_entry_category(a, cat);
    EXPECT_TRUE(ep_of(a));
    EXPECT_EQ(db->set_pinned_many({a}, true), 1);
    EXPECT_EQ(value("SELECT pinned || cat_pin_override FROM history WHERE id=" + std::to_string(a)), "10");

    // A missing id counts when pinning (the update succeeds on no row), not when unpinning.
    EXPECT_EQ(db->set_pinned_many({b, 9999}, true), 2);
    EXPECT_EQ(db->set_pinned_many({b, 9999}, false), 1);
    EXPECT_EQ(db->set_pinned_many({}, true), 0);

    // Inside an open transaction BEGIN fails: nothing changes and 0 comes back.
    sql("BEGIN IMMEDIATE");
    EXPECT_EQ(db->set_pinned_many({b}, true), 0);
    sql("ROLLBACK");
    EXPECT_EQ(value("SELECT pinned FROM history WHERE id=" + std::to_string(b)), "0");
}

TEST_F(StorageTest, TrashRestoreAndQuickSlots) {
    const auto a = add(L"first"), b = add(L"second"), c = add(L"third");
    db->add_to_slots({a, b, c}, 9);
    db->set_pinned_many({a}, true);
    EXPECT_TRUE(db->trash_entry(a));
    EXPECT_EQ(db->trash_entries({b, 12345}), 2);
    EXPECT_EQ(ids_of(db->list_entries(L"all", false, false)), (std::vector<std::int64_t>{c}));
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{c}));
    EXPECT_EQ(db->find_slot(1)->id, c);
    EXPECT_FALSE(db->find_slot(2));
    EXPECT_EQ(number("SELECT count(*) FROM slot_entries"), 1);
    EXPECT_EQ(value("SELECT pinned FROM history WHERE id=" + std::to_string(a)), "1");

    EXPECT_TRUE(db->restore_entry(a));
    EXPECT_EQ(db->restore_entries({b}), 1);
    EXPECT_EQ(db->restore_entries({}), 0);
    // Back at the old place, without the slot.
    EXPECT_EQ(ids_of(db->list_entries(L"all", false, false)), (std::vector<std::int64_t>{c, b, a}));
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{c}));
}

TEST_F(StorageTest, SingleFieldEdits) {
    // Captured with formatting, which must not outlive an edit of the text.
    const auto id = db->add_entry(L"entry", "{\\rtf1 entry}", "<b>entry</b>", {}, L"a.exe", false, false, std::nullopt,
                                  L"", L"", false);
    EXPECT_FALSE(db->get_keep(id));
    EXPECT_TRUE(db->set_keep(id, true));
    EXPECT_TRUE(db->get_keep(id));
    EXPECT_FALSE(db->set_keep(999, true));
    EXPECT_FALSE(db->get_keep(999));

    EXPECT_FALSE(db->set_entry_text(id, L""));
    EXPECT_TRUE(db->set_entry_text(id, L"two\r\nlines 'quoted'"));
    EXPECT_EQ(value("SELECT text FROM history WHERE id=" + std::to_string(id)), "two\r\nlines 'quoted'");
    EXPECT_EQ(value("SELECT rtf IS NULL AND html IS NULL FROM history WHERE id=" + std::to_string(id)), "1");

    EXPECT_TRUE(db->set_custom_title(id, L"Заголовок"));
    EXPECT_EQ(db->list_entries(L"all", false, false)[0].custom_title, L"Заголовок");
    EXPECT_TRUE(db->set_custom_title(id, L""));
    EXPECT_EQ(db->list_entries(L"all", false, false)[0].custom_title, L"");

    EXPECT_TRUE(db->set_image_path(id, L"C:\\x.png"));
    EXPECT_FALSE(db->set_image_path(999, L"C:\\x.png"));
    // A page's title lands only on the text it was fetched for (as the copy
    // came, as the capture stored it), and goes with that text.
    const auto link = add(L"https://a.example/");
    const auto link_title = [&] { return value("SELECT link_title FROM history WHERE id=" + std::to_string(link)); };
    EXPECT_FALSE(db->set_link_title(link, L"https://a.example/", L""));
    EXPECT_TRUE(db->set_link_title(link, L" https://a.example/\r\n", L"Title"));
    EXPECT_TRUE(db->set_entry_text(link, L"https://a.example/"));
    EXPECT_EQ(link_title(), "Title");
    EXPECT_TRUE(db->set_entry_text(link, L"https://b.example/"));
    EXPECT_EQ(link_title(), "");
    EXPECT_FALSE(db->set_link_title(link, L"https://a.example/", L"Old page"));
    EXPECT_EQ(link_title(), "");
    db->delete_entry(link);
    EXPECT_FALSE(db->set_link_title(link, L"https://b.example/", L"Title"));

    const auto other = add(L"other");
    EXPECT_TRUE(db->increment_use_count(other));
    db->increment_use_count(other);
    ASSERT_EQ(settled("SELECT use_count FROM history WHERE id=" + std::to_string(other), "2"), "2");
    EXPECT_EQ(db->list_entries(L"all", false, false)[0].use_count, 2);

    const auto cat = db->add_category(L"C");
    EXPECT_EQ(db->set_entries_category({other}, cat), 1);
    EXPECT_EQ(db->list_entries(L"all", false, false)[0].category_id, cat);
    EXPECT_TRUE(db->set_entry_category(other, std::nullopt));
    EXPECT_EQ(db->list_entries(L"all", false, false)[0].category_id, std::nullopt);
    EXPECT_EQ(db->set_entries_category({}, cat), 0);
}

// A picture's count rewrites megabytes: it is written beside the caller,
// and all of it before the file closes; a change the user makes meanwhile,
// an unpin that reads before it writes too, waits for it rather than being
// lost.
TEST_F(StorageTest, UseCountsAreWrittenBeforeTheFileCloses) {
    const auto picture = add_image(L"", Bytes(24 << 20, 7)), text = add(L"text");
    sqlite3_busy_timeout(raw, 0);  // the count's write holds the file from the moment this connection cannot have it
    const auto counted_and_held = [&](std::initializer_list<std::int64_t> ids) {
        for (auto id : ids) db->increment_use_count(id);
        for (int i = 0; i < 2000; ++i, Sleep(1))
            if (sqlite3_exec(raw, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_BUSY) return true;
        return false;
    };
    ASSERT_TRUE(counted_and_held({picture, text, picture}));
    EXPECT_EQ(db->set_pinned_many({text}, true), 1);
    ASSERT_TRUE(counted_and_held({picture}));
    EXPECT_EQ(db->set_pinned_many({text}, false), 1);
    db.reset();
    EXPECT_EQ(column("SELECT use_count || pinned FROM history ORDER BY id"), (std::vector<std::string>{"30", "10"}));
}

// An open that failed (here: no file there yet) is tried again at the next count.
TEST_F(StorageTest, UseCountWriterOpensAgainAfterAFailedOpen) {
    const auto id = add(L"entry");
    const std::wstring later = dir.file(L"later.db");
    {
        UseCountWriter writer(later);
        writer.count(id);
        for (int i = 0; i < 250 && writer.writing(); ++i) Sleep(20);
        ASSERT_FALSE(writer.writing());
        sql("VACUUM INTO '" + utf8_from_wide(later) + "'");
        writer.count(id);
    }
    sql("ATTACH '" + utf8_from_wide(later) + "' AS later");
    EXPECT_EQ(value("SELECT use_count FROM later.history WHERE id=" + std::to_string(id)), "1");
}

TEST_F(StorageTest, FailedUpdateIsNotReportedAsAChangedRow) {
    const auto id = add(L"entry");
    const auto second = add(L"second");  // leaves changes() at 1
    sql("CREATE TRIGGER refuse BEFORE UPDATE OF link_title, image_path, pinned ON history WHEN OLD.id=" +
        std::to_string(id) + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(db->set_link_title(id, L"entry", L"Title"));
    EXPECT_FALSE(db->set_image_path(id, L"C:\\a.png"));
    // A selection pinned in part is not pinned at all.
    EXPECT_EQ(db->set_pinned_many({second, id}, true), 0);
    EXPECT_EQ(value("SELECT pinned FROM history WHERE id=" + std::to_string(second)), "0");
}

TEST_F(StorageTest, HostileTextRoundTrips) {
    const std::vector<std::wstring> texts = {
        L"'); DROP TABLE history;--",
        L"\x01\x02\x1b[31m \x7f \u200b zero-width",
        L"Съешь же ещё этих мягких французских булок \U0001F600\U0001F9D1\u200D\U0001F4BB",
        std::wstring(1 << 20, L'ж') + L"end",
        L"tab\tinside\tand \"quotes\" \\ backslash",
    };
    std::vector<std::int64_t> ids;
    for (const auto& t : texts) ids.push_back(add(t));
    const auto listed = db->list_entries(L"all", false, false);
    ASSERT_EQ(listed.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(listed[texts.size() - 1 - i].text, texts[i]) << i;
        EXPECT_EQ(listed[texts.size() - 1 - i].id, ids[i]);
    }
    // The same 1 MB text again is found as a duplicate.
    EXPECT_EQ(add(texts[3]), ids[3]);
    EXPECT_EQ(number("SELECT count(*) FROM history"), static_cast<long long>(texts.size()));
}

TEST_F(StorageTest, HeadsGiveTheFirstRowsWithTheStartOfTheirTexts) {
    const auto older = add(L"older, pinned");
    db->set_pinned_many({older}, true);
    // A surrogate pair straddles each of the cuts below, in a long text.
    const std::wstring long_text = L"abcd\U0001F600" + std::wstring(1 << 20, L'ж');
    const auto rich =
        db->add_entry(long_text, "{\\rtf1 x}", "<b>x</b>", {}, L"", false, false, std::nullopt, L"", L"", false);
    add(L"newest");
    const auto whole = db->list_entries(L"all", false, true);
    for (const std::size_t units : {5u, 6u, 300u}) {
        const auto heads = db->list_entry_heads(L"all", true, 2, units);
        ASSERT_EQ(heads.size(), 2u);
        for (size_t i = 0; i < heads.size(); ++i) {
            EXPECT_EQ(heads[i].id, whole[i].id);
            EXPECT_EQ(heads[i].text, cut_code_units(whole[i].text, units)) << units;
        }
        EXPECT_EQ(db->list_entry_heads(L"all", true, 9, units).back().text, cut_code_units(long_text, units));
    }
    const auto found = db->find_entry(rich);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->text, long_text);
    EXPECT_EQ(found->rtf, "{\\rtf1 x}");
    EXPECT_FALSE(db->find_entry(rich + 100));
}
