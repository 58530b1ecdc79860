// What the main window's entry list costs: a refill of a view with 200 text
// and 50 image entries after a write to the history, with no thumbnail made
// yet (cold) or every one of the screen in the cache (warm), and the paint of
// one screen of cards, each beside the bare database read of the same view
// (list_entries) in the same run; the time a cold refill takes until the
// screen's pictures are in; then one search keystroke (the refill that the search field's
// EN_CHANGE runs) over 200 texts, beside the same keystroke once a text of
// 20 million characters has joined them; and an opening of the quick menu
// (its hotkey), beside the same opening with that text among its ten rows.
// Run it under Wine on a display (xvfb-run +
// scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_ui.exe [passes]     (default 30)
// The goals: a refill plus the paint of a screen within one 16 ms frame, cold
// as warm; a keystroke, and an opening of the quick menu, with the long text
// within 50 ms and 3 x the one without.
// The history lives in a temporary folder; nothing of the profile is touched.

#include "bench_timing.h"

#include "support/main_window_fixture.h"
#include "ui/main_window/entry_format.h"
#include "ui/menu/quick_menu.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace testsupport;

namespace {

// A long text that none of the searches finds, so each one reads it to the end.
std::wstring long_text(std::size_t length) {
    const std::wstring phrase = L"Съешь же ещё этих мягких французских булок, да выпей чаю. The quick brown fox. ";
    std::wstring text;
    text.reserve(length + phrase.size());
    while (text.size() < length) text += phrase;
    text.resize(length);
    return text;
}

void drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    MainWindowFixture fixture;
    HistoryDb& db = fixture.db();
    // A pinned category spares its entries from the 200-entry cap.
    const std::int64_t category = db.add_category(L"Bench");
    db.toggle_category_pin(category);
    // A picture every fifth entry, so the first screen holds some.
    for (int i = 0; i < 250; ++i) {
        if (i % 5 == 0) {
            add_image_entry(db, 640, 400, RGB(20 + i % 200, 90, 160), category);
        } else {
            add_text_entry(db, L"Entry " + std::to_wstring(i) + L": " + std::wstring(120, L'x'), category);
        }
    }
    if (!fixture.open(20, 20, 760, 720)) {
        std::printf("the main window could not be created\n");
        return 1;
    }
    MainWindow& mw = fixture.main_window();
    mw.set_view(kViewCategory, static_cast<int>(category));
    drain();
    const std::wstring key = view_key(kViewCategory, static_cast<int>(category));
    const std::size_t rows = mw.entries.size();

    auto nothing = [] {};
    auto paint = [&] { RedrawWindow(mw.entry_list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    // The window's loop turning until the pictures the cards asked for are made and painted.
    auto settle = [&] {
        while (!mw.asked_thumbnails.empty()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            drain();
        }
        drain();
    };
    // A write between passes, as a new copy makes one: each refill reads the view anew.
    const std::int64_t written = mw.entries.back().id;
    auto history_changes = [&] { db.set_keep(written, false); };
    auto cleared = [&] {
        history_changes();
        mw.clear_thumbnails();
    };
    auto refill_and_paint = [&] {
        mw.refresh_list();
        paint();
    };
    const double read = median_ms(passes, history_changes, [&] { (void)db.list_entries(key, false, true); });
    const double refill = median_ms(passes, history_changes, [&] { mw.refresh_list(); });
    const double cold = median_ms(passes, cleared, refill_and_paint);
    const double pictures = median_ms(passes, cleared, [&] {
        refill_and_paint();
        settle();
    });
    settle();
    const double warm = median_ms(passes, history_changes, refill_and_paint);
    const double screen = median_ms(passes, nothing, paint);

    std::printf("entry list of %zu rows (%zu pictures), median of %d passes\n", rows,
                static_cast<std::size_t>(std::count_if(mw.entries.begin(), mw.entries.end(),
                                                       [](const HistoryEntry& e) { return e.is_image; })),
                passes);
    std::printf("  list_entries alone                 %8.2f ms\n", read);
    std::printf("  refresh_list                       %8.2f ms  (%5.2f x list_entries)\n", refill, refill / read);
    std::printf("  refill + paint, thumbnails cold    %8.2f ms  (%5.2f x list_entries)  goal: 16 ms\n", cold,
                cold / read);
    std::printf("  refill + paint, thumbnails warm    %8.2f ms  (%5.2f x list_entries)  goal: 16 ms\n", warm,
                warm / read);
    std::printf("  cold, until the pictures are in    %8.2f ms  (the loop's next turns make them)\n", pictures);
    std::printf("  paint of one screen of cards       %8.2f ms\n", screen);

    // Typing into the search field: each pass changes its text by one letter,
    // as a keystroke does, and the field's EN_CHANGE refills the list.
    mw.set_view(kViewAll, -1);
    drain();
    bool longer = false;
    auto keystroke = [&] {
        longer = !longer;
        SetWindowTextW(mw.search_edit, longer ? L"entry 17" : L"entry 1");
    };
    const double typed = median_ms(passes, nothing, keystroke);
    const std::size_t typed_rows = mw.entries.size();
    // The quick menu's hotkey, over a history written to since the last opening.
    QuickMenu*& quick_menu = fixture.app().quick_menu;
    if (!quick_menu) quick_menu = new QuickMenu();  // the App deletes it
    auto closed = [&] {
        history_changes();
        quick_menu->hide();
        drain();
    };
    auto open_quick_menu = [&] { fixture.app().show_quick_menu(); };
    const double opened = median_ms(passes, closed, open_quick_menu);

    constexpr std::size_t kLongText = 20u << 20;
    add_text_entry(db, long_text(kLongText), category);
    SetWindowTextW(mw.search_edit, L"");
    const double typed_long = median_ms(passes, nothing, keystroke);
    const double opened_long = median_ms(passes, closed, open_quick_menu);
    closed();

    std::printf("search keystroke over %zu texts, median of %d passes\n", typed_rows, passes);
    std::printf("  without a long text                %8.2f ms\n", typed);
    std::printf("  with a text of %zu M characters    %8.2f ms  (%5.2f x without)  goal: 50 ms, 3 x\n", kLongText >> 20,
                typed_long, typed_long / typed);
    std::printf("quick menu opening (ten newest of %zu texts), median of %d passes\n", typed_rows, passes);
    std::printf("  without a long text                %8.2f ms\n", opened);
    std::printf("  with a text of %zu M characters    %8.2f ms  (%5.2f x without)  goal: 50 ms, 3 x\n", kLongText >> 20,
                opened_long, opened_long / opened);
    return 0;
}
