#include "ui/main_window/entry_command_logic.h"

#include "config/language.h"
#include "services/ids.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kRule = 0;            // a separator in menu_ids
constexpr std::uint64_t kSubmenu = 1u << 31;  // a row that opens a submenu

// A menu's ids in order: separators as kRule, a submenu row as kSubmenu.
std::vector<std::uint64_t> menu_ids(const PopupMenuItems& menu) {
    std::vector<std::uint64_t> ids;
    for (const PopupMenuItem& item : menu)
        ids.push_back(item.separator ? kRule : item.children.empty() ? item.id : kSubmenu);
    return ids;
}

const PopupMenuItem& submenu(const PopupMenuItems& menu) {
    for (const PopupMenuItem& item : menu)
        if (!item.children.empty()) return item;
    static const PopupMenuItem none;
    ADD_FAILURE() << "no submenu";
    return none;
}

class EntryCommandLogic : public ::testing::Test {
protected:
    void SetUp() override { load_language(L"en", testsupport::source_dir() + L"\\lang"); }
};

}  // namespace

TEST(EntryCommandPlurals, TheSlavicRuleTakesOneFewOrManyByTheLastDigits) {
    auto form = [](int n) { return plural_count(n, L"one", L"few", L"many"); };
    EXPECT_EQ(form(1), L"1 one");
    EXPECT_EQ(form(2), L"2 few");
    EXPECT_EQ(form(5), L"5 many");
    for (int n : {11, 12, 13, 14, 111, 112}) EXPECT_EQ(form(n), std::to_wstring(n) + L" many") << n;
    EXPECT_EQ(form(21), L"21 one");
    EXPECT_EQ(form(22), L"22 few");
    EXPECT_EQ(form(0), L"0 many");
    // English has a single plural.
    EXPECT_EQ(plural_count(1, L"entry", L"x", L"entries", PluralRule::English), L"1 entry");
    EXPECT_EQ(plural_count(21, L"entry", L"x", L"entries", PluralRule::English), L"21 entries");
    EXPECT_EQ(plural_rule_of(L"en"), PluralRule::English);
    EXPECT_EQ(plural_rule_of(L"ru"), PluralRule::Slavic);
}

TEST(EntryCommandPlurals, TheDeleteQuestionNamesWhatGoesInEachLanguage) {
    load_language(L"ru", testsupport::source_dir() + L"\\lang");
    EXPECT_EQ(delete_confirm_text(21, 3, PluralRule::Slavic), L"Удалить 21 запись и 3 шаблона?");
    EXPECT_EQ(delete_confirm_text(12, 0, PluralRule::Slavic), L"Удалить 12 записей?");
    EXPECT_EQ(delete_confirm_text(0, 1, PluralRule::Slavic), L"Удалить 1 шаблон?");
    load_language(L"en", testsupport::source_dir() + L"\\lang");
    EXPECT_EQ(delete_confirm_text(21, 1, PluralRule::English), L"Delete 21 entries and 1 template?");
    EXPECT_EQ(delete_confirm_text(0, 2, PluralRule::English), L"Delete 2 templates?");
}

TEST(EntryCommandSelection, RowsSplitIntoEntriesAndTemplatesAndJoinAsLines) {
    const std::vector<std::int64_t> selection{5, -3, kListGroupHeader, 0, kListUngroupedHeader, 7, -1};
    const SplitSelection split = split_selection(selection);
    EXPECT_EQ(split.entries, (std::vector<std::int64_t>{5, 7}));
    EXPECT_EQ(split.templates, (std::vector<std::int64_t>{3, 1}));
    EXPECT_EQ(split.rows, selection.size());
    EXPECT_TRUE(split_selection({kListGroupHeader, 0}).has_none());
    EXPECT_EQ(join_row_texts({L"first", L"", L"second\nline", L""}), L"first\r\nsecond\nline");
    EXPECT_EQ(join_row_texts({L"", L""}), L"");
}

TEST(EntryCommandMoves, TheRowNextToTheBlockChangesSidesAsTheListShowsIt) {
    // Applies a plan the way the list moves a row: out at `from`, in at `to`.
    auto moved = [](std::vector<int> selected, int direction) {
        std::wstring rows = L"abcdefghij";
        const MovePlan plan = plan_block_move(selected, static_cast<int>(rows.size()), direction);
        if (plan.step != MovePlan::Step::Move)
            return std::wstring(plan.step == MovePlan::Step::Refill ? L"refill" : L"");
        const wchar_t row = rows[plan.from];
        rows.erase(plan.from, 1);
        rows.insert(rows.begin() + std::min<int>(plan.to, static_cast<int>(rows.size())), row);
        return rows;
    };
    EXPECT_EQ(moved({3, 4}, -1), L"abdecfghij");
    EXPECT_EQ(moved({4, 3}, +1), L"abcfdeghij");
    EXPECT_EQ(moved({8, 9}, -1), L"abcdefgijh");
    EXPECT_EQ(moved({0}, +1), L"bacdefghij");
    // Edges: nothing; a gappy or empty selection: the list is refilled.
    EXPECT_EQ(moved({0, 1}, -1), L"");
    EXPECT_EQ(moved({9}, +1), L"");
    EXPECT_EQ(moved({2, 4}, -1), L"refill");
    EXPECT_EQ(moved({}, +1), L"refill");

    // Moves only where the rows stand in their stored order.
    EXPECT_TRUE(view_allows_moves(false, false, kViewCategory, false));
    EXPECT_FALSE(view_allows_moves(false, false, kViewPinned, false));
    EXPECT_FALSE(view_allows_moves(false, true, kViewTrash, false));
    EXPECT_FALSE(view_allows_moves(true, false, kViewAll, false));
    EXPECT_FALSE(view_allows_moves(false, false, kViewAll, true));
}

TEST_F(EntryCommandLogic, AnEntryViewOffersWhatTheSelectionCanTake) {
    ListMenuState one;
    one.selected_count = 1;
    one.moves_shown = true;
    one.has_text = true;
    one.kept = true;
    const PopupMenuItems menu = build_list_menu(one);
    EXPECT_EQ(menu_ids(menu), (std::vector<std::uint64_t>{1, 2, 3, kRule, kSubmenu, 20, 22, 23, kRule, 4, 5, 6, kRule,
                                                          7, 8, kRule, 9, kRule, 10}));
    EXPECT_EQ(menu_ids(submenu(menu).children), (std::vector<std::uint64_t>{21, 121, 221, 321, 421, 521, 621}));
    EXPECT_TRUE(menu[7].checked);
    EXPECT_EQ(menu[7].text, L"Keep forever");

    // A picture or an empty text has nothing to transform; a search or the
    // pinned view hides the moves.
    one.has_text = one.kept = one.moves_shown = false;
    EXPECT_EQ(menu_ids(build_list_menu(one)),
              (std::vector<std::uint64_t>{1, 2, 3, kRule, 22, 23, kRule, 4, 5, 6, kRule, 9, kRule, 10}));
    EXPECT_FALSE(build_list_menu(one)[5].checked);

    ListMenuState several;
    several.selected_count = 3;
    several.moves_shown = true;
    const PopupMenuItems many = build_list_menu(several);
    EXPECT_EQ(menu_ids(many), (std::vector<std::uint64_t>{1, 2, kRule, 4, 5, 6, kRule, 7, 8, kRule, 10}));
    EXPECT_EQ(many[0].text, L"Paste all");
    several.slots_view = true;
    EXPECT_EQ(menu_ids(build_list_menu(several)), (std::vector<std::uint64_t>{1, 2, kRule, 7, 8, kRule, 10}));

    // What the rows ask for: "paste and delete" pastes, the transforms carry their mode.
    EXPECT_EQ(decode_list_menu_choice(one, 3).action, ListAction::Paste);
    EXPECT_EQ(decode_list_menu_choice(one, 20).action, ListAction::PastePlain);
    const ListCommand sentence = decode_list_menu_choice(one, 321);
    EXPECT_EQ(sentence.action, ListAction::PasteTransformed);
    EXPECT_EQ(sentence.mode, 3);
    EXPECT_EQ(decode_list_menu_choice(one, 10).action, ListAction::Delete);
    EXPECT_EQ(decode_list_menu_choice(one, 0).action, ListAction::None);
    EXPECT_EQ(transform_mode_of(721), -1);
}

TEST_F(EntryCommandLogic, TheTrashRestoresAndDeletesForGood) {
    ListMenuState trash;
    trash.kind = ListMenuKind::Trash;
    trash.selected_count = 1;
    EXPECT_EQ(menu_ids(build_list_menu(trash)), (std::vector<std::uint64_t>{2, 10, kRule, 11}));
    EXPECT_EQ(build_list_menu(trash)[0].text, L"Restore");
    EXPECT_EQ(decode_list_menu_choice(trash, 2).action, ListAction::Restore);
    EXPECT_EQ(decode_list_menu_choice(trash, 10).action, ListAction::DeleteForever);
    EXPECT_EQ(decode_list_menu_choice(trash, 11).action, ListAction::EmptyTrash);
    trash.selected_count = 4;
    EXPECT_EQ(menu_ids(build_list_menu(trash)), (std::vector<std::uint64_t>{2, kRule, 10}));
}

TEST_F(EntryCommandLogic, TheTemplatesViewDispatchesItsOwnIds) {
    ListMenuState blank;
    blank.kind = ListMenuKind::TemplatesBlank;
    EXPECT_EQ(menu_ids(build_list_menu(blank)), (std::vector<std::uint64_t>{20, 12}));
    // 20 adds a group here; it pastes nothing.
    EXPECT_EQ(decode_list_menu_choice(blank, 20).action, ListAction::NewGroup);
    EXPECT_EQ(decode_list_menu_choice(blank, 12).action, ListAction::NewTemplate);

    ListMenuState one;
    one.kind = ListMenuKind::Template;
    one.selected_count = 1;
    one.groups = {L"Mail", L"Chat"};
    one.group = L"Chat";
    const PopupMenuItems menu = build_list_menu(one);
    EXPECT_EQ(menu_ids(menu), (std::vector<std::uint64_t>{1, 2, kRule, 9, 10, kRule, kSubmenu, kRule, 12}));
    const PopupMenuItems& groups = submenu(menu).children;
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[1].text, L"Chat");
    EXPECT_TRUE(groups[1].checked);
    EXPECT_FALSE(groups[0].checked || groups[2].checked);
    EXPECT_EQ(groups[2].text, L"Without group");
    const ListCommand to_mail = decode_list_menu_choice(one, groups[0].id);
    EXPECT_EQ(to_mail.action, ListAction::MoveTemplateToGroup);
    EXPECT_EQ(to_mail.group, L"Mail");
    const ListCommand out = decode_list_menu_choice(one, groups[2].id);
    EXPECT_EQ(out.action, ListAction::MoveTemplateToGroup);
    EXPECT_EQ(out.group, L"");
    EXPECT_EQ(decode_list_menu_choice(one, 21).action, ListAction::None);  // no transform of a template
    one.group.clear();
    EXPECT_TRUE(submenu(build_list_menu(one)).children.back().checked);
    one.selected_count = 2;
    EXPECT_EQ(menu_ids(build_list_menu(one)), (std::vector<std::uint64_t>{1, 2, kRule, 10}));

    // The header of a group: its own commands, and its templates can move to any other group.
    ListMenuState header;
    header.kind = ListMenuKind::GroupHeader;
    header.groups = {L"Mail", L"Chat", L"Work"};
    header.group = L"Chat";
    const PopupMenuItems group_menu = build_list_menu(header);
    EXPECT_EQ(menu_ids(group_menu), (std::vector<std::uint64_t>{21, kRule, 22, kSubmenu, kRule, 24}));
    std::vector<std::wstring> targets;
    for (const PopupMenuItem& item : submenu(group_menu).children) {
        const ListCommand command = decode_list_menu_choice(header, item.id);
        EXPECT_EQ(command.action, ListAction::MoveGroupTemplates);
        targets.push_back(command.group);
    }
    EXPECT_EQ(targets, (std::vector<std::wstring>{L"Mail", L"Work", L""}));
    const ListCommand in_group = decode_list_menu_choice(header, 21);
    EXPECT_EQ(in_group.action, ListAction::NewTemplateInGroup);
    EXPECT_EQ(in_group.group, L"Chat");
    EXPECT_EQ(decode_list_menu_choice(header, 22).action, ListAction::RenameGroup);
    EXPECT_EQ(decode_list_menu_choice(header, 24).action, ListAction::DeleteGroup);

    ListMenuState ungrouped;
    ungrouped.kind = ListMenuKind::UngroupedHeader;
    ASSERT_EQ(build_list_menu(ungrouped).size(), 1u);
    EXPECT_EQ(decode_list_menu_choice(ungrouped, build_list_menu(ungrouped)[0].id).action, ListAction::NewTemplate);
}
