// The pictures of image cards are kept only while their rows are in the
// list: a user who goes through every view and searches holds no bitmap of
// an entry the list no longer shows.

#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace testsupport;

namespace {

size_t bitmaps_held(const MainWindow& mw) {
    size_t held = 0;
    for (const auto& [id, bitmap] : mw.thumbnails) held += bitmap ? 1 : 0;
    return held;
}

size_t image_rows(const MainWindow& mw) {
    size_t rows = 0;
    for (std::int64_t data : list_data(mw.entry_list)) rows += mw.find_image_entry(data) ? 1 : 0;
    return rows;
}

void paint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages(100);
}

}  // namespace

TEST(Thumbnails, OnlyRowsInTheListHoldAPicture) {
    MainWindowFixture fx;
    HistoryDb& db = fx.db();
    const std::int64_t work = db.add_category(L"Work");
    const std::int64_t home = db.add_category(L"Home");
    for (int i = 0; i < 4; ++i) add_image_entry(db, 40 + i, 30, RGB(40 * i, 120, 200), work);
    for (int i = 0; i < 3; ++i) add_image_entry(db, 50, 30 + i, RGB(200, 40 * i, 60), home);
    db.set_pinned_many({add_image_entry(db, 30, 30, RGB(10, 200, 10))}, true);
    db.trash_entry(add_image_entry(db, 20, 20, RGB(90, 90, 90)));
    add_text_entry(db, L"a text among the pictures", work);
    db.add_snippet(L"Greeting", L"Hello, {user}", L"");
    ASSERT_TRUE(fx.open(40, 40, 760, 900));
    MainWindow& mw = fx.main_window();

    // Every view, and a search, entered from the pictures.
    const std::vector<std::pair<const char*, std::function<void()>>> ways_out = {
        {"pinned", [&] { mw.set_view(kViewPinned, -1); }},
        {"quick slots", [&] { mw.set_view(kViewSlots, -1); }},
        {"Home", [&] { mw.set_view(kViewCategory, static_cast<int>(home)); }},
        {"Work", [&] { mw.set_view(kViewCategory, static_cast<int>(work)); }},
        {"trash", [&] { mw.set_view(kViewTrash, -1); }},
        {"all", [&] { mw.set_view(kViewAll, -1); }},
        {"uncategorised", [&] { mw.set_view(kViewUncategorised, -1); }},
        {"templates", [&] { mw.show_templates_view(); }},
        {"a search no picture matches",
         [&] {
             SetWindowTextW(mw.search_edit, L"no picture has this");
             pump_until([&] { return list_data(mw.entry_list).empty(); }, 3000);
         }},
    };
    for (const auto& [name, go] : ways_out) {
        SetWindowTextW(mw.search_edit, L"");
        mw.set_view(kViewImages, -1);
        paint(fx.hwnd());
        // However the pictures are made, every one on screen is there in the end.
        ASSERT_TRUE(pump_until([&] { return bitmaps_held(mw) >= 8; }, 5000)) << bitmaps_held(mw);
        go();
        paint(fx.hwnd());
        EXPECT_LE(bitmaps_held(mw), image_rows(mw)) << name;
    }
}
