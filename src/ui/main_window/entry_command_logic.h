#pragma once
// What the entry commands decide before they touch a window: the plural
// forms and the text of the delete question, the text of a paste of several
// rows, which rows a move may shift, the context menus of the entry list for
// each view and selection, and what a chosen menu row asks for. Texts the
// user sees come from the language files.

#include "ui/menu/popup_menu_item.h"

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------- plurals and the delete question

// Which form a count takes: Russian distinguishes one (1, 21, 101...), few
// (2-4, 22-24...) and many (0, 5-20, 25-30...); English only one and others.
enum class PluralRule { Slavic, English };
PluralRule plural_rule_of(const std::wstring& language_code);

// n in decimal, a blank and the form n takes.
std::wstring plural_count(int n, const std::wstring& one, const std::wstring& few, const std::wstring& many,
                          PluralRule rule = PluralRule::Slavic);

// "Delete 3 entries?", "Delete 2 entries and 1 template?", in the loaded
// language, whose plural rule is given.
std::wstring delete_confirm_text(int entry_count, int template_count, PluralRule rule);

// ---------------------------------------------------------------- selections

// The entries (ids 1 and above) of a list selection.
std::vector<std::int64_t> selected_entry_ids(const std::vector<std::int64_t>& selection);
// A selection split by kind: its entries, its templates (their ids made
// positive again) and how many rows it spans; group headers and 0 belong to
// neither kind.
struct SplitSelection {
    std::vector<std::int64_t> entries;
    std::vector<std::int64_t> templates;
    std::size_t rows = 0;
    bool has_none() const { return entries.empty() && templates.empty(); }
};
SplitSelection split_selection(const std::vector<std::int64_t>& selection);

// Several rows pasted or copied as one text: the non-empty parts, in order,
// one per line (CR LF between them).
std::wstring join_row_texts(const std::vector<std::wstring>& parts);

// ---------------------------------------------------------------- moving a block of rows

// Whether the view lets entries be moved by hand at all: not the trash, the
// templates or the pinned entries (whose order the pin decides), and not
// while a search hides rows between the ones moved.
bool view_allows_moves(bool templates_view, bool trash_view, int view_mode, bool searching);

// A move of the selected rows (indices, any order) by one row. A block that
// is not one contiguous run cannot move as shown: the list is refilled
// instead. A block at the edge it moves towards stays. Otherwise the row
// next to the block moves to its other end: from `from` to `to` (as
// MainWindow::move_row takes them).
struct MovePlan {
    enum class Step { Nothing, Refill, Move };
    Step step = Step::Nothing;
    int from = -1;
    int to = -1;
};
MovePlan plan_block_move(std::vector<int> selected_rows, int row_count, int direction);

// ---------------------------------------------------------------- context menus of the entry list

// What the row under the pointer and the view make of the menu.
enum class ListMenuKind {
    Entries,          // an entry view (all, pinned, slots, a category...)
    Trash,            // the trash view
    TemplatesBlank,   // the templates view, under no row
    Template,         // the templates view, over a template
    GroupHeader,      // the templates view, over a named group's header
    UngroupedHeader,  // the templates view, over the header of the templates without a group
};

struct ListMenuState {
    ListMenuKind kind = ListMenuKind::Entries;
    int selected_count = 0;
    bool slots_view = false;
    bool moves_shown = false;          // the search field is empty and the view is not the pinned entries
    bool has_text = false;             // one text entry with text is selected: it can be pasted transformed
    bool kept = false;                 // that entry is kept forever
    std::vector<std::wstring> groups;  // the stored template groups, in order
    std::wstring group;                // the template's group (Template), the header's group (GroupHeader)
};

PopupMenuItems build_list_menu(const ListMenuState& state);

// What a chosen row of that menu asks for.
enum class ListAction {
    None,
    Paste,
    Copy,
    Restore,
    Pin,
    ToCategory,
    AddSlot,
    MoveUp,
    MoveDown,
    Edit,
    Delete,         // with the question, to the trash
    DeleteForever,  // the trash's own: one row goes without a question
    EmptyTrash,
    NewTemplate,
    NewTemplateInGroup,
    NewGroup,
    RenameGroup,
    DeleteGroup,
    MoveTemplateToGroup,  // to `group` (empty: out of every group)
    MoveGroupTemplates,   // every template of the header's group to `group`
    PastePlain,
    PasteTransformed,  // with `mode`
    View,
    Keep,
};
struct ListCommand {
    ListAction action = ListAction::None;
    int mode = 0;
    std::wstring group;
};
ListCommand decode_list_menu_choice(const ListMenuState& state, std::uint64_t chosen);

// The transform mode 0..6 of a "paste as" row id, or -1 for any other id.
int transform_mode_of(std::uint64_t menu_id);
