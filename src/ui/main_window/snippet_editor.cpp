// The template editor "KorvaneSnippetEditor": title, group, text and the variable buttons, run modally over
// the main window. It checks what the store would refuse before it closes, so what was typed is never lost.
#include "ui/main_window/snippet_editor.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/ids.h"
#include "services/text_util.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/dialogs/dialog_window.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/template_fields.h"

#include <vector>

namespace {

constexpr DWORD kEditorStyle = WS_CAPTION | WS_SYSMENU;
constexpr int kEditorWidth = 520;
constexpr int kEditorHeight = 450;

// The buttons that insert a variable at the caret, left to right.
struct VariableButton {
    int id;
    const wchar_t* key;
    const wchar_t* variable;
    int x, width;
};
const VariableButton kVariableButtons[] = {
    {kIdEditorVarDate, tr_key(L"editor.var_date"), L"{date}", 14, 70},
    {kIdEditorVarTime, tr_key(L"editor.var_time"), L"{time}", 90, 76},
    {kIdEditorVarDateTime, tr_key(L"editor.var_datetime"), L"{datetime}", 172, 100},
    {kIdEditorVarYear, tr_key(L"editor.var_year"), L"{year}", 278, 60},
    {kIdEditorVarUser, tr_key(L"editor.var_user"), L"{user}", 344, 110},
};

// One open editor, owned by the show_snippet_editor call.
struct EditorState {
    MainWindow* main_window = nullptr;
    std::wstring title, group, text;  // shown at start, replaced on OK
    std::wstring original_title;      // keeping it is no duplicate
    // The group box's first row as shown: the language may change while the
    // editor is open, and that row still means no group.
    std::wstring ungrouped_label;
    std::vector<std::wstring> taken_titles;
    bool result = false;
    DialogLook look;  // its brushes are the window's background and field brushes
};

HistoryDb* database_of(const MainWindow* mw) { return mw && mw->app ? mw->app->db : nullptr; }

bool editor_dark(const MainWindow* mw) { return mw && mw->app && mw->app->settings && mw->app->settings->dark_mode; }

HWND add_field(HWND window, const wchar_t* cls, DWORD style, int x, int y, int width, int height, int id, HFONT font,
               bool dark) {
    HWND field = add_dialog_control(window, cls, L"", style, x, y, width, height, id, font);
    attach_panel_background(field, dark);
    return field;
}

void fill_group_box(HWND combo, EditorState& st) {
    st.ungrouped_label = tr(L"editor.ungrouped_group");
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(st.ungrouped_label.c_str()));
    HistoryDb* db = database_of(st.main_window);
    const std::vector<std::wstring> groups = db ? db->list_snippet_groups() : std::vector<std::wstring>{};
    int selected = st.group.empty() ? 0 : -1;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(groups[i].c_str()));
        if (groups[i] == st.group) selected = static_cast<int>(i) + 1;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    // A group that is no longer stored is shown as typed, with no row chosen.
    if (selected < 0) SetWindowTextW(combo, st.group.c_str());
}

void add_controls(HWND window, EditorState& st) {
    const bool dark = st.look.dark;
    HFONT font = st.main_window && st.main_window->ui_font ? st.main_window->ui_font.get() : nullptr;
    add_dialog_control(window, L"STATIC", tr(L"prompt.name"), SS_LEFT | SS_NOPREFIX, 14, 10, 100, 18, 0, font);
    HWND title = add_field(window, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 120, 10, 380, 24, kIdEditorTitle, font, dark);
    SendMessageW(title, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(title, st.title.c_str());
    attach_thin_border(title, dark);

    add_dialog_control(window, L"STATIC", tr(L"editor.group_label"), SS_LEFT | SS_NOPREFIX, 14, 40, 100, 18, 0, font);
    HWND group = add_dialog_control(window, L"COMBOBOX", L"",
                                    WS_VSCROLL | WS_TABSTOP | WS_CLIPCHILDREN | CBS_DROPDOWN | CBS_AUTOHSCROLL, 120, 40,
                                    380, 200, kIdEditorGroup, font);
    fill_group_box(group, st);
    // The kit's frame and arrow around the typing field, which paints itself (clipped out) in the field colours.
    attach_combo_style(group, dark);

    add_dialog_control(window, L"STATIC", tr(L"editor.template_label"), SS_LEFT | SS_NOPREFIX, 14, 70, 100, 18, 0,
                       font);
    HWND text = add_field(window, L"EDIT", WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 120,
                          70, 380, 200, kIdEditorText, font, dark);
    // The field takes a text of any length: nothing typed or pasted is cut.
    SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(text, with_crlf(st.text).c_str());
    attach_thin_border(text, dark);
    allow_dark_mode(text, dark);

    add_dialog_control(window, L"STATIC", tr(L"editor.insert_var"), SS_LEFT | SS_NOPREFIX, 14, 280, 300, 18, 0, font);
    for (const VariableButton& b : kVariableButtons)
        add_round_dialog_button(window, tr(b.key), b.x, 302, b.width, 26, b.id, font, dark, false);
    add_dialog_control(window, L"STATIC", tr(L"editor.vars_hint"), SS_LEFT | SS_NOPREFIX, 14, 336, 486, 18, 0, font);
    add_round_dialog_button(window, tr(L"action.cancel"), 292, 362, 100, 28, kIdEditorCancel, font, dark, false);
    add_round_dialog_button(window, L"OK", 400, 362, 100, 28, kIdEditorOk, font, dark, true);
}

void insert_variable(HWND window, const wchar_t* variable) {
    HWND text = GetDlgItem(window, kIdEditorText);
    SendMessageW(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(variable));
    SetFocus(text);
}

void refuse(HWND window, const wchar_t* key, UINT icon, int field_id) {
    MessageBoxW(window, tr(key).c_str(), tr(L"side.templates").c_str(), MB_OK | icon);
    HWND field = GetDlgItem(window, field_id);
    SetFocus(field);
    if (field_id == kIdEditorTitle) SendMessageW(field, EM_SETSEL, 0, -1);
}

void on_ok(HWND window, EditorState& st) {
    const std::wstring title = window_text(GetDlgItem(window, kIdEditorTitle));
    const std::wstring text = window_text(GetDlgItem(window, kIdEditorText));
    switch (check_template_fields(title, text, st.original_title, st.taken_titles)) {
    case TemplateProblem::NeedTitleAndText:
        refuse(window, tr_key(L"message.need_title_text"), MB_ICONINFORMATION,
               trim_blanks(title).empty() ? kIdEditorTitle : kIdEditorText);
        return;
    case TemplateProblem::DuplicateTitle:
        refuse(window, tr_key(L"message.dup_template"), MB_ICONWARNING, kIdEditorTitle);
        return;
    case TemplateProblem::None: break;
    }
    st.title = title;
    st.group = ungrouped_label_to_name(window_text(GetDlgItem(window, kIdEditorGroup)), st.ungrouped_label);
    st.text = with_breaks_of(text, st.text);
    st.result = true;
    close_dialog(window);
}

LRESULT on_command(HWND window, EditorState& st, int id, int code) {
    if (code != BN_CLICKED) return 0;
    for (const VariableButton& b : kVariableButtons) {
        if (b.id != id) continue;
        insert_variable(window, b.variable);
        return 0;
    }
    if (id == kIdEditorOk) on_ok(window, st);
    if (id == kIdEditorCancel) close_dialog(window);
    return 0;
}

std::vector<std::wstring> stored_titles(HistoryDb* db) {
    std::vector<std::wstring> titles;
    if (!db) return titles;
    for (const Snippet& s : db->list_snippets()) titles.push_back(s.title);
    for (const Snippet& s : db->list_trashed_snippets()) titles.push_back(s.title);
    return titles;
}

LRESULT CALLBACK SnippetEditorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* st = window_state<EditorState>(window, message, lparam);
    if (!st) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_COMMAND) return on_command(window, *st, LOWORD(wparam), HIWORD(wparam));
    return dialog_message(window, message, wparam, lparam, st->look);
}

}  // namespace

bool show_snippet_editor(HWND owner, MainWindow* main_window, std::wstring& title, std::wstring& group,
                         std::wstring& text) {
    if (!register_dialog_class(kSnippetEditorClass, SnippetEditorProc)) return false;
    EditorState st;
    st.main_window = main_window;
    st.title = title;
    st.group = group;
    st.text = text;
    st.original_title = title;
    st.taken_titles = stored_titles(database_of(main_window));
    st.look.dark = editor_dark(main_window);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kSnippetEditorClass, tr(L"editor.title").c_str(), kEditorStyle,
                                  0, 0, kEditorWidth, kEditorHeight, owner, nullptr, GetModuleHandleW(nullptr), &st);
    if (!window) return false;
    set_dark_title_bar(window, st.look.dark);
    add_controls(window, st);
    center_on_parent(window, owner);
    run_modal_dialog(window, owner, GetDlgItem(window, kIdEditorTitle));
    if (!st.result) return false;
    title = std::move(st.title);
    group = std::move(st.group);
    text = std::move(st.text);
    return true;
}
