#pragma once
// The rounded push button: a standard BUTTON, subclassed, painted as a
// rounded rectangle in a primary (accent) or secondary look with hover and
// pressed states. It sends WM_COMMAND (BN_CLICKED) to its parent when a
// mouse press is released over it, or when Space is released.

#include <windows.h>
#include <commctrl.h>

// Bits of the button's user data (GWLP_USERDATA). The caller sets dark and
// primary; the button itself sets and clears pressed and hover.
inline constexpr LONG_PTR kRoundButtonDark = 1;
inline constexpr LONG_PTR kRoundButtonPrimary = 2;
inline constexpr LONG_PTR kRoundButtonPressed = 4;
inline constexpr LONG_PTR kRoundButtonHover = 8;

struct RoundButtonColors {
    COLORREF border;
    COLORREF normal;
    COLORREF hover;
    COLORREF pressed;
};
RoundButtonColors round_button_colors(bool dark, bool primary);
// The fill for a state: pressed wins over hover.
COLORREF round_button_fill(bool dark, bool primary, bool hover, bool pressed);

// Subclasses a button (or re-themes one): user data = primary * 2 + dark.
void attach_round_button(HWND button, bool dark, bool primary);

void paint_round_button(HDC dc, const RECT& rect, bool dark, bool primary, bool hover, bool pressed, HWND button);

LRESULT CALLBACK round_button_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                   DWORD_PTR ref_data);
