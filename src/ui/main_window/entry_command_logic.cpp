#include "ui/main_window/entry_command_logic.h"

#include "config/language.h"
#include "services/ids.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/sidebar.h"

#include <algorithm>

namespace {

// The "paste as" rows, in menu order: the transform mode is the index.
const wchar_t* const kTransformKeys[] = {
    tr_key(L"action.transform_upper"),     tr_key(L"action.transform_lower"),  tr_key(L"action.transform_capitalize"),
    tr_key(L"action.transform_sentence"),  tr_key(L"action.transform_invert"), tr_key(L"action.transform_trim"),
    tr_key(L"action.transform_remove_lf"),
};
constexpr int kTransformCount = static_cast<int>(std::size(kTransformKeys));

void add(PopupMenuItems& menu, int id, const wchar_t* key) {
    append_menu_item(menu, static_cast<std::uint64_t>(id), tr(key));
}

// A rule between groups of rows, never two in a row.
void separate(PopupMenuItems& menu) {
    if (!menu.empty() && !menu.back().separator) append_menu_separator(menu);
}

void add_moves(PopupMenuItems& menu, const ListMenuState& state) {
    if (!state.moves_shown) return;
    separate(menu);
    add(menu, kEntryMenuMoveUp, tr_key(L"action.move_up"));
    add(menu, kEntryMenuMoveDown, tr_key(L"action.move_down"));
}

// Paste and copy, of one row or of all the selected ones.
void add_paste_and_copy(PopupMenuItems& menu, bool several) {
    add(menu, kEntryMenuPaste, several ? tr_key(L"action.paste_all") : tr_key(L"action.paste"));
    add(menu, kEntryMenuCopy, several ? tr_key(L"action.copy_all") : tr_key(L"action.copy"));
}

void add_pin_category_slot(PopupMenuItems& menu) {
    add(menu, kEntryMenuPin, tr_key(L"action.pin"));
    add(menu, kEntryMenuToCategory, tr_key(L"action.to_category"));
    add(menu, kEntryMenuAddSlot, tr_key(L"action.add_slot"));
}

PopupMenuItems entries_menu(const ListMenuState& state) {
    PopupMenuItems menu;
    const bool several = state.selected_count >= 2;
    add_paste_and_copy(menu, several);
    if (several) {
        separate(menu);
        if (!state.slots_view) add_pin_category_slot(menu);
        add_moves(menu, state);
        separate(menu);
        add(menu, kEntryMenuDelete, tr_key(L"action.delete"));
        return menu;
    }
    add(menu, kEntryMenuPasteDelete, tr_key(L"action.paste_delete"));
    separate(menu);
    if (state.has_text) {
        PopupMenuItem paste_as;
        paste_as.text = tr(L"action.paste_as");
        for (int mode = 0; mode < kTransformCount; ++mode)
            add(paste_as.children, kEntryMenuTransform + mode * kEntryMenuTransformStep, kTransformKeys[mode]);
        push_menu_item(menu, std::move(paste_as));
        add(menu, kEntryMenuPastePlain, tr_key(L"action.paste_plain"));
    }
    add(menu, kEntryMenuView, tr_key(L"action.view"));
    append_check_item(menu, kEntryMenuKeep, tr(L"action.keep_forever"), state.kept);
    separate(menu);
    add_pin_category_slot(menu);
    add_moves(menu, state);
    separate(menu);
    add(menu, kEntryMenuEdit, tr_key(L"action.edit"));
    separate(menu);
    add(menu, kEntryMenuDelete, tr_key(L"action.delete"));
    return menu;
}

// Every stored group, then "no group", the template's own one checked.
PopupMenuItem move_to_group_submenu(const ListMenuState& state) {
    PopupMenuItem submenu;
    submenu.text = tr(L"action.move_to_group");
    for (std::size_t i = 0; i < state.groups.size(); ++i)
        append_check_item(submenu.children, pack_menu_command(kMoveToGroupTag, i), state.groups[i],
                          state.groups[i] == state.group);
    append_check_item(submenu.children, pack_menu_command(kMoveToGroupTag, state.groups.size()),
                      tr(L"editor.ungrouped_group"), state.group.empty());
    return submenu;
}

PopupMenuItems trash_menu(const ListMenuState& state) {
    PopupMenuItems menu;
    add(menu, kEntryMenuCopy, tr_key(L"action.restore"));
    if (state.selected_count >= 2) separate(menu);
    add(menu, kEntryMenuDelete, tr_key(L"action.delete_forever"));
    if (state.selected_count < 2) {
        separate(menu);
        add(menu, kEntryMenuEmptyTrash, tr_key(L"action.empty_trash"));
    }
    return menu;
}

PopupMenuItems template_menu(const ListMenuState& state) {
    PopupMenuItems menu;
    const bool several = state.selected_count >= 2;
    add_paste_and_copy(menu, several);
    separate(menu);
    if (several) {
        add(menu, kEntryMenuDelete, tr_key(L"action.delete"));
        return menu;
    }
    add(menu, kEntryMenuEdit, tr_key(L"action.edit"));
    add(menu, kEntryMenuDelete, tr_key(L"action.delete"));
    separate(menu);
    push_menu_item(menu, move_to_group_submenu(state));
    separate(menu);
    add(menu, kEntryMenuNewTemplate, tr_key(L"action.new_template"));
    return menu;
}

// A row of the template's "move to group" submenu: the group at its index, or none for the last row.
ListCommand move_to_group_choice(const ListMenuState& state, std::uint64_t chosen) {
    const MenuCommand command = unpack_menu_command(chosen, state.groups.size());
    if (command.tag != kMoveToGroupTag) return {};
    return {ListAction::MoveTemplateToGroup, 0,
            command.index < state.groups.size() ? state.groups[command.index] : std::wstring{}};
}

ListCommand entries_choice(std::uint64_t chosen) {
    if (const int mode = transform_mode_of(chosen); mode >= 0) return {ListAction::PasteTransformed, mode, {}};
    switch (chosen) {
    case kEntryMenuPaste:
    case kEntryMenuPasteDelete: return {ListAction::Paste};
    case kEntryMenuCopy: return {ListAction::Copy};
    case kEntryMenuPin: return {ListAction::Pin};
    case kEntryMenuToCategory: return {ListAction::ToCategory};
    case kEntryMenuAddSlot: return {ListAction::AddSlot};
    case kEntryMenuMoveUp: return {ListAction::MoveUp};
    case kEntryMenuMoveDown: return {ListAction::MoveDown};
    case kEntryMenuEdit: return {ListAction::Edit};
    case kEntryMenuDelete: return {ListAction::Delete};
    case kEntryMenuPastePlain: return {ListAction::PastePlain};
    case kEntryMenuView: return {ListAction::View};
    case kEntryMenuKeep: return {ListAction::Keep};
    default: return {};
    }
}

}  // namespace

// ---------------------------------------------------------------- plurals

PluralRule plural_rule_of(const std::wstring& language_code) {
    return language_code == L"en" ? PluralRule::English : PluralRule::Slavic;
}

std::wstring plural_count(int n, const std::wstring& one, const std::wstring& few, const std::wstring& many,
                          PluralRule rule) {
    const std::wstring number = std::to_wstring(n) + L" ";
    if (rule == PluralRule::English) return number + (n == 1 ? one : many);
    const int r10 = std::abs(n % 10), r100 = std::abs(n % 100);
    if (r100 >= 11 && r100 <= 14) return number + many;
    if (r10 == 1) return number + one;
    if (r10 >= 2 && r10 <= 4) return number + few;
    return number + many;
}

std::wstring delete_confirm_text(int entry_count, int template_count, PluralRule rule) {
    const std::wstring entries =
        plural_count(entry_count, tr(L"confirm.rec_one"), tr(L"confirm.rec_few"), tr(L"confirm.rec_many"), rule);
    const std::wstring templates =
        plural_count(template_count, tr(L"confirm.tpl_one"), tr(L"confirm.tpl_few"), tr(L"confirm.tpl_many"), rule);
    if (entry_count > 0 && template_count > 0) return tr_format(L"confirm.del_and", entries, templates);
    return tr_format(L"confirm.del_some", entry_count != 0 ? entries : templates);
}

// ---------------------------------------------------------------- selections

std::vector<std::int64_t> selected_entry_ids(const std::vector<std::int64_t>& selection) {
    std::vector<std::int64_t> ids;
    for (std::int64_t value : selection)
        if (value >= 1) ids.push_back(value);
    return ids;
}

SplitSelection split_selection(const std::vector<std::int64_t>& selection) {
    SplitSelection split;
    split.entries = selected_entry_ids(selection);
    for (std::int64_t value : selection)
        if (value < 0 && row_kind(value) == RowKind::Template) split.templates.push_back(-value);
    split.rows = selection.size();
    return split;
}

std::wstring join_row_texts(const std::vector<std::wstring>& parts) {
    std::wstring joined;
    for (const std::wstring& part : parts) {
        if (part.empty()) continue;
        if (!joined.empty()) joined += L"\r\n";
        joined += part;
    }
    return joined;
}

// ---------------------------------------------------------------- moves

bool view_allows_moves(bool templates_view, bool trash_view, int view_mode, bool searching) {
    return !templates_view && !trash_view && view_mode != kViewTrash && view_mode != kViewPinned && !searching;
}

MovePlan plan_block_move(std::vector<int> selected_rows, int row_count, int direction) {
    std::sort(selected_rows.begin(), selected_rows.end());
    selected_rows.erase(std::unique(selected_rows.begin(), selected_rows.end()), selected_rows.end());
    if (selected_rows.empty() || selected_rows.front() < 0 || selected_rows.back() >= row_count)
        return {MovePlan::Step::Refill};
    const int first = selected_rows.front(), last = selected_rows.back();
    if (last - first + 1 != static_cast<int>(selected_rows.size())) return {MovePlan::Step::Refill};
    if (direction < 0) {
        if (first == 0) return {};
        return {MovePlan::Step::Move, first - 1, last};
    }
    if (last == row_count - 1) return {};
    return {MovePlan::Step::Move, last + 1, first};
}

// ---------------------------------------------------------------- context menus

PopupMenuItems build_list_menu(const ListMenuState& state) {
    switch (state.kind) {
    case ListMenuKind::Entries: return entries_menu(state);
    case ListMenuKind::Trash: return trash_menu(state);
    case ListMenuKind::Template: return template_menu(state);
    case ListMenuKind::GroupHeader: return template_group_menu(state.group, state.groups);
    case ListMenuKind::UngroupedHeader: {
        PopupMenuItems menu;
        add(menu, kUngroupedMenuNewTemplate, tr_key(L"action.new_template"));
        return menu;
    }
    case ListMenuKind::TemplatesBlank: {
        PopupMenuItems menu;
        add(menu, kTemplatesMenuAddGroup, tr_key(L"action.add_group"));
        add(menu, kEntryMenuNewTemplate, tr_key(L"action.new_template"));
        return menu;
    }
    }
    return {};
}

ListCommand decode_list_menu_choice(const ListMenuState& state, std::uint64_t chosen) {
    if (chosen == 0) return {};
    switch (state.kind) {
    case ListMenuKind::Entries: return entries_choice(chosen);
    case ListMenuKind::Trash:
        if (chosen == kEntryMenuCopy) return {ListAction::Restore};
        if (chosen == kEntryMenuDelete) return {ListAction::DeleteForever};
        if (chosen == kEntryMenuEmptyTrash) return {ListAction::EmptyTrash};
        return {};
    case ListMenuKind::TemplatesBlank:
        if (chosen == kTemplatesMenuAddGroup) return {ListAction::NewGroup};
        if (chosen == kEntryMenuNewTemplate) return {ListAction::NewTemplate};
        return {};
    case ListMenuKind::Template:
        switch (chosen) {
        case kEntryMenuPaste: return {ListAction::Paste};
        case kEntryMenuCopy: return {ListAction::Copy};
        case kEntryMenuEdit: return {ListAction::Edit};
        case kEntryMenuDelete: return {ListAction::Delete};
        case kEntryMenuNewTemplate: return {ListAction::NewTemplate};
        default: return move_to_group_choice(state, chosen);
        }
    case ListMenuKind::GroupHeader:
        switch (chosen) {
        case kGroupMenuNewTemplate: return {ListAction::NewTemplateInGroup, 0, state.group};
        case kGroupMenuRename: return {ListAction::RenameGroup, 0, state.group};
        case kGroupMenuDelete: return {ListAction::DeleteGroup, 0, state.group};
        default: break;
        }
        if (const auto target = group_move_target(chosen, state.groups))
            return {ListAction::MoveGroupTemplates, 0, *target};
        return {};
    case ListMenuKind::UngroupedHeader:
        return chosen == kUngroupedMenuNewTemplate ? ListCommand{ListAction::NewTemplate} : ListCommand{};
    }
    return {};
}

int transform_mode_of(std::uint64_t menu_id) {
    if (menu_id < kEntryMenuTransform) return -1;
    const std::uint64_t distance = menu_id - kEntryMenuTransform;
    if (distance % kEntryMenuTransformStep != 0) return -1;
    const std::uint64_t mode = distance / kEntryMenuTransformStep;
    return mode < static_cast<std::uint64_t>(kTransformCount) ? static_cast<int>(mode) : -1;
}
