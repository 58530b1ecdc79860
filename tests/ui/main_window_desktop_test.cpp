// The main window on the desktop, over a seeded history: what each view
// lists, a refill after a new copy, the search field, the menu bar, the
// sidebar button, a language change, the tool row in both themes and the
// editing of a text.

#include "config/language.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "support/box_script.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/kit/theme.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/sidebar.h"
#include "ui/menu/popup_menu.h"
#include "ui/menu/popup_menu_layout.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

using namespace testsupport;

namespace {

constexpr int kMenuSettingsIndex = 4;

// Two categories, pinned, kept and quick-slot entries, an image, a trashed
// entry and a trashed template beside the two templates every new database
// starts with.
struct Seeded {
    std::int64_t work = 0;
    std::int64_t image = 0;
    std::vector<std::int64_t> plain;  // oldest first
    std::int64_t pinned = 0, kept = 0, filed = 0, trashed = 0, trashed_template = 0;
};

Seeded seed(HistoryDb& db) {
    Seeded s;
    s.work = db.add_category(L"Work");
    db.add_category(L"Home");
    for (int i = 0; i < 40; ++i) s.plain.push_back(add_text_entry(db, L"Plain entry number " + std::to_wstring(i)));
    s.pinned = add_text_entry(db, L"Pinned reference 4471");
    s.kept = add_text_entry(db, L"Kept\r\nacross two lines");
    s.filed = add_text_entry(db, L"Filed under work: ЁЛКА", s.work);
    s.image = add_image_entry(db, 60, 40, RGB(200, 30, 30), s.work);
    s.trashed = add_text_entry(db, L"Thrown away");
    db.set_pinned_many({s.pinned}, true);
    db.set_keep(s.kept, true);
    db.add_to_slots({s.kept, s.pinned}, 9);
    db.trash_entry(s.trashed);
    db.create_snippet_group(L"Replies");
    db.add_snippet(L"Zebra reply", L"z", L"Replies");
    db.add_snippet(L"Apple reply", L"a", L"Replies");
    db.add_snippet(L"Loose one", L"no group", L"");
    s.trashed_template = db.add_snippet(L"Old template", L"gone", L"Replies");
    db.trash_snippet(s.trashed_template);
    return s;
}

class MainWindowDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        seeded_ = seed(fx_.db());
        ASSERT_TRUE(fx_.open(40, 40, 760, 560));
        mw_ = &fx_.main_window();
        pump_messages(100);
    }

    HWND list() const { return mw_->entry_list; }

    MainWindowFixture fx_;
    Seeded seeded_;
    MainWindow* mw_ = nullptr;
};

// Starts a helper that puts text on the clipboard from another process.
class ClipboardWriter {
public:
    explicit ClipboardWriter(const std::wstring& text) {
        file_ = dir_.file(L"copied.txt");
        write_bytes(file_, utf8_from_wide(text));
        std::wstring cmd = L"\"" + binary_dir() + L"\\tests\\helpers\\clipboard_probe.exe\" write \"" + file_ + L"\" 3";
        STARTUPINFOW si{sizeof si};
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    }
    ~ClipboardWriter() {
        if (!pi_.hProcess) return;
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }

private:
    TempDir dir_;
    std::wstring file_;
    PROCESS_INFORMATION pi_{};
};

}  // namespace

TEST_F(MainWindowDesktop, EveryViewListsWhatItsViewHolds) {
    // Rows as the seed made them: pinned first, then the newest.
    const Seeded& s = seeded_;
    const std::vector<std::int64_t> plain_newest_first(s.plain.rbegin(), s.plain.rend());
    auto then_plain = [&](std::vector<std::int64_t> rows) {
        rows.insert(rows.end(), plain_newest_first.begin(), plain_newest_first.end());
        return rows;
    };
    auto expect_view = [&](int mode, int category, const std::vector<std::int64_t>& want) {
        mw_->set_view(mode, category);
        EXPECT_EQ(list_data(list()), want) << "view " << mode;
        EXPECT_EQ(mw_->image_rows.size(), want.size());
        EXPECT_FALSE(IsWindowVisible(mw_->empty_hint) && !want.empty());
    };
    expect_view(kViewAll, -1, then_plain({s.pinned, s.filed, s.kept}));
    expect_view(kViewPinned, -1, {s.pinned});
    expect_view(kViewSlots, -1, {s.kept, s.pinned});
    expect_view(kViewUncategorised, -1, then_plain({s.pinned, s.kept}));
    expect_view(kViewTrash, -1, {s.trashed, -s.trashed_template});
    expect_view(kViewCategory, static_cast<int>(s.work), {s.image, s.filed});
    expect_view(kViewImages, -1, {s.image});

    // The slots view marks every row with a pin and names its keys in order;
    // against the clock, what the seed copied a moment ago was copied today.
    mw_->set_view(kViewSlots, -1);
    const std::vector<std::wstring> slot_rows = list_texts(list());
    ASSERT_EQ(slot_rows.size(), 2u);
    for (std::size_t i = 0; i < slot_rows.size(); ++i) {
        EXPECT_TRUE(slot_rows[i].starts_with(L"\U0001F4CC ")) << i;
        const std::int64_t id = list_data(list())[i];
        EXPECT_EQ(mw_->format_meta_line(id), L"Ctrl+Shift+" + std::to_wstring(i + 1) + L"  today " +
                                                 mw_->find_entry(id)->created_at.substr(11, 5));
    }

    // The trash lists the trashed template after the entries, marked as one.
    mw_->set_view(kViewTrash, -1);
    EXPECT_EQ(list_texts(list()).back(), L"[tpl] Old template\ngone");

    // The image row is tall and its card knows its entry.
    mw_->set_view(kViewImages, -1);
    ASSERT_EQ(list_data(list()), std::vector<std::int64_t>{seeded_.image});
    EXPECT_TRUE(mw_->row_is_image(0));
    EXPECT_EQ(SendMessageW(list(), LB_GETITEMHEIGHT, 0, 0), kTallRowHeight);
    EXPECT_EQ(list_texts(list())[0], L"     [Image]");

    // Templates: all of them, one group under its header sorted by title, or
    // the ones without a group.
    mw_->show_template_group(L"");
    EXPECT_EQ(list_texts(list()).size(), fx_.db().list_snippets().size());
    mw_->show_template_group(L"Replies");
    const std::vector<std::wstring> group_rows = list_texts(list());
    ASSERT_EQ(group_rows.size(), 3u);
    EXPECT_EQ(group_rows[0], L"GRP\tReplies");
    EXPECT_EQ(list_data(list())[0], kListGroupHeader);
    EXPECT_TRUE(group_rows[1].starts_with(L"Apple reply\n"));
    EXPECT_TRUE(mw_->row_is_grouped_template(1));
    EXPECT_EQ(mw_->count_templates_in_group(L"Replies"), 2);
    mw_->show_template_group(kUngroupedGroup);
    EXPECT_EQ(list_texts(list()), (std::vector<std::wstring>{L"GRP\tWithout group", L"Loose one\nno group"}));
    EXPECT_EQ(list_data(list())[0], kListUngroupedHeader);
    mw_->show_template_group(L"Nobody uses this");
    EXPECT_EQ(list_texts(list()), std::vector<std::wstring>{L"GRP\tNobody uses this"});
}

TEST_F(MainWindowDesktop, ScrollAndSelectionSurviveTheRefillOfANewCopy) {
    SetTimer(fx_.hwnd(), kTimerPoll, 100, nullptr);
    mw_->set_view(kViewAll, -1);

    const std::int64_t chosen = list_data(list())[9];
    mw_->select_entry(chosen);
    SendMessageW(list(), LB_SETTOPINDEX, 5, 0);
    ASSERT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 5);
    const std::int64_t top_item = list_data(list())[5];
    const std::size_t rows_before = list_data(list()).size();

    // A text of its own: the clipboard may still hold an earlier run's copy,
    // which the watcher takes as seen when it starts.
    const std::wstring copied = L"A brand new copy from another program " + std::to_wstring(GetTickCount());
    ClipboardWriter writer(copied);
    ASSERT_TRUE(pump_until([&] { return list_data(list()).size() == rows_before + 1; }, 10000));
    EXPECT_EQ(list_texts(list())[1], L"     " + copied);  // under the pinned entry
    EXPECT_EQ(list_data(list())[SendMessageW(list(), LB_GETTOPINDEX, 0, 0)], top_item);
    EXPECT_EQ(mw_->selected_ids(), std::vector<std::int64_t>{chosen});

    // A list shown from its top stays there, and a new view starts at its top.
    SendMessageW(list(), LB_SETTOPINDEX, 0, 0);
    mw_->refresh_list();
    EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 0);
    SendMessageW(list(), LB_SETTOPINDEX, 4, 0);
    mw_->set_view(kViewUncategorised, -1);
    EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 0);
    KillTimer(fx_.hwnd(), kTimerPoll);
}

TEST_F(MainWindowDesktop, TypingInTheSearchFieldNarrowsTheList) {
    mw_->set_view(kViewAll, -1);
    click_at(client_center(mw_->search_button));  // the magnifier hands the focus to the field
    ASSERT_TRUE(pump_until([&] { return GetFocus() == mw_->search_edit; }, 2000));
    for (WORD key : {'N', 'U', 'M', 'B', 'E', 'R', ' ', '1', '1'}) send_key(key);
    ASSERT_TRUE(pump_until([&] { return list_data(list()).size() == 1; }, 3000));
    EXPECT_EQ(list_texts(list())[0], L"     Plain entry number 11");
    // Other case, other script; the category's name is no part of the text.
    SetWindowTextW(mw_->search_edit, L"ёлка");
    EXPECT_EQ(list_texts(list()), std::vector<std::wstring>{L"     Filed under work: ЁЛКА"});
    // A keystroke searches the entries read before, unless the history changed
    // meanwhile, also when another program wrote it.
    HistoryDb other(fx_.history_file());
    add_text_entry(other, L"Ёлка from elsewhere");
    SetWindowTextW(mw_->search_edit, L"ёлк");
    EXPECT_EQ(list_texts(list()),
              (std::vector<std::wstring>{L"     Ёлка from elsewhere", L"     Filed under work: ЁЛКА"}));
    SetWindowTextW(mw_->search_edit, L"[work]");
    EXPECT_TRUE(list_data(list()).empty());
    EXPECT_TRUE(IsWindowVisible(mw_->empty_hint));
    mw_->set_view(kViewCategory, static_cast<int>(seeded_.work));
    SetWindowTextW(mw_->search_edit, L"");
    EXPECT_EQ(list_data(list()).size(), 2u);
    EXPECT_FALSE(IsWindowVisible(mw_->empty_hint));

    // Templates are found by their group's name too.
    mw_->show_templates_view();
    click_at(client_center(mw_->search_button));
    ASSERT_TRUE(pump_until([&] { return GetFocus() == mw_->search_edit; }, 2000));
    for (WORD key : {'R', 'E', 'P', 'L', 'I', 'E', 'S'}) send_key(key);
    ASSERT_TRUE(pump_until([&] { return list_data(list()).size() == 2; }, 3000));
    EXPECT_TRUE(list_texts(list())[0].starts_with(L"Apple reply\n"));
}

TEST_F(MainWindowDesktop, AlwaysOnTopFromTheMenuBarAndItsCommand) {
    auto topmost = [&] { return (GetWindowLongPtrW(fx_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_FALSE(topmost());
    // The user's road: the menu button, then the row "Always on top" (the
    // second). The drop-down runs its own loop, so a timer does the clicking.
    static POINT row_point{};
    static bool clicked = false;
    clicked = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
        const auto menus = visible_thread_windows(kPopupMenuClass);
        if (menus.empty() || clicked) return;
        RECT r{};
        GetWindowRect(menus.front(), &r);
        row_point = {(r.left + r.right) / 2, r.top + kMenuMargin + kMenuRowHeight + kMenuRowHeight / 2};
        click_at(row_point);
        clicked = true;
    });
    click_at(client_center(mw_->menu_buttons[kMenuSettingsIndex]));
    EXPECT_TRUE(pump_until([&] { return topmost(); }, 5000));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(fx_.settings().always_on_top);

    PostMessageW(fx_.hwnd(), WM_COMMAND, kCmdAlwaysOnTop, 0);
    EXPECT_TRUE(pump_until([&] { return !topmost(); }, 2000));
    EXPECT_FALSE(fx_.settings().always_on_top);
}

TEST_F(MainWindowDesktop, TheSidebarButtonNarrowsAndRestoresTheWindowAtItsRightEdge) {
    RECT before{};
    GetWindowRect(fx_.hwnd(), &before);
    click_at(client_center(GetDlgItem(fx_.hwnd(), kIdSidebarButton)));
    ASSERT_TRUE(pump_until([&] { return !IsWindowVisible(mw_->sidebar); }, 2000));
    RECT narrow{};
    GetWindowRect(fx_.hwnd(), &narrow);
    EXPECT_EQ(narrow.right, before.right);
    EXPECT_EQ(narrow.right - narrow.left, (before.right - before.left) - mw_->sidebar_width);
    EXPECT_TRUE(fx_.settings().categories_collapsed);
    RECT list_rect{};
    GetWindowRect(list(), &list_rect);
    POINT origin{};
    ClientToScreen(fx_.hwnd(), &origin);
    EXPECT_EQ(list_rect.left - origin.x, 12);  // laid out again, the list where the sidebar was

    click_at(client_center(GetDlgItem(fx_.hwnd(), kIdSidebarButton)));
    ASSERT_TRUE(pump_until([&] { return IsWindowVisible(mw_->sidebar) != FALSE; }, 2000));
    RECT again{};
    GetWindowRect(fx_.hwnd(), &again);
    EXPECT_EQ(again.left, before.left);
    EXPECT_EQ(again.right, before.right);
}

TEST_F(MainWindowDesktop, ALanguageChangeRenamesAndRelaysTheMenuBar) {
    const int file_width_en = [&] {
        RECT r{};
        GetWindowRect(mw_->menu_buttons[0], &r);
        return static_cast<int>(r.right - r.left);
    }();
    EXPECT_EQ(window_text(mw_->menu_buttons[0]), L"File");
    load_language(L"ru", source_dir() + L"\\lang");
    mw_->apply_language();
    EXPECT_EQ(window_text(mw_->menu_buttons[0]), L"Файл");
    EXPECT_EQ(window_text(mw_->menu_buttons[5]), L"Справка");
    EXPECT_EQ(mw_->tooltips[mw_->search_button], L"Поиск");
    RECT file{}, edit{};
    GetWindowRect(mw_->menu_buttons[0], &file);
    GetWindowRect(mw_->menu_buttons[1], &edit);
    EXPECT_EQ(edit.left, file.right + 1);  // the next button follows the new width
    EXPECT_NE(file.right - file.left, file_width_en);
    load_language(L"en", source_dir() + L"\\lang");
}

TEST_F(MainWindowDesktop, TheToolRowSeparatorsAreFaintInBothThemes) {
    std::vector<HWND> separators;
    for (HWND c = GetWindow(fx_.hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (window_class_name(c) == L"Static" && window_text(c) == L"|") separators.push_back(c);
    ASSERT_FALSE(separators.empty());
    for (bool dark : {true, false}) {
        fx_.settings().dark_mode = dark;
        mw_->apply_dark_mode(dark);
        for (HWND separator : separators) {
            RECT r{};
            GetWindowRect(separator, &r);
            PixelImage image(r.right - r.left, r.bottom - r.top);
            capture_screen(r, image);
            const RECT all{0, 0, image.width(), image.height()};
            EXPECT_GT(image.count(all, ui_color(UiColor::Border, dark)), 0) << (dark ? "dark" : "light");
            EXPECT_EQ(image.count(all, ui_color(UiColor::Text, dark)), 0) << (dark ? "dark" : "light");
        }
    }
}

TEST_F(MainWindowDesktop, EditingATextShowsItsLinesAndKeepsTheirBreaks) {
    mw_->set_view(kViewAll, -1);
    for (const std::wstring br : {L"\n", L"\r\n"}) {
        // Breaks come with an imported history or an earlier edit: a copy is stored as one line.
        const std::wstring text = L"first line" + br + L"second line" + br + L"third line";
        const std::int64_t id = add_text_entry(fx_.db(), L"To be edited " + std::to_wstring(br.size()));
        fx_.db().set_entry_text(id, text);
        mw_->refresh_list();
        mw_->select_entry(id);
        LRESULT lines_shown = 0;
        BoxScript s({[&] {
                         lines_shown = SendMessageW(GetDlgItem(open_box(), kIdInputField), EM_GETLINECOUNT, 0, 0);
                         send_key_down(VK_CONTROL);
                         send_key(VK_END);
                         send_key_up(VK_CONTROL);
                         send_key(VK_RETURN);
                         send_key('X');
                     },
                     [] { click_control(IDOK); }});
        mw_->edit_selected();
        EXPECT_EQ(lines_shown, 3);
        std::wstring stored;
        for (const HistoryEntry& e : fx_.db().list_entries(L"all", false, true))
            if (e.id == id) stored = e.text;
        EXPECT_EQ(stored, text + br + L"x");
    }

    // A template keeps its breaks through its editor.
    const std::int64_t snippet = fx_.db().add_snippet(L"Two lines", L"one\ntwo", L"");
    mw_->show_templates_view();
    SendMessageW(list(), LB_SETSEL, FALSE, -1);
    SendMessageW(list(), LB_SETSEL, TRUE, mw_->index_of(-snippet));
    BoxScript s({[] {
                     SetFocus(GetDlgItem(open_box(), kIdEditorText));
                     send_key_down(VK_CONTROL);
                     send_key(VK_END);
                     send_key_up(VK_CONTROL);
                     send_key(VK_RETURN);
                     send_key('X');
                 },
                 [] {
                     // A new group typed over the one shown.
                     SetFocus(GetDlgItem(open_box(), kIdEditorGroup));
                     for (WORD key : {'N', 'O', 'T', 'E', 'S'}) send_key(key);
                 },
                 [] { click_control(kIdEditorOk); }});
    mw_->edit_selected();
    std::wstring stored, group;
    for (const Snippet& t : fx_.db().list_snippets())
        if (t.id == snippet) stored = t.text, group = t.grp;
    EXPECT_EQ(stored, L"one\ntwo\nx");
    EXPECT_EQ(group, L"notes");
}

TEST_F(MainWindowDesktop, WheelAndTooltipOverTheWindow) {
    mw_->set_view(kViewAll, -1);
    fx_.settings().scroll_lines = 3;
    const POINT over_list = client_center(list());
    // Two half notches make one notch of three rows.
    SendMessageW(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, -60), MAKELPARAM(over_list.x, over_list.y));
    EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 0);
    SendMessageW(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, -60), MAKELPARAM(over_list.x, over_list.y));
    EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 3);
    // A wheel message that reaches the main window over the list scrolls it too.
    SendMessageW(fx_.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(over_list.x, over_list.y));
    EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 0);
    // So does the real wheel over the list while the search field has the focus.
    SetFocus(mw_->search_edit);
    move_mouse(over_list);
    send_wheel(-1);
    EXPECT_TRUE(pump_until([&] { return SendMessageW(list(), LB_GETTOPINDEX, 0, 0) == 3; }, 2000));

    move_mouse(client_center(GetDlgItem(fx_.hwnd(), kIdPasteButton)));
    ASSERT_TRUE(pump_until([&] { return IsWindowVisible(mw_->tooltip) != FALSE; }, 2000));
    EXPECT_EQ(window_text(mw_->tooltip), L"Paste");
    move_mouse(client_center(list()));
    EXPECT_TRUE(pump_until([&] { return !IsWindowVisible(mw_->tooltip); }, 2000));
}

TEST(MainWindowStart, AWindowStartedHiddenGetsItsChildrenAndListWhenFirstShown) {
    MainWindowFixture fx;
    fx.settings().last_view_filter = kViewPinned;
    fx.db().set_pinned_many({add_text_entry(fx.db(), L"Pinned before the start")}, true);
    add_text_entry(fx.db(), L"Not pinned");
    ASSERT_TRUE(fx.open(40, 40, 760, 560, false));
    MainWindow& mw = fx.main_window();
    EXPECT_EQ(mw.entry_list, nullptr);
    mw.refresh_list();  // a copy arriving meanwhile finds nothing to fill
    EXPECT_EQ(fx.app().capture_category, std::nullopt);

    ShowWindow(fx.hwnd(), SW_SHOW);
    ASSERT_NE(mw.entry_list, nullptr);
    EXPECT_EQ(mw.view_mode, kViewPinned);  // the stored view, restored at start
    EXPECT_EQ(list_texts(mw.entry_list), std::vector<std::wstring>{L"\U0001F4CC Pinned before the start"});
    RECT list{}, client{};
    GetWindowRect(mw.entry_list, &list);
    GetClientRect(fx.hwnd(), &client);
    EXPECT_GT(list.right - list.left, client.right / 2);  // laid out for the window's size
}

// A card is painted at once, without its picture; the pictures of the cards in
// view follow as the window's loop turns, and those out of view are not made.
TEST(MainWindowPictures, CardsPaintAtOnceAndOnlyThePicturesInViewFollow) {
    constexpr COLORREF kPicture = RGB(200, 30, 30);
    MainWindowFixture fx;
    for (int i = 0; i < 30; ++i) add_image_entry(fx.db(), 60, 40, kPicture);
    ASSERT_TRUE(fx.open(40, 40, 760, 560));
    MainWindow& mw = fx.main_window();
    mw.set_view(kViewImages, -1);
    RECT view{};
    GetClientRect(mw.entry_list, &view);
    PixelImage painted(view.right, view.bottom);
    print_client(mw.entry_list, painted);
    EXPECT_TRUE(mw.thumbnails.empty());
    EXPECT_EQ(painted.count(view, kPicture), 0);

    ASSERT_TRUE(pump_until([&] { return mw.asked_thumbnails.empty() && !mw.thumbnails.empty(); }, 3000));
    const std::size_t rows_in_view = (view.bottom + kTallRowHeight - 1) / kTallRowHeight;
    EXPECT_EQ(mw.thumbnails.size(), rows_in_view);
    PixelImage settled(view.right, view.bottom);
    print_client(mw.entry_list, settled);
    EXPECT_GT(settled.count(view, kPicture), 0);
}
