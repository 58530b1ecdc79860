#include "ui/dialogs/dialog_window.h"

#include "config/settings.h"
#include "ui/app_parts.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/modal_loop.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"

bool dialogs_dark(HWND parent) {
    const AppParts* parts = app_parts_of(parent);
    return parts && parts->settings && parts->settings->dark_mode;
}

bool register_dialog_class(const wchar_t* class_name, WNDPROC procedure) {
    return register_window_class({.name = class_name, .procedure = procedure, .style = 0});
}

HWND add_dialog_control(HWND parent, const wchar_t* class_name, const std::wstring& text, DWORD style, int x, int y,
                        int width, int height, int id, HFONT font) {
    HWND control =
        CreateWindowExW(0, class_name, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND add_round_dialog_button(HWND parent, const std::wstring& text, int x, int y, int width, int height, int id,
                             HFONT font, bool dark, bool primary) {
    HWND button =
        add_dialog_control(parent, L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, x, y, width, height, id, font);
    attach_round_button(button, dark, primary);
    return button;
}

SIZE dialog_window_size(SIZE client, DWORD style) {
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void center_on_parent(HWND window, HWND parent) {
    RECT own, around;
    if (!parent || !GetWindowRect(window, &own) || !GetWindowRect(parent, &around)) return;
    const int x = around.left + ((around.right - around.left) - (own.right - own.left)) / 2;
    const int y = around.top + ((around.bottom - around.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void run_modal_dialog(HWND window, HWND parent, HWND focus) {
    ShowWindow(window, SW_SHOW);
    if (focus) SetFocus(focus);
    if (parent) EnableWindow(parent, FALSE);
    MSG msg;
    while (IsWindow(window) && get_modal_message(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (parent) EnableWindow(parent, TRUE);
    if (IsWindow(window)) {
        // Ended by a quit: the caller's state goes with this call.
        clear_state(window);
        DestroyWindow(window);
    }
    if (parent) SetForegroundWindow(parent);
}

void close_dialog(HWND window) {
    if (HWND owner = GetWindow(window, GW_OWNER)) EnableWindow(owner, TRUE);
    DestroyWindow(window);
}

LRESULT color_dialog_field(HDC dc, DialogLook& look) {
    const COLORREF field = ui_color(UiColor::FieldBackground, look.dark);
    SetTextColor(dc, ui_color(UiColor::Text, look.dark));
    SetBkColor(dc, field);
    return reinterpret_cast<LRESULT>(look.brushes.get(field));
}

LRESULT color_dialog_static(HDC dc, COLORREF text, DialogLook& look) {
    const COLORREF window = ui_color(UiColor::WindowBackground, look.dark);
    SetTextColor(dc, text);
    SetBkColor(dc, window);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(look.brushes.get(window));
}

LRESULT dialog_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DialogLook& look) {
    const auto dc = reinterpret_cast<HDC>(wparam);
    switch (message) {
    case WM_CLOSE: close_dialog(window); return 0;
    case WM_ERASEBKGND: return erase_with(window, dc, ui_color(UiColor::WindowBackground, look.dark));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return color_dialog_field(dc, look);
    case WM_CTLCOLORSTATIC: return color_dialog_static(dc, ui_color(UiColor::Text, look.dark), look);
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
