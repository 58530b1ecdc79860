// The entry list's context menus in the templates view of one group, on the
// desktop, judged by what their rows do: a template's menu moves that one
// template out of its group, the header of the templates without a group
// offers a new template without a group, and a group's header deletes the
// group after asking and moves the templates of the group it names. Pictures
// of the group menu in both themes go to screenshots/ in the build folder.

#include "config/language.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "support/box_script.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/main_window/sidebar.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testsupport;

namespace {

// Keys on the newest open menu, as typed while it is in front.
void menu_keys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) PostMessageW(open_menu(), WM_KEYDOWN, key, 1);
}

void photograph_menu(const std::wstring& file) {
    RECT r{};
    GetWindowRect(open_menu(), &r);
    PixelImage image(r.right - r.left, r.bottom - r.top);
    capture_screen(r, image);
    CreateDirectoryW((binary_dir() + L"\\screenshots").c_str(), nullptr);
    image.save_png(binary_dir() + L"\\screenshots\\" + file);
}

// A right click on the row holding data, then the steps, one a tick, on the
// menu it opens and the boxes that follow.
void right_click_row(MainWindow& mw, std::int64_t data, std::vector<std::function<void()>> steps) {
    const std::vector<std::int64_t> rows = list_data(mw.entry_list);
    const auto found = std::find(rows.begin(), rows.end(), data);
    ASSERT_NE(found, rows.end()) << data;
    RECT r{};
    SendMessageW(mw.entry_list, LB_GETITEMRECT, static_cast<WPARAM>(found - rows.begin()),
                 reinterpret_cast<LPARAM>(&r));
    const POINT at = to_screen(mw.entry_list, {r.left + 40, (r.top + r.bottom) / 2});
    steps.insert(steps.begin(), [at] {
        ASSERT_TRUE(open_menu());
        RECT menu{};
        GetWindowRect(open_menu(), &menu);
        EXPECT_EQ((std::pair{menu.left, menu.top}), (std::pair{at.x, at.y})) << "the menu opens at the pointer";
    });
    BoxScript script(std::move(steps));
    click_at(at, true);
    pump_until([&] { return script.done() && !open_menu() && !open_box(); }, 8000);
}

std::wstring group_of(HistoryDb& db, std::int64_t template_id) {
    for (const Snippet& s : db.list_snippets())
        if (s.id == template_id) return s.grp;
    return L"(gone)";
}

}  // namespace

TEST(EntryMenusDesktop, EachRowOfAGroupViewOpensItsOwnMenu) {
    for (bool dark : {false, true}) {
        MainWindowFixture fx;
        fx.settings().dark_mode = dark;
        HistoryDb& db = fx.db();
        db.create_snippet_group(L"Replies");
        const std::int64_t thanks = db.add_snippet(L"Thanks", L"Thank you!", L"Replies");
        const std::int64_t moved = db.add_snippet(L"Moved", L"leaves the group", L"Replies");
        ASSERT_TRUE(fx.open(60, 60, 700, 520));
        MainWindow& mw = fx.main_window();
        pump_messages(100);

        // A template: the last row of its "move to group" submenu, no group,
        // takes this template out of the group, and only this one.
        mw.show_template_group(L"Replies");
        right_click_row(mw, -moved,
                        {[] {
                             menu_keys({VK_UP, VK_UP, VK_RETURN});
                         },
                         [] {
                             menu_keys({VK_UP, VK_RETURN});
                         }});
        EXPECT_EQ(group_of(db, moved), L"");
        EXPECT_EQ(group_of(db, thanks), L"Replies");
        const std::vector<std::int64_t> replies = list_data(mw.entry_list);
        EXPECT_EQ(std::count(replies.begin(), replies.end(), -moved), 0) << "the group's view lets it go";

        // The header of the templates without a group: one row, a new template without a group.
        mw.show_template_group(kUngroupedGroup);
        ASSERT_EQ(list_data(mw.entry_list).front(), kListUngroupedHeader);
        std::wstring editor_group = L"(no editor)";
        right_click_row(mw, kListUngroupedHeader,
                        {[] {
                             menu_keys({VK_DOWN, VK_DOWN, VK_RETURN});
                         },
                         [&] {
                             ASSERT_TRUE(open_box());
                             editor_group = window_text(GetDlgItem(open_box(), kIdEditorGroup));
                             click_control(kIdEditorCancel);
                         }});
        EXPECT_EQ(editor_group, tr(L"editor.ungrouped_group"));

        // The group's header: its last row deletes the group once the question is answered yes.
        mw.show_template_group(L"Replies");
        ASSERT_EQ(list_data(mw.entry_list).front(), kListGroupHeader);
        right_click_row(mw, kListGroupHeader,
                        {[&] { photograph_menu(dark ? L"group_menu_dark.png" : L"group_menu_light.png"); },
                         [] {
                             menu_keys({VK_UP, VK_RETURN});
                         },
                         [] {
                             ASSERT_FALSE(visible_thread_windows(kConfirmBoxClass).empty());
                             click_control(IDOK);
                         }});
        const std::vector<std::wstring> groups = db.list_snippet_groups();
        EXPECT_EQ(std::count(groups.begin(), groups.end(), L"Replies"), 0);
        const std::vector<std::int64_t> after = list_data(mw.entry_list);
        EXPECT_EQ(std::count(after.begin(), after.end(), kListGroupHeader), 0) << "no header of a gone group";
        EXPECT_EQ(group_of(db, thanks), L"") << "its templates stay, without a group";

        // A header moves the templates of the group it names, though the view has moved on since.
        const std::int64_t letter = db.add_snippet(L"Letter", L"Dear", L"Letters");
        mw.show_template_group(L"Letters");
        mw.template_group.clear();
        const auto up_up_enter = [] { menu_keys({VK_UP, VK_UP, VK_RETURN}); };
        right_click_row(mw, kListGroupHeader, {up_up_enter, up_up_enter});  // to the last group of a new user's
        EXPECT_EQ(group_of(db, letter), db.list_snippet_groups().back());
        EXPECT_EQ(group_of(db, thanks), L"") << "the templates without a group stay there";
    }
}
