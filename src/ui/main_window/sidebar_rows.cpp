// The sidebar's rows and views, free of windows.
#include "ui/main_window/sidebar.h"

#include "config/language.h"
#include "services/text_util.h"
#include "ui/main_window/template_fields.h"

#include <algorithm>

namespace {

constexpr wchar_t kPinIcon[] = L"\U0001F4CC";
constexpr wchar_t kExpandedIcon[] = L"\u25BE";
constexpr wchar_t kCollapsedIcon[] = L"\u25B8";
constexpr wchar_t kGroupIndent[] = L"  ";

struct FixedRow {
    std::int64_t data;
    const wchar_t* icon;  // null: the templates header, whose arrow shows its state
    const wchar_t* key;
    int hidden_bit;  // of Settings.categories_hidden; 0: never hidden
};
constexpr int kTemplatesHiddenBit = 16;
const FixedRow kFixedRows[] = {
    {kViewAll, L"", tr_key(L"side.all"), 0},
    {kViewPinned, kPinIcon, tr_key(L"side.pinned"), 1},
    {kViewSlots, L"\U0001F511", tr_key(L"side.slots"), 2},
    {kViewUncategorised, L"", tr_key(L"side.none"), 4},
    {kViewTrash, L"\U0001F5D1", tr_key(L"side.trash"), 8},
    {kSidebarTemplates, nullptr, tr_key(L"side.templates"), kTemplatesHiddenBit},
    {kSidebarImages, L"\U0001F5BC", tr_key(L"side.images"), 32},
};

void add_template_rows(const SidebarContent& content, std::vector<SidebarRow>& rows) {
    rows.push_back(
        {content.templates_collapsed ? kCollapsedIcon : kExpandedIcon, tr(L"side.templates"), kSidebarTemplates});
    if (!template_rows_shown(content)) return;
    for (std::size_t i = 0; i < content.groups.size(); ++i)
        rows.push_back({L"", kGroupIndent + content.groups[i], kSidebarFirstGroup + static_cast<std::int64_t>(i)});
    if (content.has_ungrouped_templates) rows.push_back({L"", kGroupIndent + tr(L"side.ungrouped"), kSidebarUngrouped});
}

}  // namespace

bool template_rows_shown(const SidebarContent& content) {
    return !templates_row_hidden(content.hidden_mask) && !content.templates_collapsed;
}

std::vector<SidebarRow> build_sidebar_rows(const SidebarContent& content) {
    std::vector<SidebarRow> rows;
    for (const FixedRow& row : kFixedRows) {
        if (content.hidden_mask & row.hidden_bit) continue;
        if (!row.icon) {
            add_template_rows(content, rows);
            continue;
        }
        rows.push_back({row.icon, tr(row.key), row.data});
    }
    for (const Category& c : content.categories)
        rows.push_back({c.pinned ? kPinIcon : L"", c.name, sidebar_category_data(c.id)});
    return rows;
}

std::int64_t sidebar_category_data(std::int64_t category_id) { return kSidebarCategoryTag | category_id; }

std::int64_t sidebar_category_of(std::int64_t data) {
    const SidebarChoice choice = sidebar_choice(data);
    return choice.target == SidebarTarget::Category ? choice.value : -1;
}

SidebarChoice sidebar_choice(std::int64_t data) {
    if (data < 0) return {};
    if (data & kSidebarCategoryTag) return {SidebarTarget::Category, data & ~kSidebarCategoryTag};
    if (data == kSidebarTemplates) return {SidebarTarget::TemplatesHeader, 0};
    if (data == kSidebarImages) return {SidebarTarget::Images, kViewImages};
    if (data <= kViewTrash) return {SidebarTarget::View, data};
    if (data == kSidebarUngrouped) return {SidebarTarget::Ungrouped, 0};
    if (data >= kSidebarFirstGroup && data < kSidebarUngrouped)
        return {SidebarTarget::Group, data - kSidebarFirstGroup};
    return {};
}

std::int64_t sidebar_view_data(const SidebarView& view) {
    if (view.templates) return kSidebarTemplates;
    if (view.mode == kViewImages) return kSidebarImages;
    if (view.mode == kViewCategory) return view.category >= 1 ? sidebar_category_data(view.category) : kViewAll;
    if (view.mode >= kViewPinned && view.mode <= kViewTrash) return view.mode;
    return kViewAll;
}

SidebarView shown_view(const SidebarView& view, int hidden_mask, int hidden_before) {
    const int just_hidden = hidden_mask & ~hidden_before;
    const std::int64_t row = sidebar_view_data(view);
    for (const FixedRow& fixed : kFixedRows)
        if (fixed.data == row && (just_hidden & fixed.hidden_bit)) return {};
    return view;
}

bool templates_row_hidden(int hidden_mask) { return (hidden_mask & kTemplatesHiddenBit) != 0; }

bool is_trash_view(const SidebarView& view) { return !view.templates && view.mode == kViewTrash; }

std::optional<std::int64_t> capture_category_for(const SidebarView& view) {
    if (view.templates || view.mode != kViewCategory || view.category < 1) return std::nullopt;
    return view.category;
}

std::wstring sidebar_group_name(const std::wstring& row_text) {
    const size_t tab = row_text.find(L'\t');
    const std::wstring rest = tab == std::wstring::npos ? row_text : row_text.substr(tab + 1);
    const size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const size_t last = rest.find_last_not_of(L" \t");
    return rest.substr(first, last - first + 1);
}

int sidebar_width_for(int widest_label) {
    constexpr int kRowChrome = 44;  // icon column and margins
    return std::clamp(widest_label + kRowChrome, kSidebarMinWidth, kSidebarMaxWidth);
}

// The input box takes Enter as a line break; a name is one line, flattened
// as template group names are.
std::wstring category_name_from_input(const std::wstring& typed) {
    return trim_blanks(cut_code_units(group_name_from_input(typed), kCategoryNameLimit));
}

PopupMenuItems template_group_menu(const std::wstring& group, const std::vector<std::wstring>& groups) {
    PopupMenuItems items;
    append_menu_item(items, kGroupMenuNewTemplate, tr(L"action.new_template_group"));
    append_menu_separator(items);
    append_menu_item(items, kGroupMenuRename, tr(L"action.rename_group"));
    PopupMenuItem move{tr(L"action.move_to_other_group")};
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i] != group) append_menu_item(move.children, pack_menu_command(kMoveGroupTag, i), groups[i]);
    append_menu_item(move.children, pack_menu_command(kMoveGroupTag, groups.size()), tr(L"editor.ungrouped_group"));
    push_menu_item(items, std::move(move));
    append_menu_separator(items);
    append_menu_item(items, kGroupMenuDelete, tr(L"action.delete_group"));
    return items;
}

std::optional<std::wstring> group_move_target(std::uint64_t chosen, const std::vector<std::wstring>& groups) {
    const MenuCommand command = unpack_menu_command(chosen, groups.size());
    if (command.tag != kMoveGroupTag) return std::nullopt;
    return command.index < groups.size() ? groups[command.index] : std::wstring();
}
