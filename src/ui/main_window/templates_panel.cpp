// MainWindow: templates and their groups — new templates through the editor, and new, renamed, deleted and
// emptied groups; the sidebar's and the list's menus call these.
#include "ui/main_window/main_window.h"

#include "config/language.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/dialogs/confirm_box.h"
#include "ui/dialogs/input_box.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/snippet_editor.h"
#include "ui/main_window/template_fields.h"

namespace {

void tell(HWND owner, const wchar_t* key, UINT icon) {
    MessageBoxW(owner, tr(key).c_str(), tr(L"side.templates").c_str(), MB_OK | icon);
}

}  // namespace

void MainWindow::new_template() { new_template_in_group(L""); }

void MainWindow::new_template_in_group(const std::wstring& group) {
    HistoryDb* db = app ? app->db : nullptr;
    if (!db) return;
    std::wstring title, chosen_group = group, text;
    // The editor checks what the store refuses; should the store still
    // refuse, the editor opens again with what was typed.
    while (show_snippet_editor(hwnd, this, title, chosen_group, text)) {
        const std::int64_t id = db->add_snippet(title, text, chosen_group);
        if (id > 0) break;
        if (id < 0) {
            tell(hwnd, tr_key(L"message.need_title_text"), MB_ICONINFORMATION);
        } else {
            tell(hwnd, tr_key(L"message.dup_template"), MB_ICONWARNING);
        }
    }
    if (templates_view) {
        refresh_all();
    } else {
        fill_sidebar();  // a group typed in the editor appears there
    }
}

void MainWindow::new_template_group() {
    HistoryDb* db = app ? app->db : nullptr;
    std::wstring typed;
    if (!db || !input_box(hwnd, tr(L"input.new_group"), tr(L"prompt.group_name"), typed)) return;
    const std::wstring name = group_name_from_input(typed);
    if (name.empty()) {
        tell(hwnd, tr_key(L"message.enter_name"), MB_ICONINFORMATION);
        return;
    }
    if (!db->create_snippet_group(name)) tell(hwnd, tr_key(L"message.dup_group"), MB_ICONWARNING);
    refresh_all();
}

void MainWindow::rename_template_group(const std::wstring& group) {
    HistoryDb* db = app ? app->db : nullptr;
    std::wstring typed = group;
    if (!db || !input_box(hwnd, tr(L"input.rename_group"), tr(L"prompt.new_name"), typed)) return;
    const std::wstring name = group_name_from_input(typed);
    if (name.empty() || name == group) return;
    if (!db->rename_snippet_group(group, name)) {
        tell(hwnd, tr_key(L"message.dup_group2"), MB_ICONWARNING);
    } else if (templates_view && template_group == group) {
        template_group = name;  // the view follows its group
    }
    refresh_all();
}

void MainWindow::delete_template_group(const std::wstring& group) {
    HistoryDb* db = app ? app->db : nullptr;
    if (!db || !confirm_box(hwnd, tr(L"side.templates"), tr(L"confirm.delete_group"), tr(L"action.delete"))) return;
    db->delete_snippet_group(group);
    if (templates_view && template_group == group) template_group.clear();  // its templates are shown with all
    refresh_all();
}

// Every live template of the group moves, whether or not the list shows it
// (a search may hide some): the store is asked, not the list.
void MainWindow::move_group_templates(const std::wstring& from, const std::wstring& to) {
    HistoryDb* db = app ? app->db : nullptr;
    if (!db || from == to) return;
    for (const Snippet& s : db->list_snippets())
        if (s.grp == from) db->set_snippet_group(s.id, to);
    refresh_all();
}

void MainWindow::move_template_to_group(std::int64_t row_data, const std::wstring& group) {
    HistoryDb* db = app ? app->db : nullptr;
    if (!db || row_kind(row_data) != RowKind::Template) return;
    db->set_snippet_group(-row_data, group);
    refresh_all();
}
