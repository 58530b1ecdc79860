#pragma once
// What the program's modal boxes (confirm, input, view) share: their theme,
// their window classes, child controls, centring and the modal run that
// keeps the call waiting until the box has closed.

#include "ui/kit/brush_cache.h"

#include <windows.h>

#include <string>

// Settings.dark_mode of the program whose main window is parent, the owner
// of every box; light over any other window.
bool dialogs_dark(HWND parent);

// Registers a box's class on first use: arrow cursor, no background brush
// (each box paints its own), no icon. False when it cannot be registered.
bool register_dialog_class(const wchar_t* class_name, WNDPROC procedure);

// A visible child control with a font (null: the stock GUI font).
HWND add_dialog_control(HWND parent, const wchar_t* class_name, const std::wstring& text, DWORD style, int x, int y,
                        int width, int height, int id, HFONT font);

// A push button of the kit's rounded look, primary or not.
HWND add_round_dialog_button(HWND parent, const std::wstring& text, int x, int y, int width, int height, int id,
                             HFONT font, bool dark, bool primary);

// The outer size of a box (extended style WS_EX_DLGMODALFRAME) whose client
// area is client: the caption and borders grow with the display's scale, the
// client area stays as laid out.
SIZE dialog_window_size(SIZE client, DWORD style);

// Centres the window on the parent's window rectangle (nothing without one).
void center_on_parent(HWND window, HWND parent);

// Shows the box, gives the keyboard focus to focus (a control of the box),
// disables the parent and dispatches the thread's messages until the box
// is gone. A quit ends the run early and is posted again for
// the program's loop; the box is then detached from the caller's state and
// destroyed. The parent is enabled again and brought to the front.
void run_modal_dialog(HWND window, HWND parent, HWND focus);

// Closes a box from its own buttons: the owner is enabled first, so that
// the system hands the activation back to it and not to another program.
void close_dialog(HWND window);

// What a box paints with: its theme, and the brushes its WM_CTLCOLOR
// answers hand out, which live as long as the box's state.
struct DialogLook {
    bool dark = false;
    BrushCache brushes;
};

// WM_CTLCOLOR answers: text on the field colour (edits, lists, buttons), or
// transparent text of the given colour on the window colour (statics).
LRESULT color_dialog_field(HDC dc, DialogLook& look);
LRESULT color_dialog_static(HDC dc, COLORREF text, DialogLook& look);

// The messages every box answers alike: the caption's close button closes
// it, the background and the controls take the palette's colours (statics
// in the text colour); the rest goes to DefWindowProcW.
LRESULT dialog_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DialogLook& look);
