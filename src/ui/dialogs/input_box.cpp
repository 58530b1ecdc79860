#include "ui/dialogs/input_box.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "ui/app_parts.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/dialogs/dialog_window.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"

#include <algorithm>

namespace {

constexpr DWORD kInputStyle = WS_CAPTION | WS_SYSMENU;

// One open box, owned by the input_box call.
struct InputBoxState {
    std::wstring* text = nullptr;  // the caller's text: read at creation, replaced on OK
    bool result = false;
    DialogLook look;
    ScopedFont field_font;
};

// The box opens over the main window, whose list font and top row it follows.
int field_font_size(HWND parent) {
    const AppParts* parts = app_parts_of(parent);
    if (!parts || !parts->settings) return 14;
    return std::clamp(parts->settings->font_size, 10, 18);
}

int main_row_width(HWND parent) {
    const AppParts* parts = app_parts_of(parent);
    if (!parts || !parts->main_window) return -1;
    return parts->main_window->top_row_min_width();
}

// The prompt's font grows with the display's scale; its line is measured.
int prompt_line_height() {
    TEXTMETRICW metrics{};
    ScopedGetDc screen(nullptr);
    if (!screen) return 0;
    ScopedSelect use_font(screen.get(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(screen.get(), &metrics);
    return metrics.tmHeight;
}

HWND add_child(HWND window, const wchar_t* cls, const std::wstring& text, DWORD style, const RECT& r, int id,
               HFONT font) {
    return add_dialog_control(window, cls, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, id, font);
}

void add_children(HWND window, HWND parent, InputBoxState& state, const std::wstring& prompt,
                  const InputBoxLayout& box) {
    add_child(window, L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, box.prompt, 0, nullptr);
    state.field_font = make_ui_font(field_font_size(parent), FW_NORMAL);
    HWND field =
        add_child(window, L"EDIT", *state.text, ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
                  box.field, kIdInputField, state.field_font.get());
    // The field takes as much as the user types or pastes: the whole of it comes back.
    SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(field, EM_SETIMESTATUS, EMSIS_COMPOSITIONSTRING, 0);
    attach_panel_background(field, state.look.dark);
    attach_thin_border(field, state.look.dark);
    allow_dark_mode(field, state.look.dark);
    const RECT& ok = box.ok;
    const RECT& cancel = box.cancel;
    add_round_dialog_button(window, L"OK", ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top, IDOK, nullptr,
                            state.look.dark, true);
    add_round_dialog_button(window, tr(L"action.cancel"), cancel.left, cancel.top, cancel.right - cancel.left,
                            cancel.bottom - cancel.top, IDCANCEL, nullptr, state.look.dark, false);
}

LRESULT on_command(HWND window, InputBoxState& state, int id) {
    if (id != IDOK && id != IDCANCEL) return 0;
    HWND field = GetDlgItem(window, kIdInputField);
    if (id == IDOK && field && state.text) {
        *state.text = window_text(field);
        state.result = true;
    }
    close_dialog(window);
    return 0;
}

}  // namespace

LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = window_state<InputBoxState>(window, message, lparam);
    if (!state) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_COMMAND) return on_command(window, *state, LOWORD(wparam));
    return dialog_message(window, message, wparam, lparam, state->look);
}

bool input_box(HWND parent, const std::wstring& title, const std::wstring& prompt, std::wstring& text) {
    const InputBoxLayout box = input_box_layout(input_box_width(main_row_width(parent)), prompt_line_height());
    if (!register_dialog_class(kInputBoxClass, InputBoxProc)) return false;
    // The box edits a copy: the caller's text changes only when OK is pressed.
    std::wstring edited = text;
    InputBoxState state;
    state.text = &edited;
    state.look.dark = dialogs_dark(parent);
    const SIZE frame = dialog_window_size(box.client, kInputStyle);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kInputBoxClass, title.c_str(), kInputStyle, 0, 0, frame.cx,
                                  frame.cy, parent, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window) return false;
    set_dark_title_bar(window, state.look.dark);
    add_children(window, parent, state, prompt, box);
    center_on_parent(window, parent);
    run_modal_dialog(window, parent, GetDlgItem(window, kIdInputField));
    if (state.result) text = std::move(edited);
    return state.result;
}
