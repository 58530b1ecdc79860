// The sidebar's rows and views without a window: what the hidden-views mask
// and the templates section leave, what a row's item data opens, the row and
// capture category of each view, the view a row just hidden gives way to, the
// width rule, typed category names and the menu of a template group.

#include "ui/main_window/sidebar.h"

#include "config/language.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Sidebar : public ::testing::Test {
protected:
    static void SetUpTestSuite() { load_language(L"en", testsupport::source_dir() + L"\\lang"); }
};

Category category(std::int64_t id, const std::wstring& name, bool pinned = false) {
    Category c;
    c.id = id;
    c.name = name;
    c.pinned = pinned;
    return c;
}

SidebarContent content(int mask, bool collapsed, bool ungrouped) {
    SidebarContent c;
    c.hidden_mask = mask;
    c.templates_collapsed = collapsed;
    c.groups = {L"Replies", L"Work"};
    c.has_ungrouped_templates = ungrouped;
    c.categories = {category(3, L"Home", true), category(995, L"Archive")};
    return c;
}

std::vector<std::wstring> texts(const std::vector<SidebarRow>& rows) {
    std::vector<std::wstring> out;
    for (const SidebarRow& r : rows) out.push_back(r.text());
    return out;
}

}  // namespace

TEST_F(Sidebar, TheMaskAndTheTemplatesSectionDecideTheRows) {
    const std::vector<std::wstring> open = {L"\tAll",
                                            L"\U0001F4CC\tPinned",
                                            L"\U0001F511\tQuick slots",
                                            L"\tWithout category",
                                            L"\U0001F5D1\tTrash",
                                            L"\u25BE\tTemplates",
                                            L"\t  Replies",
                                            L"\t  Work",
                                            L"\t  Without group",
                                            L"\U0001F5BC\tImages",
                                            L"\U0001F4CC\tHome",
                                            L"\tArchive"};
    EXPECT_EQ(texts(build_sidebar_rows(content(0, false, true))), open);

    // Collapsed: no group rows and no ungrouped row, the arrow points right.
    std::vector<std::wstring> closed = open;
    closed.erase(closed.begin() + 5, closed.begin() + 9);
    closed.insert(closed.begin() + 5, L"\u25B8\tTemplates");
    EXPECT_EQ(texts(build_sidebar_rows(content(0, true, true))), closed);

    // The ungrouped row only while some template has no group.
    const auto without_loose = texts(build_sidebar_rows(content(0, false, false)));
    EXPECT_EQ(std::count(without_loose.begin(), without_loose.end(), L"\t  Without group"), 0);

    // Bit 16 takes the whole templates block, open or not; 63 leaves "all" and the categories.
    const auto no_templates = texts(build_sidebar_rows(content(16, false, true)));
    EXPECT_EQ(no_templates.size(), open.size() - 4);
    EXPECT_EQ(texts(build_sidebar_rows(content(63, false, true))),
              (std::vector<std::wstring>{L"\tAll", L"\U0001F4CC\tHome", L"\tArchive"}));
    EXPECT_EQ(texts(build_sidebar_rows(content(8 | 1, true, false))).size(), closed.size() - 2);
}

TEST_F(Sidebar, EveryRowOpensWhatItShowsAndEveryCategoryAsACategory) {
    using T = SidebarTarget;
    std::vector<std::pair<T, std::int64_t>> opened;
    for (const SidebarRow& row : build_sidebar_rows(content(0, false, true))) {
        const SidebarChoice choice = sidebar_choice(row.data);
        opened.emplace_back(choice.target, choice.value);
    }
    EXPECT_EQ(opened, (std::vector<std::pair<T, std::int64_t>>{{T::View, kViewAll},
                                                               {T::View, kViewPinned},
                                                               {T::View, kViewSlots},
                                                               {T::View, kViewUncategorised},
                                                               {T::View, kViewTrash},
                                                               {T::TemplatesHeader, 0},
                                                               {T::Group, 0},
                                                               {T::Group, 1},
                                                               {T::Ungrouped, 0},
                                                               {T::Images, kViewImages},
                                                               {T::Category, 3},
                                                               {T::Category, 995}}));
    // Ids that "id + 10 below 1000" could not hold, and far beyond.
    for (std::int64_t id : {989ll, 990ll, 1000ll, 0x100000003E8ll, 1ll << 40})
        EXPECT_EQ(sidebar_category_of(sidebar_category_data(id)), id) << id;
    EXPECT_EQ(sidebar_category_of(kSidebarUngrouped), -1);
    EXPECT_EQ(sidebar_category_of(kSidebarFirstGroup + 3), -1);
    EXPECT_EQ(sidebar_choice(-1).target, T::None);
    EXPECT_EQ(sidebar_choice(500).target, T::None);
}

TEST_F(Sidebar, EachViewLightsItsRowAndFilesCapturesOnlyInACategory) {
    struct Case {
        SidebarView view;
        std::int64_t row;
        std::optional<std::int64_t> capture;
    };
    const Case cases[] = {
        {{false, kViewAll, -1}, kViewAll, std::nullopt},
        {{false, kViewTrash, -1}, kViewTrash, std::nullopt},
        {{false, kViewCategory, 995}, sidebar_category_data(995), 995},
        {{false, kViewCategory, -1}, kViewAll, std::nullopt},  // no category to file under
        {{false, kViewImages, -1}, kSidebarImages, std::nullopt},
        {{true, kViewAll, -1}, kSidebarTemplates, std::nullopt},
        {{true, kViewCategory, 7}, kSidebarTemplates, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sidebar_view_data(c.view), c.row) << c.view.mode;
        EXPECT_EQ(capture_category_for(c.view), c.capture) << c.view.mode;
    }
}

TEST_F(Sidebar, AViewWhoseRowIsHiddenFallsBackToAll) {
    const SidebarView trash{false, kViewTrash, -1}, templates{true, kViewAll, -1}, category{false, kViewCategory, 3};
    EXPECT_TRUE(shown_view(trash, 8) == SidebarView{});
    EXPECT_TRUE(shown_view(templates, 16) == SidebarView{});
    EXPECT_TRUE(shown_view(trash, 63 & ~8) == trash) << "only other rows hidden";
    EXPECT_TRUE(shown_view(category, 63) == category) << "categories are never hidden";
    EXPECT_TRUE(shown_view(templates, 16 | 8, 16) == templates) << "asked for under a row hidden before";
}

TEST_F(Sidebar, WidthNamesAndTheGroupMenu) {
    EXPECT_EQ(sidebar_width_for(30), kSidebarMinWidth);
    EXPECT_EQ(sidebar_width_for(100), 144);
    EXPECT_EQ(sidebar_width_for(300), kSidebarMaxWidth);

    EXPECT_EQ(category_name_from_input(L"  Work \r\n"), L"Work");
    EXPECT_EQ(category_name_from_input(L" \t\r\n "), L"");
    EXPECT_EQ(category_name_from_input(L"Two\r\nlines\nor\rthree"), L"Two  lines or three");
    EXPECT_EQ(category_name_from_input(std::wstring(300, L'x')).size(), kCategoryNameLimit);
    EXPECT_EQ(category_name_from_input(std::wstring(254, L'x') + L"  tail"), std::wstring(254, L'x'));

    const std::vector<std::wstring> groups = {L"A", L"B", L"C"};
    const PopupMenuItems menu = template_group_menu(L"B", groups);
    const auto submenu = std::find_if(menu.begin(), menu.end(), [](const auto& i) { return !i.children.empty(); });
    ASSERT_NE(submenu, menu.end());
    std::vector<std::wstring> offered;
    for (const PopupMenuItem& item : submenu->children) {
        offered.push_back(item.text);
        EXPECT_EQ(group_move_target(item.id, groups), item.text == L"Without group" ? L"" : item.text);
    }
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"A", L"C", L"Without group"}));
    for (std::uint64_t other :
         {std::uint64_t(kGroupMenuRename), std::uint64_t(kGroupMenuDelete), pack_menu_command(kMoveToGroupTag, 0)})
        EXPECT_EQ(group_move_target(other, groups), std::nullopt);
}
