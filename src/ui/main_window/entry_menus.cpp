// MainWindow: the entry list's context menus — the row under the pointer, the menu its view and selection call for, and
// the command chosen.
#include "ui/main_window/main_window.h"

#include "services/ids.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/kit/list_box.h"
#include "ui/main_window/entry_command_logic.h"
#include "ui/main_window/entry_format.h"
#include "ui/menu/popup_menu.h"

namespace {

void run_list_command(MainWindow& mw, const ListCommand& command, const ListMenuState& state, std::int64_t row_data) {
    switch (command.action) {
    case ListAction::None: break;
    case ListAction::Paste: mw.on_paste_selected(); break;
    case ListAction::Copy: mw.on_copy_selected(); break;
    case ListAction::Restore: mw.restore_selected(); break;
    case ListAction::Pin: mw.toggle_pin_selected(); break;
    case ListAction::ToCategory: mw.move_selected_to_category(); break;
    case ListAction::AddSlot: mw.add_selected_to_slots(); break;
    case ListAction::MoveUp: mw.move_selection(-1); break;
    case ListAction::MoveDown: mw.move_selection(+1); break;
    case ListAction::Edit: mw.edit_selected(); break;
    case ListAction::Delete: mw.delete_selected(); break;
    case ListAction::DeleteForever: mw.delete_selected_forever(); break;
    case ListAction::EmptyTrash: mw.empty_trash(); break;
    case ListAction::NewTemplate: mw.new_template(); break;
    case ListAction::NewTemplateInGroup: mw.new_template_in_group(command.group); break;
    case ListAction::NewGroup: mw.new_template_group(); break;
    case ListAction::RenameGroup: mw.rename_template_group(command.group); break;
    case ListAction::DeleteGroup: mw.delete_template_group(command.group); break;
    case ListAction::MoveTemplateToGroup: mw.move_template_to_group(row_data, command.group); break;
    case ListAction::MoveGroupTemplates: mw.move_group_templates(state.group, command.group); break;
    case ListAction::PastePlain: mw.on_paste_plain(); break;
    case ListAction::PasteTransformed: mw.on_paste_transformed(command.mode); break;
    case ListAction::View: mw.on_open_selected(); break;
    case ListAction::Keep: mw.toggle_keep_selected(); break;
    }
}

}  // namespace

int MainWindow::select_at(HWND list, POINT screen_point) {
    if (!list) return -1;
    POINT client = screen_point;
    ScreenToClient(list, &client);
    const int row = list_box_row_at(list, client);
    if (row < 0) return -1;
    if (list != entry_list) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        return row;
    }
    if (list_call(LB_GETSEL, static_cast<WPARAM>(row), 0) <= 0) {
        list_call(LB_SETSEL, FALSE, -1);
        list_call(LB_SETSEL, TRUE, row);
        list_call(LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
        on_selection_changed();
    }
    return row;
}

void MainWindow::on_list_context_menu(POINT screen_point) {
    if (!entry_list) return;
    POINT at = screen_point;
    int row = -1;
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: the menu opens under the caret's row, which stays as selected as it is.
        const LRESULT caret = list_call(LB_GETCARETINDEX, 0, 0);
        RECT r{};
        if (caret != LB_ERR && caret < row_count() &&
            list_call(LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
            row = static_cast<int>(caret);
        } else {
            GetClientRect(entry_list, &r);
            r.bottom = r.top;
        }
        at = {r.left + 16, r.bottom};
        ClientToScreen(entry_list, &at);
    } else {
        row = select_at(entry_list, at);
    }

    ListMenuState state;
    state.selected_count = selected_count();
    const std::int64_t data = row >= 0 ? row_data(row) : 0;
    if (templates_view) {
        if (row < 0) {
            state.kind = ListMenuKind::TemplatesBlank;
        } else if (data == kListUngroupedHeader) {
            state.kind = ListMenuKind::UngroupedHeader;
        } else if (row_kind(data) == RowKind::GroupHeader) {
            state.kind = ListMenuKind::GroupHeader;
            // The header names its group: the view's may have moved on since the list was filled.
            state.group = strip_group_prefix(row_text(row));
        } else {
            state.kind = ListMenuKind::Template;
            const Snippet* snippet = find_snippet(data);
            if (!snippet) return;
            state.group = snippet->grp;
        }
        if (app && app->db) state.groups = app->db->list_snippet_groups();
    } else if (trash_view()) {
        state.kind = ListMenuKind::Trash;
    } else {
        const bool searching = search_edit && GetWindowTextLengthW(search_edit) > 0;
        state.kind = ListMenuKind::Entries;
        state.slots_view = view_mode == kViewSlots;
        state.moves_shown = view_allows_moves(templates_view, trash_view(), view_mode, searching);
        state.has_text = selected_has_text();
        state.kept = selected_is_kept();
    }
    const std::uint64_t chosen = track_popup_menu(hwnd, at.x, at.y, build_list_menu(state), dark);
    run_list_command(*this, decode_list_menu_choice(state, chosen), state, data);
}
