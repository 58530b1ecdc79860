// What the main window's entry list costs: a refill of a view with 200 text
// and 50 image entries, with the thumbnails of the first screen made anew
// (cold) or taken from the cache (warm), and the paint of one screen of cards,
// each beside the bare database read of the same view (list_entries) in the
// same run. Run it under Wine on a display (xvfb-run +
// scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_ui.exe [passes]     (default 30)
// The goal: a warm refill plus the paint of a screen within one 16 ms frame.
// The history lives in a temporary folder; nothing of the profile is touched.

#include "support/main_window_fixture.h"
#include "ui/main_window/entry_format.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace testsupport;

namespace {

using Clock = std::chrono::steady_clock;

double median_ms(int passes, const std::function<void()>& before, const std::function<void()>& fn) {
    std::vector<double> times;
    for (int i = 0; i < passes; ++i) {
        before();
        const auto start = Clock::now();
        fn();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
    const double read = median_ms(passes, nothing, [&] { (void)db.list_entries(key, false, true); });
    const double refill = median_ms(passes, nothing, [&] { mw.refresh_list(); });
    const double cold = median_ms(
        passes, [&] { mw.clear_thumbnails(); },
        [&] {
            mw.refresh_list();
            paint();
        });
    const double warm = median_ms(passes, nothing, [&] {
        mw.refresh_list();
        paint();
    });
    const double screen = median_ms(passes, nothing, paint);

    std::printf("entry list of %zu rows (%zu pictures), median of %d passes\n", rows,
                static_cast<std::size_t>(std::count_if(mw.entries.begin(), mw.entries.end(),
                                                       [](const HistoryEntry& e) { return e.is_image; })),
                passes);
    std::printf("  list_entries alone                 %8.2f ms\n", read);
    std::printf("  refresh_list                       %8.2f ms  (%5.2f x list_entries)\n", refill, refill / read);
    std::printf("  refill + paint, thumbnails cold    %8.2f ms  (%5.2f x list_entries)\n", cold, cold / read);
    std::printf("  refill + paint, thumbnails warm    %8.2f ms  (%5.2f x list_entries)  goal: 16 ms\n", warm,
                warm / read);
    std::printf("  paint of one screen of cards       %8.2f ms\n", screen);
    return 0;
}
