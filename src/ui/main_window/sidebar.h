#pragma once
// The sidebar free of windows: which rows it shows for the stored categories,
// template groups and hidden-row mask, what each row's item data stands for
// and back, the row of a view, the category new captures go to in a view,
// the sidebar's width rule, category names typed by the user, and the menu of
// a template group.

#include "services/ids.h"
#include "storage/history_records.h"
#include "ui/menu/popup_menu_item.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The name MainWindow::template_group gives the templates without a group.
inline constexpr wchar_t kUngroupedGroup[] = L"\x1E";

inline constexpr int kSidebarMinWidth = 96;
inline constexpr int kSidebarMaxWidth = 260;
// Category names are kept to what the sidebar's rows were made for.
inline constexpr std::size_t kCategoryNameLimit = 255;

// One row: its text in the list box is the icon, a tab, then the label.
struct SidebarRow {
    std::wstring icon;  // may be empty
    std::wstring label;
    std::int64_t data = 0;
    std::wstring text() const { return icon + L"\t" + label; }
};

// What the sidebar is filled from.
struct SidebarContent {
    int hidden_mask = 0;  // Settings.categories_hidden
    bool templates_collapsed = true;
    std::vector<std::wstring> groups;  // the stored group list, in order
    bool has_ungrouped_templates = false;
    std::vector<Category> categories;  // in sidebar order
};

// The templates section is shown and open: its group rows are listed.
bool template_rows_shown(const SidebarContent& content);

// The rows in display order: the views not hidden by the mask (the templates
// header, its groups and the ungrouped row go together; groups and the
// ungrouped row only while expanded, the latter only when some template has
// no group), then every category.
std::vector<SidebarRow> build_sidebar_rows(const SidebarContent& content);

// What a row's item data stands for.
enum class SidebarTarget { None, View, TemplatesHeader, Images, Category, Group, Ungrouped };
struct SidebarChoice {
    SidebarTarget target = SidebarTarget::None;
    std::int64_t value = 0;  // the view mode, the category id or the group index
};
SidebarChoice sidebar_choice(std::int64_t data);
std::int64_t sidebar_category_data(std::int64_t category_id);
// The category a row stands for, or -1 for any other row.
std::int64_t sidebar_category_of(std::int64_t data);

// The main window's view, as the sidebar follows it.
struct SidebarView {
    bool templates = false;
    int mode = kViewAll;
    int category = -1;
    bool operator==(const SidebarView&) const = default;
};
// The item data of the row that shows the view: the templates header for
// every templates view, a category's row, else the view's own row; "all"
// for a category view without a category.
std::int64_t sidebar_view_data(const SidebarView& view);
// The view as the sidebar can show it once the hidden-rows mask went from
// hidden_before to hidden_mask: one whose row was just taken away could be
// neither seen nor left there, and falls back to "all". A view the user asked
// for under a row hidden before stays: a hidden row hides the row, not the view.
SidebarView shown_view(const SidebarView& view, int hidden_mask, int hidden_before = 0);
// The templates section opens only where its row is shown: a view asked for
// under a hidden row leaves the section's stored state as the user left it.
bool templates_row_hidden(int hidden_mask);
// The trash's own view; no templates view is the trash, whatever mode it keeps.
bool is_trash_view(const SidebarView& view);
// New captures are filed under the category being viewed, and under none in
// every other view.
std::optional<std::int64_t> capture_category_for(const SidebarView& view);

// The group a template-group row stands for: the text after its first tab,
// blanks and tabs trimmed at both ends.
std::wstring sidebar_group_name(const std::wstring& row_text);

// The sidebar's width for its widest label, in pixels.
int sidebar_width_for(int widest_label);

// A category name as typed into the input box: line breaks become blanks,
// trimmed and kept to kCategoryNameLimit characters; empty when nothing is
// left.
std::wstring category_name_from_input(const std::wstring& typed);

// The menu of a template group: new template in it, rename, move its
// templates to any other group or to none, delete.
PopupMenuItems template_group_menu(const std::wstring& group, const std::vector<std::wstring>& groups);
// Where a choice of the move submenu sends the group's templates: another
// group's name, or empty for no group; nothing for any other id.
std::optional<std::wstring> group_move_target(std::uint64_t chosen, const std::vector<std::wstring>& groups);
