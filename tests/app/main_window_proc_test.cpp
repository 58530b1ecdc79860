#include "app/main_window_proc.h"
#include "ui/kit/brush_cache.h"
#include "ui/kit/list_box.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/sidebar.h"
#include "ui/main_window/window_placement.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// The title bar with the frame above it.
constexpr int kTitle = 31;

// The work areas of two monitors side by side: a secondary one left of the
// primary, which gives it negative coordinates.
bool two_monitors(int x, int y, int w, int h) {
    auto overlaps = [&](int left, int top, int right, int bottom) {
        return x < right && x + w > left && y < bottom && y + h > top;
    };
    return overlaps(0, 0, 1920, 1080) || overlaps(-1280, 0, 0, 1024);
}

}  // namespace

TEST(WindowPlacement, SmallSizesOpenAtTheDefaultSize) {
    WindowPlacement p = initial_window_placement(100, 100, 300, 200, kTitle, two_monitors);
    EXPECT_EQ(p.width, 620);
    EXPECT_EQ(p.height, 440);
    p = initial_window_placement(100, 100, 400, 300, kTitle, two_monitors);
    EXPECT_EQ(p.width, 400);
    EXPECT_EQ(p.height, 300);
    p = initial_window_placement(100, 100, 399, 299, kTitle, two_monitors);
    EXPECT_EQ(p.width, 620);
    EXPECT_EQ(p.height, 440);
}

TEST(WindowPlacement, StoredPositionsAreKeptOnlyWhereAMonitorIs) {
    // Never stored: the system places the window.
    EXPECT_TRUE(initial_window_placement(-1, -1, 620, 440, kTitle, two_monitors).system_position);
    // A window on the monitor left of the primary keeps its place.
    WindowPlacement p = initial_window_placement(-1000, 200, 620, 440, kTitle, two_monitors);
    EXPECT_FALSE(p.system_position);
    EXPECT_EQ(p.x, -1000);
    EXPECT_EQ(p.y, 200);
    // Partly off the top of a monitor still counts as on it.
    p = initial_window_placement(300, -20, 620, 440, kTitle, two_monitors);
    EXPECT_FALSE(p.system_position);
    EXPECT_EQ(p.y, -20);
    // A monitor that was unplugged: the position is forgotten.
    EXPECT_TRUE(initial_window_placement(2500, 100, 620, 440, kTitle, two_monitors).system_position);
    EXPECT_TRUE(initial_window_placement(-3000, 100, 620, 440, kTitle, two_monitors).system_position);
    EXPECT_TRUE(initial_window_placement(100, 5000, 620, 440, kTitle, two_monitors).system_position);
    // Only its top strip counts: with the title bar off every work area the
    // window could not be moved back, however much of the rest shows.
    EXPECT_TRUE(initial_window_placement(300, -100, 620, 440, kTitle, two_monitors).system_position);
    EXPECT_TRUE(initial_window_placement(-600, -400, 620, 440, kTitle, two_monitors).system_position);
    // A title bar reaching onto a work area, however little, can be dragged.
    EXPECT_FALSE(initial_window_placement(100, 1075, 620, 440, kTitle, two_monitors).system_position);
    EXPECT_FALSE(initial_window_placement(1900, 100, 620, 440, kTitle, two_monitors).system_position);
    // Without a way to ask, nothing stored is trusted.
    EXPECT_TRUE(initial_window_placement(100, 100, 620, 440, kTitle, nullptr).system_position);
}

TEST(WindowPlacement, NearTheCursorButInsideTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 984};
    int x = 0, y = 0;
    near_cursor_position(700, 500, 620, 440, work, x, y);
    EXPECT_EQ(x, 390);
    EXPECT_EQ(y, 460);
    // Near the left and top edges the window moves right and down ...
    near_cursor_position(100, 10, 620, 440, work, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // ... near the right and bottom edges left and up.
    near_cursor_position(1270, 980, 620, 440, work, x, y);
    EXPECT_EQ(x, 660);
    EXPECT_EQ(y, 544);
    // On a monitor left of the primary one.
    near_cursor_position(-1900, 300, 620, 440, ScreenRect{-1920, 0, 0, 1040}, x, y);
    EXPECT_EQ(x, -1920);
    EXPECT_EQ(y, 260);
    // Larger than the work area: the top-left corner stays on screen.
    near_cursor_position(600, 500, 2000, 1200, work, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(WindowPlacement, AWindowWhoseMonitorWentComesOntoTheNearestWorkArea) {
    // The primary monitor and one left of it; a third, right of the primary, was unplugged.
    const std::vector<ScreenRect> areas{{0, 0, 1920, 1040}, {-1280, 0, 0, 984}};
    auto shown = [&](ScreenRect window) { return onto_nearest_work_area(window, kTitle, areas); };
    EXPECT_FALSE(shown({1900, 100, 2520, 540})) << "a title bar reaching onto a work area stays";
    // Moved the least way into the nearest one, at its size.
    EXPECT_EQ(shown({2200, 300, 2820, 740}), (ScreenRect{1300, 300, 1920, 740}));
    EXPECT_EQ(shown({-900, 1200, -280, 1640}), (ScreenRect{-900, 544, -280, 984}));
    // Only the title bar counts; one larger than the work area keeps its top-left corner inside.
    EXPECT_EQ(shown({300, -100, 920, 340}), (ScreenRect{300, 0, 920, 440}));
    EXPECT_EQ(shown({2000, -50, 4000, 1950}), (ScreenRect{0, 0, 2000, 2000}));
    EXPECT_FALSE(onto_nearest_work_area({5000, 5000, 5620, 5440}, kTitle, {})) << "nowhere to go";
}

TEST(MainWindowRows, GroupRowsAndSidebarGroupNames) {
    EXPECT_TRUE(is_group_row(L"GRP\tWork"));
    EXPECT_TRUE(is_group_row(L"GRP\t"));
    EXPECT_FALSE(is_group_row(L"GRP Work"));
    EXPECT_FALSE(is_group_row(L"grp\tWork"));
    EXPECT_FALSE(is_group_row(L"GR"));
    EXPECT_FALSE(is_group_row(L""));

    EXPECT_EQ(sidebar_group_name(L"\uE8FD\t  Work notes \t"), L"Work notes");
    EXPECT_EQ(sidebar_group_name(L"x\tA\tB"), L"A\tB");  // only the first tab separates
    EXPECT_EQ(sidebar_group_name(L"x\t \t  "), L"");     // all blanks: the empty group
    EXPECT_EQ(sidebar_group_name(L"x\t"), L"");
}

TEST(MainWindowRows, ListBoxTextReadsRowsLongerThanAnyFixedBuffer) {
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    const std::wstring long_row = L"GRP\t" + std::wstring(5000, L'\u0436') + L"\nend";
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"short"));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(long_row.c_str()));
    EXPECT_EQ(list_box_text(list, 0), L"short");
    EXPECT_EQ(list_box_text(list, 1), long_row);
    EXPECT_EQ(list_box_text(list, 2), L"");
    EXPECT_EQ(list_box_text(list, -1), L"");
    EXPECT_EQ(list_box_text(nullptr, 0), L"");
    DestroyWindow(list);
}

TEST(HotkeyHelp, ShowsTheConfiguredKeysAndOptionalRows) {
    const std::wstring plain = L"ctrl+shift+alt+u", templates = L"ctrl+shift+alt+s";
    const std::wstring text = hotkey_help_text(L"Ctrl+Alt+H", &plain, &templates);
    // Without a loaded language each description is its key.
    EXPECT_EQ(text.find(L"Ctrl+Alt+H \u2014 hotkey.open_history\n"), 0u);
    EXPECT_EQ(text.find(L"Ctrl+Shift+V"), std::wstring::npos);
    EXPECT_NE(text.find(L"\nctrl+shift+alt+u \u2014 hotkey.paste_plain\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\nctrl+shift+alt+s \u2014 hotkey.snippets\n"), std::wstring::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 8);

    const std::wstring bare = hotkey_help_text(L"Ctrl+Shift+V", nullptr, nullptr);
    EXPECT_EQ(std::count(bare.begin(), bare.end(), L'\n'), 6);
    EXPECT_EQ(bare.find(L"hotkey.paste_plain"), std::wstring::npos);
}

TEST(BrushCache, OneBrushPerColourUntilCleared) {
    BrushCache cache;
    HBRUSH a = cache.get(0x202020);
    HBRUSH b = cache.get(0xF3F3F3);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(cache.get(0x202020), a);
    EXPECT_EQ(cache.size(), 2u);
    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(GetObjectType(a), 0u);  // deleted
    EXPECT_EQ(GetObjectType(b), 0u);
}
