// Categories, quick slots and the manual order of entries.

#include "storage_fixture.h"

#include <map>

TEST_F(StorageTest, CategoriesAddRenamePinMoveDelete) {
    const auto work = db->add_category(L"  Work \t");
    ASSERT_GT(work, 0);
    EXPECT_EQ(db->add_category(L"Work"), work);
    const auto lower = db->add_category(L"work");
    EXPECT_NE(lower, work);
    EXPECT_EQ(db->add_category(L" \r\n"), -1);
    const auto quoted = db->add_category(L"Bob's 'stuff'");
    auto names = [&] {
        std::vector<std::wstring> out;
        for (const auto& c : db->list_categories()) out.push_back(c.name);
        return out;
    };
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"Work", L"work", L"Bob's 'stuff'"}));
    EXPECT_EQ(db->list_categories()[2].cat_order, 3);

    EXPECT_TRUE(db->rename_category(quoted, L" Home "));
    EXPECT_FALSE(db->rename_category(quoted, L"  "));
    EXPECT_TRUE(db->rename_category(quoted, L"Work"));  // taken: refused by the table, quietly
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"Work", L"work", L"Home"}));

    EXPECT_TRUE(db->toggle_category_pin(work));
    EXPECT_TRUE(db->list_categories()[0].pinned);
    EXPECT_TRUE(db->toggle_category_pin(work));
    EXPECT_FALSE(db->list_categories()[0].pinned);
    EXPECT_FALSE(db->toggle_category_pin(999));

    EXPECT_FALSE(db->move_category(work, -1));
    EXPECT_FALSE(db->move_category(quoted, +1));
    EXPECT_FALSE(db->move_category(999, +1));
    EXPECT_TRUE(db->move_category(quoted, -1));
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"Work", L"Home", L"work"}));
    EXPECT_TRUE(db->move_category(work, 7));  // any direction but -1 is down
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"Home", L"Work", L"work"}));

    // Deleting keeps the entries, live and trashed, without a category; an
    // entry pinned only through it is no longer pinned.
    db->toggle_category_pin(work);
    const auto live = add(L"live entry", work), trashed = add(L"trashed entry", work);
    db->trash_entry(trashed);
    EXPECT_EQ(db->list_entries(L"pinned", false, false).size(), 1u);
    EXPECT_TRUE(db->delete_category(work));
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"Home", L"work"}));
    EXPECT_EQ(number("SELECT count(*) FROM history WHERE category_id IS NULL"), 2);
    EXPECT_EQ(db->list_entries(L"pinned", false, false).size(), 0u);
    EXPECT_EQ(ids_of(db->list_entries(L"none", false, false)), (std::vector<std::int64_t>{live}));
}

TEST_F(StorageTest, OneStatementListsEveryCategory) {
    std::vector<std::int64_t> categories;
    for (int i = 0; i < 30; ++i) categories.push_back(db->add_category(L"category " + std::to_wstring(i)));
    const auto last = add(L"in the last", categories.back());
    auto view = [&](std::int64_t category) {
        return ids_of(db->list_entries(L"cat:" + std::to_wstring(category), false, false));
    };
    EXPECT_TRUE(view(categories.front()).empty());
    const std::size_t prepared = db->prepared_statement_count();
    db->delete_category(categories[1]);
    for (const auto category : categories) view(category);
    EXPECT_EQ(view(categories.back()), (std::vector<std::int64_t>{last}));
    EXPECT_EQ(db->prepared_statement_count(), prepared);
}

TEST_F(StorageTest, MergingACategoryMovesEveryEntryAndKeepsEachPin) {
    // Every row, trashed ones too, as id -> (category, counts as pinned).
    auto state = [&] {
        std::map<std::int64_t, std::pair<std::int64_t, bool>> out;
        for (const HistoryEntry& e : db->list_entries(L"every row", false, false))
            out[e.id] = {e.category_id.value_or(0), e.ep};
        return out;
    };
    auto categories = [&] { return db->list_categories().size(); };
    // A pinned category into an unpinned one, and an unpinned one into a pinned one.
    const auto old_pinned = db->add_category(L"Old pinned"), plain = db->add_category(L"Plain");
    const auto old_plain = db->add_category(L"Old plain"), pinned = db->add_category(L"Pinned");
    db->toggle_category_pin(old_pinned);
    db->toggle_category_pin(pinned);
    const auto through = add(L"pinned through its category", old_pinned), own = add(L"pinned itself", old_pinned),
               unpinned = add(L"unpinned in a pinned category", old_pinned),
               trashed = add(L"trashed, pinned through it", old_pinned), loose = add(L"not pinned", old_plain),
               mine = add(L"pinned itself too", old_plain);
    db->set_pinned_many({own, mine}, true);
    db->set_pinned_many({unpinned}, false);
    db->trash_entry(trashed);
    db->add_to_slots({through, loose, unpinned}, 9);
    const auto slots = ids_of(db->list_slots());

    auto expected = state();
    for (auto id : {through, own, unpinned, trashed}) expected[id].first = plain;
    for (auto id : {loose, mine}) expected[id].first = pinned;
    ASSERT_TRUE(expected[through].second && expected[trashed].second && !expected[unpinned].second);
    EXPECT_TRUE(db->merge_category(old_pinned, plain));
    EXPECT_TRUE(db->merge_category(old_plain, pinned));
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(categories(), 2u);  // the emptied ones
    EXPECT_EQ(ids_of(db->list_slots()), slots);

    // Nothing happens for a missing category or a category merged into itself;
    // a failing step keeps every entry where it was.
    EXPECT_FALSE(db->merge_category(plain, plain));
    EXPECT_FALSE(db->merge_category(plain, 999));
    EXPECT_FALSE(db->merge_category(999, plain));
    sql("CREATE TRIGGER refuse BEFORE DELETE ON categories BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const auto before = state();
    EXPECT_FALSE(db->merge_category(plain, pinned));
    EXPECT_EQ(state(), before);
    EXPECT_EQ(categories(), 2u);
}

TEST_F(StorageTest, FailedCategoryInsertIsNotReportedAsAnId) {
    add(L"an entry first, so the connection has a last row id");
    sql("CREATE TRIGGER refuse BEFORE INSERT ON categories BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_EQ(db->add_category(L"New"), -1);
    EXPECT_TRUE(db->list_categories().empty());
}

TEST_F(StorageTest, QuickSlotsFillUpToTheMaximum) {
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 12; ++i) ids.push_back(add(L"entry " + std::to_wstring(i)));
    EXPECT_EQ(db->add_to_slots({ids.begin(), ids.begin() + 7}, 9), 7);
    EXPECT_EQ(db->add_to_slots({ids[7], ids[8], ids[9], ids[10]}, 9), 2);
    EXPECT_EQ(ids_of(db->list_slots()), std::vector<std::int64_t>(ids.begin(), ids.begin() + 9));
    EXPECT_EQ(db->add_to_slots({ids[11]}, 9), 0);
    // An entry already in a slot keeps its place.
    EXPECT_EQ(db->add_to_slots({ids[0]}, 9), 0);
    EXPECT_EQ(db->list_slots().front().id, ids[0]);
    EXPECT_EQ(db->add_to_slots({}, 9), 0);
    EXPECT_EQ(db->add_to_slots({ids[11]}, 0), 0);
}

TEST_F(StorageTest, QuickSlotPositionsStayDistinct) {
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 6; ++i) ids.push_back(add(L"entry " + std::to_wstring(i)));
    db->add_to_slots({ids[0], ids[1], ids[2]}, 9);
    EXPECT_TRUE(db->remove_from_slots(ids[1]));
    EXPECT_EQ(db->add_to_slots({ids[3]}, 9), 1);
    // The new slot goes after the last one: every position names one entry.
    EXPECT_EQ(column("SELECT slot_order FROM slot_entries ORDER BY slot_order"),
              (std::vector<std::string>{"1", "3", "4"}));
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{ids[0], ids[2], ids[3]}));

    // Entries removed for good take their slots with them; the slot list has no holes.
    EXPECT_EQ(db->delete_entries({ids[2]}), 1);
    db->add_to_slots({ids[4]}, 9);
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{ids[0], ids[3], ids[4]}));
    sql("UPDATE history SET created_at='2001-01-01T00:00:00' WHERE id=" + std::to_string(ids[0]));
    EXPECT_EQ(db->purge_expired(30), 1);
    EXPECT_EQ(ids_of(db->list_slots()), (std::vector<std::int64_t>{ids[3], ids[4]}));
    EXPECT_EQ(number("SELECT count(*) FROM slot_entries WHERE entry_id NOT IN (SELECT id FROM history)"), 0);
    db->clear_history(true);
    EXPECT_EQ(number("SELECT count(*) FROM slot_entries"), 0);

    // Moving renumbers the slots 1..n.
    const auto a = add(L"slot a"), b = add(L"slot b"), c = add(L"slot c");
    db->add_to_slots({a, b, c}, 9);
    db->remove_from_slots(a);
    EXPECT_TRUE(db->move_slots({c}, -1));
    EXPECT_EQ(column("SELECT entry_id || ':' || slot_order FROM slot_entries ORDER BY slot_order"),
              (std::vector<std::string>{std::to_string(c) + ":1", std::to_string(b) + ":2"}));
    EXPECT_FALSE(db->move_slots({c}, -1));
    EXPECT_FALSE(db->move_slots({}, +1));
}

class MoveEntriesTest : public StorageTest {
protected:
    // Display order of the "all" view, newest first.
    std::vector<std::int64_t> shown(bool pinned_first = false) {
        return ids_of(db->list_entries(L"all", false, pinned_first));
    }
};

TEST_F(MoveEntriesTest, MovesWithinTheScopeAndRenumbersEveryRow) {
    const auto cat = db->add_category(L"C");
    const auto e1 = add(L"one"), e2 = add(L"two", cat), img = add_image(L"", {1}), e3 = add(L"three"),
               gone = add(L"gone"), e4 = add(L"four", cat);
    db->trash_entry(gone);
    ASSERT_EQ(shown(), (std::vector<std::int64_t>{e4, e3, e2, e1}));

    // Down by one: swaps with the next visible entry; the image and the
    // trashed entry keep their places in the full order.
    EXPECT_TRUE(db->move_entries({e4}, +1, false, make_view_scope(0, 0)));
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{e3, e4, e2, e1}));
    EXPECT_EQ(column("SELECT id FROM history ORDER BY sort_order DESC"),
              (std::vector<std::string>{std::to_string(e3), std::to_string(gone), std::to_string(e4),
                                        std::to_string(img), std::to_string(e2), std::to_string(e1)}));
    EXPECT_EQ(column("SELECT sort_order FROM history ORDER BY sort_order DESC"),
              (std::vector<std::string>{"6", "5", "4", "3", "2", "1"}));

    // A gappy selection gathers next to its neighbour.
    EXPECT_TRUE(db->move_entries({e3, e2}, +1, false, make_view_scope(0, 0)));
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{e4, e1, e3, e2}));

    // In a category scope only that category's text entries take part.
    EXPECT_TRUE(db->move_entries({e2}, -1, false, make_view_scope(5, cat)));
    EXPECT_EQ(ids_of(db->list_entries(L"cat:" + std::to_wstring(cat), false, false)),
              (std::vector<std::int64_t>{e2, e4}));
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{e2, e1, e3, e4}));

    // Nothing moves: the top up, everything selected, nothing of the scope selected.
    EXPECT_FALSE(db->move_entries({e2}, -1, false, make_view_scope(0, 0)));
    EXPECT_FALSE(db->move_entries({e1, e2, e3, e4}, +1, false, make_view_scope(0, 0)));
    EXPECT_FALSE(db->move_entries({img}, +1, false, make_view_scope(0, 0)));
    EXPECT_FALSE(db->move_entries({}, +1, false, make_view_scope(0, 0)));
}

TEST_F(MoveEntriesTest, ACategoryMoveStoresWhatItsViewShowsPicturesIncluded) {
    const auto cat = db->add_category(L"C");
    const auto t2 = add(L"text two", cat);
    const auto picture = db->add_entry(L"", {}, {}, {1}, L"", true, true, cat, L"", L"", false);
    const auto t1 = add(L"text one", cat);
    auto view = [&] { return ids_of(db->list_entries(L"cat:" + std::to_wstring(cat), false, false)); };
    ASSERT_EQ(view(), (std::vector<std::int64_t>{t1, picture, t2}));
    EXPECT_TRUE(db->move_entries({t2}, -1, false, make_view_scope(5, cat)));
    EXPECT_EQ(view(), (std::vector<std::int64_t>{t1, t2, picture}));
    EXPECT_TRUE(db->move_entries({t2}, -1, false, make_view_scope(5, cat)));
    EXPECT_EQ(view(), (std::vector<std::int64_t>{t2, t1, picture}));
}

TEST_F(MoveEntriesTest, PinnedFirstKeepsTheBoundary) {
    const auto a = add(L"aa"), b = add(L"bb"), c = add(L"cc"), d = add(L"dd");
    db->set_pinned_many({a, b}, true);
    ASSERT_EQ(shown(true), (std::vector<std::int64_t>{b, a, d, c}));
    EXPECT_FALSE(db->move_entries({d}, -1, true, make_view_scope(0, 0)));
    EXPECT_FALSE(db->move_entries({a, d}, +1, true, make_view_scope(0, 0)));
    EXPECT_TRUE(db->move_entries({c}, -1, true, make_view_scope(0, 0)));
    EXPECT_EQ(shown(true), (std::vector<std::int64_t>{b, a, c, d}));
    // Pinned entries now hold the highest sort orders of the table.
    EXPECT_EQ(shown(false), (std::vector<std::int64_t>{b, a, c, d}));
}

TEST_F(MoveEntriesTest, FailedRenumberingKeepsTheOldOrder) {
    const auto a = add(L"aa"), b = add(L"bb");
    sql("CREATE TRIGGER refuse BEFORE UPDATE OF sort_order ON history WHEN NEW.id=" + std::to_string(a) +
        " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(db->move_entries({b}, +1, false, make_view_scope(0, 0)));
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{b, a}));
    EXPECT_EQ(column("SELECT sort_order FROM history ORDER BY id"), (std::vector<std::string>{"1", "2"}));
}
