#include "ui/dialogs/confirm_box.h"

#include "config/language.h"
#include "services/handles.h"
#include "services/ids.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/dialogs/dialog_window.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_state.h"

#include <algorithm>

namespace {

constexpr DWORD kConfirmStyle = WS_CAPTION | WS_SYSMENU;
constexpr wchar_t kWarningGlyph[] = L"\uE7BA";

// One open box, owned by the confirm_box call.
struct ConfirmBoxState {
    bool result = false;
    DialogLook look;
    ScopedFont message_font;
    ScopedFont glyph_font;
};

SIZE measure_message(const std::wstring& message) {
    ScopedGetDc screen(nullptr);
    ScopedFont font = make_ui_font(12, FW_NORMAL);
    RECT rect{0, 0, kConfirmWrapWidth, 0};
    if (screen) {
        ScopedSelect use_font(screen.get(), font.get());
        DrawTextW(screen.get(), message.c_str(), static_cast<int>(message.size()), &rect,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void add_children(HWND window, ConfirmBoxState& state, const std::wstring& message, const std::wstring& ok_text,
                  SIZE text) {
    const int w = confirm_box_client_size(text.cx, text.cy).cx - 84;
    const int th = text.cy;
    state.glyph_font = make_icon_font(26);
    state.message_font = make_ui_font(12, FW_NORMAL);
    add_dialog_control(window, L"STATIC", kWarningGlyph, SS_CENTER, 20, 20, 44, 44, kIdConfirmGlyph,
                       state.glyph_font.get());
    // A message taller than the glyph starts level with it rather than above the client area.
    const int text_top = std::max((40 - th) / 2 + 20, 20);
    add_dialog_control(window, L"STATIC", message, SS_LEFT | SS_NOPREFIX, 80, text_top, w, th + 4, 0,
                       state.message_font.get());
    add_round_dialog_button(window, ok_text, w - 54, th + 100, 118, 32, IDOK, nullptr, state.look.dark, false);
    add_round_dialog_button(window, tr(L"action.cancel"), w - 180, th + 100, 118, 32, IDCANCEL, nullptr,
                            state.look.dark, false);
}

LRESULT on_command(HWND window, ConfirmBoxState& state, int id) {
    if (id != IDOK && id != IDCANCEL) return 0;
    if (id == IDOK) state.result = true;
    close_dialog(window);
    return 0;
}

LRESULT on_color_static(ConfirmBoxState& state, HDC dc, HWND control) {
    const bool glyph = GetDlgCtrlID(control) == kIdConfirmGlyph;
    return color_dialog_static(dc, ui_color(glyph ? UiColor::Highlight : UiColor::Text, state.look.dark), state.look);
}

}  // namespace

LRESULT CALLBACK ConfirmBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = window_state<ConfirmBoxState>(window, message, lparam);
    if (!state) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_COMMAND: return on_command(window, *state, LOWORD(wparam));
    case WM_CTLCOLORSTATIC:
        return on_color_static(*state, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    default: return dialog_message(window, message, wparam, lparam, state->look);
    }
}

bool confirm_box(HWND parent, const std::wstring& title, const std::wstring& message, const std::wstring& ok_text) {
    const SIZE text = measure_message(message);
    if (!register_dialog_class(kConfirmBoxClass, ConfirmBoxProc)) return false;
    const SIZE frame = dialog_window_size(confirm_box_client_size(text.cx, text.cy), kConfirmStyle);

    ConfirmBoxState state;
    state.look.dark = dialogs_dark(parent);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kConfirmBoxClass, title.c_str(), kConfirmStyle, 0, 0, frame.cx,
                                  frame.cy, parent, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window) return false;
    set_dark_title_bar(window, state.look.dark);
    add_children(window, state, message, ok_text, text);
    center_on_parent(window, parent);
    run_modal_dialog(window, parent, GetDlgItem(window, IDCANCEL));
    return state.result;
}
