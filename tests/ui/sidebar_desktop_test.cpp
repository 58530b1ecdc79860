// The sidebar of a real main window under real mouse input: the templates
// header opens and closes its groups and leaves the category new captures go
// to, the width follows the widest label, a right click selects without
// switching, the category commands run through their boxes and menus,
// driven by a timer, the group rows follow the templates' commands, and
// another template group opens at its top; a stored view whose row is
// hidden starts as "all".

#include "config/language.h"
#include "support/box_script.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"
#include "ui/kit/list_box.h"
#include "ui/main_window/sidebar.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testsupport;

namespace {

constexpr wchar_t kLongName[] = L"A category whose name is far too long for any sidebar to show whole";

class SidebarDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        HistoryDb& db = fx_.db();
        work_ = db.add_category(L"Work");
        db.add_category(kLongName);
        add_text_entry(db, L"Filed under work", work_);
        add_text_entry(db, L"Not filed anywhere");
        db.create_snippet_group(L"Replies");
        db.add_snippet(L"Thanks", L"Thank you", L"Replies");
        ASSERT_TRUE(fx_.open(40, 40, 760, 560));
        mw_ = &fx_.main_window();
        SetForegroundWindow(fx_.hwnd());
        pump_messages(100);
    }

    HWND sidebar() const { return mw_->sidebar; }
    int selected_row() const { return static_cast<int>(SendMessageW(sidebar(), LB_GETCURSEL, 0, 0)); }

    int row_of(std::int64_t data) const {
        const std::vector<std::int64_t> rows = list_data(sidebar());
        const auto found = std::find(rows.begin(), rows.end(), data);
        return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
    }
    int row_named(const std::wstring& label) const {
        const std::vector<std::wstring> rows = list_texts(sidebar());
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (sidebar_group_name(rows[i]) == label) return static_cast<int>(i);
        return -1;
    }

    void click_row(int row, bool right = false) {
        ASSERT_GE(row, 0);
        RECT r{};
        SendMessageW(sidebar(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        click_at(to_screen(sidebar(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), right);
        pump_messages(200);
    }

    // Sets the input box's text, as if typed.
    static std::function<void()> type(const wchar_t* text) {
        return [text] { SetWindowTextW(GetDlgItem(open_box(), kIdInputField), text); };
    }

    std::vector<std::wstring> category_names_stored() {
        std::vector<std::wstring> names;
        for (const Category& c : fx_.db().list_categories()) names.push_back(c.name);
        return names;
    }

    MainWindowFixture fx_;
    MainWindow* mw_ = nullptr;
    std::int64_t work_ = 0;
};

}  // namespace

TEST_F(SidebarDesktop, TheTemplatesHeaderGroupsWidthAndRightClick) {
    // (Views and where copies land: sidebar_e2e.py, against the program.)
    click_row(row_named(L"Work"));
    EXPECT_EQ(fx_.app().capture_category, work_);

    // The templates header opens its section on all templates.
    ASSERT_TRUE(fx_.settings().snippet_panel_collapsed);
    EXPECT_EQ(row_named(L"Replies"), -1);
    click_row(row_of(kSidebarTemplates));
    EXPECT_TRUE(mw_->templates_view);
    EXPECT_EQ(mw_->template_group, L"");
    EXPECT_FALSE(fx_.settings().snippet_panel_collapsed);
    EXPECT_TRUE(list_texts(sidebar())[row_of(kSidebarTemplates)].starts_with(L"\u25BE\t"));
    EXPECT_EQ(fx_.app().capture_category, std::nullopt);

    // A group row lists its group and stays lit across a refill.
    click_row(row_named(L"Replies"));
    EXPECT_EQ(mw_->template_group, L"Replies");
    EXPECT_EQ(list_data(mw_->entry_list).size(), 2u);  // its header and its one template
    mw_->refresh_all();
    EXPECT_EQ(selected_row(), row_named(L"Replies"));

    // A second click on the header closes the section again.
    click_row(row_of(kSidebarTemplates));
    EXPECT_TRUE(fx_.settings().snippet_panel_collapsed);
    EXPECT_EQ(row_named(L"Replies"), -1);
    EXPECT_EQ(mw_->template_group, L"");
    EXPECT_TRUE(list_texts(sidebar())[row_of(kSidebarTemplates)].starts_with(L"\u25B8\t"));

    // The long name sets the widest sidebar; its row ends in an ellipsis.
    EXPECT_EQ(mw_->sidebar_width, kSidebarMaxWidth);
    EXPECT_EQ(fx_.settings().categories_width, kSidebarMaxWidth);
    RECT side{};
    GetWindowRect(sidebar(), &side);
    EXPECT_EQ(side.right - side.left, kSidebarMaxWidth);

    // A right click on "all" selects it, opens no menu and keeps the view.
    click_row(row_of(kViewAll), true);
    pump_messages(300);
    EXPECT_EQ(selected_row(), row_of(kViewAll));
    EXPECT_EQ(open_menu(), nullptr);
    EXPECT_TRUE(mw_->templates_view);
}

TEST_F(SidebarDesktop, CategoryCommandsRunThroughTheirBoxesAndMenus) {
    {
        // Enter in the box is a line break; a name is one line.
        BoxScript script({[] {
                              for (WORD key :
                                   std::initializer_list<WORD>{VK_SPACE, VK_SPACE, 'N', 'E', 'W', VK_RETURN, 'P', 'R',
                                                               'O', 'J', 'E', 'C', 'T', 'S', VK_SPACE, VK_RETURN})
                                  send_key(key);
                          },
                          [] { click_control(IDOK); }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdAddCategory, 0);
        ASSERT_TRUE(pump_until([&] { return row_named(L"new  projects") >= 0; }, 5000));
    }
    // Rename from the row's menu: its first item.
    {
        BoxScript script({[] { click_menu_row(0); }, type(L"Clients"), [] { click_control(IDOK); }});
        click_row(row_named(L"new  projects"), true);
        ASSERT_TRUE(pump_until([&] { return row_named(L"Clients") >= 0; }, 5000));
    }
    EXPECT_EQ(category_names_stored(), (std::vector<std::wstring>{L"Work", kLongName, L"Clients"}));
    // Pin (second item) and move up (after a separator) from the menu.
    {
        BoxScript script({[] { click_menu_row(1); }});
        click_row(row_named(L"Clients"), true);
        ASSERT_TRUE(pump_until([&] { return list_texts(sidebar()).back() == L"\U0001F4CC\tClients"; }, 5000));
    }
    {
        BoxScript script({[] { click_menu_row(2, 1); }});
        click_row(row_named(L"Clients"), true);
        ASSERT_TRUE(pump_until([&] { return category_names_stored()[1] == L"Clients"; }, 5000));
    }
    EXPECT_EQ(row_named(L"Clients"), row_named(L"Work") + 1);

    // Delete the category on show: Cancel keeps it, OK removes it and the
    // view falls back to "all", where nothing more is filed under it.
    click_row(row_named(L"Clients"));
    ASSERT_EQ(mw_->view_mode, kViewCategory);
    {
        BoxScript script({[] { click_control(IDCANCEL); }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdDeleteCategory, 0);
        ASSERT_TRUE(pump_until([&] { return script.done() && !open_box(); }, 5000));
    }
    EXPECT_GE(row_named(L"Clients"), 0);
    {
        BoxScript script({[] { click_control(IDOK); }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdDeleteCategory, 0);
        ASSERT_TRUE(pump_until([&] { return row_named(L"Clients") < 0; }, 5000));
    }
    EXPECT_EQ(category_names_stored(), (std::vector<std::wstring>{L"Work", kLongName}));
    EXPECT_EQ(mw_->view_mode, kViewAll);
    EXPECT_EQ(fx_.app().capture_category, std::nullopt);
    EXPECT_EQ(selected_row(), row_of(kViewAll));

    // With a row that is no category selected, only "new category" acts:
    // no box opens (the script would close one and fail).
    click_row(row_of(kViewTrash));
    {
        BoxScript guard({});
        for (int command : {kCmdRenameCategory, kCmdMergeCategory, kCmdPinCategory, kCmdCategoryUp, kCmdDeleteCategory})
            PostMessageW(fx_.hwnd(), WM_COMMAND, command, 0);
        pump_messages(600);
    }
    EXPECT_EQ(category_names_stored(), (std::vector<std::wstring>{L"Work", kLongName}));
}

TEST_F(SidebarDesktop, MergeIntoMovesTheEntriesAndATakenNameIsTold) {
    HistoryDb& db = fx_.db();
    const std::int64_t old = db.add_category(L"Old");
    const std::int64_t moved = add_text_entry(db, L"Filed under old", old);
    db.add_to_slots({moved}, 9);
    mw_->refresh_all();
    click_row(row_named(L"Old"));
    const std::vector<std::wstring> before = category_names_stored();

    // Renaming to a name another category has says so and changes nothing.
    std::wstring told;
    {
        BoxScript script({type(L"Work"), [] { click_control(IDOK); },
                          [&] {
                              told = message_box_text(open_box());
                              PostMessageW(open_box(), WM_COMMAND, IDOK, 0);
                          }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdRenameCategory, 0);
        ASSERT_TRUE(pump_until([&] { return script.done() && !open_box(); }, 5000));
    }
    EXPECT_NE(told.find(tr(L"message.dup_category")), std::wstring::npos) << told;
    EXPECT_EQ(category_names_stored(), before);

    // Merging into it asks first: Cancel keeps both, OK moves the entries
    // and deletes the emptied category; the view and new copies follow.
    for (const int answer : {IDCANCEL, IDOK}) {
        BoxScript script({type(L" Work\r\n"), [] { click_control(IDOK); }, [answer] { click_control(answer); }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdMergeCategory, 0);
        ASSERT_TRUE(pump_until([&] { return script.done() && !open_box(); }, 5000));
        if (answer == IDCANCEL) EXPECT_EQ(category_names_stored(), before);
    }
    EXPECT_EQ(category_names_stored(), (std::vector<std::wstring>{L"Work", kLongName}));
    const std::vector<HistoryEntry> in_work = db.list_entries(L"cat:" + std::to_wstring(work_), false, false);
    EXPECT_EQ(in_work.size(), 2u);
    EXPECT_EQ(in_work.front().id, moved);  // the newer of the two
    EXPECT_EQ(db.list_slots().front().id, moved);
    EXPECT_EQ(mw_->view_category, work_);
    EXPECT_EQ(fx_.app().capture_category, work_);
    EXPECT_EQ(selected_row(), row_named(L"Work"));

    // A name no category has renames, flattened to one line.
    {
        BoxScript script({type(L"Work\r\nand play"), [] { click_control(IDOK); }});
        PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdMergeCategory, 0);
        ASSERT_TRUE(pump_until([&] { return row_named(L"Work  and play") >= 0; }, 5000));
    }
    EXPECT_EQ(category_names_stored(), (std::vector<std::wstring>{L"Work  and play", kLongName}));
}

TEST_F(SidebarDesktop, AnotherTemplateGroupOpensAtItsTop) {
    HistoryDb& db = fx_.db();
    for (const wchar_t* group : {L"First", L"Second"})
        for (int i = 0; i < 40; ++i)
            db.add_snippet(std::wstring(group) + L" " + std::to_wstring(i), L"Some text", group);
    click_row(row_of(kSidebarTemplates));  // opens the section
    click_row(row_named(L"First"));
    HWND list = mw_->entry_list;
    auto top = [&] { return static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)); };
    SendMessageW(list, LB_SETTOPINDEX, 8, 0);
    ASSERT_GT(top(), 0);
    // A refill of the same group keeps its place; another group starts with its header.
    const int scrolled = top();
    mw_->refresh_list();
    EXPECT_EQ(top(), scrolled);
    click_row(row_named(L"Second"));
    EXPECT_EQ(mw_->template_group, L"Second");
    EXPECT_EQ(top(), 0);
}

TEST_F(SidebarDesktop, GroupRowsFollowTheTemplatesEditedTrashedAndRestored) {
    click_row(row_of(kSidebarTemplates));  // the section opens on all templates
    const std::int64_t thanks = -fx_.db().list_snippets().front().id;
    mw_->reselect({thanks});
    {
        BoxScript script({[] {
            SetWindowTextW(GetDlgItem(open_box(), kIdEditorGroup), L"Letters");
            click_control(kIdEditorOk);
        }});
        mw_->edit_selected();
    }
    EXPECT_GE(row_named(L"Letters"), 0) << "a group typed in the editor";

    // Its one template trashed, the group goes, and its view with it, also
    // with the section closed meanwhile.
    click_row(row_named(L"Letters"));
    mw_->toggle_templates_collapsed();
    mw_->reselect({thanks});
    {
        BoxScript script({[] { click_control(IDOK); }});
        mw_->delete_selected();
    }
    EXPECT_EQ(mw_->template_group, L"");
    mw_->toggle_templates_collapsed();
    EXPECT_EQ(row_named(L"Letters"), -1);

    mw_->set_view(kViewTrash, -1);
    mw_->reselect({thanks});
    mw_->restore_selected();
    EXPECT_GE(row_named(L"Letters"), 0) << "restored";
}

TEST(SidebarStart, ARestoredCategoryViewFilesCapturesOnlyUnderACategoryThatExists) {
    for (const bool exists : {true, false}) {
        MainWindowFixture fx;
        const std::int64_t kept = fx.db().add_category(L"Kept");
        fx.settings().last_view_filter = kViewCategory;
        fx.settings().last_view_cat_id = static_cast<int>(exists ? kept : kept + 40);
        ASSERT_TRUE(fx.open(40, 40, 760, 560, false));  // started in the tray: no sidebar yet
        EXPECT_EQ(fx.app().capture_category, exists ? std::optional<std::int64_t>(kept) : std::nullopt);
    }
}

TEST(SidebarStart, AStoredViewWhoseRowIsHiddenStartsAsAll) {
    MainWindowFixture fx;
    fx.settings().last_view_filter = kViewTrash;
    fx.settings().categories_hidden = 8;
    ASSERT_TRUE(fx.open(40, 40, 760, 560, false));
    EXPECT_EQ(fx.main_window().view_mode, kViewAll);
}
