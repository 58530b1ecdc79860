// The entry list's context menus in the templates view of one group, on the
// desktop: a right click on a group's header opens the group's own menu (not
// an entry's), the header of the templates without a group its one row, and
// a template its commands; pictures of the group menu in both themes go to
// screenshots/ in the build folder.

#include "app/ids.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/main_window/entry_command_logic.h"
#include "ui/main_window/sidebar.h"
#include "ui/menu/popup_menu.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// The size of the menu that a right click on a row opens; the menu is
// photographed when a file name is given and then dismissed with Esc.
SIZE menu_opened_over(MainWindow& mw, int row, const std::wstring& picture = L"") {
    static SIZE seen;
    static std::wstring file;
    seen = {};
    file = picture;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
        const auto menus = visible_thread_windows(kPopupMenuClass);
        if (menus.empty() || seen.cx) return;
        RECT r{};
        GetWindowRect(menus.front(), &r);
        seen = {r.right - r.left, r.bottom - r.top};
        if (!file.empty()) {
            PixelImage image(seen.cx, seen.cy);
            capture_screen(r, image);
            CreateDirectoryW((binary_dir() + L"\\screenshots").c_str(), nullptr);
            image.save_png(binary_dir() + L"\\screenshots\\" + file);
        }
        PostMessageW(menus.front(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    RECT r{};
    SendMessageW(mw.entry_list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    click_at(to_screen(mw.entry_list, {r.left + 40, (r.top + r.bottom) / 2}), true);
    pump_until([] { return seen.cx != 0 && visible_thread_windows(kPopupMenuClass).empty(); }, 5000);
    KillTimer(nullptr, timer);
    return seen;
}

SIZE expected(ListMenuKind kind, std::vector<std::wstring> groups, const std::wstring& group, int selected = 1) {
    ListMenuState state;
    state.kind = kind;
    state.groups = std::move(groups);
    state.group = group;
    state.selected_count = selected;
    return measure_popup_menu(build_list_menu(state));
}

}  // namespace

TEST(EntryMenusDesktop, EachRowOfAGroupViewOpensItsOwnMenu) {
    for (bool dark : {false, true}) {
        MainWindowFixture fx;
        fx.settings().dark_mode = dark;
        HistoryDb& db = fx.db();
        db.create_snippet_group(L"Replies");
        db.add_snippet(L"Thanks", L"Thank you!", L"Replies");
        db.add_snippet(L"Loose", L"no group", L"");
        const std::vector<std::wstring> groups = db.list_snippet_groups();
        ASSERT_TRUE(fx.open(60, 60, 700, 520));
        MainWindow& mw = fx.main_window();
        pump_messages(100);

        mw.show_template_group(L"Replies");
        ASSERT_EQ(list_data(mw.entry_list).front(), kListGroupHeader);
        const SIZE group_menu = menu_opened_over(mw, 0, dark ? L"group_menu_dark.png" : L"group_menu_light.png");
        EXPECT_EQ(group_menu.cy, expected(ListMenuKind::GroupHeader, groups, L"Replies").cy);
        EXPECT_EQ(mw.selected_ids(), std::vector<std::int64_t>{kListGroupHeader});
        EXPECT_EQ(menu_opened_over(mw, 1).cy, expected(ListMenuKind::Template, groups, L"Replies").cy);

        mw.show_template_group(kUngroupedGroup);
        ASSERT_EQ(list_data(mw.entry_list).front(), kListUngroupedHeader);
        EXPECT_EQ(menu_opened_over(mw, 0).cy, expected(ListMenuKind::UngroupedHeader, groups, L"").cy);
    }
}
