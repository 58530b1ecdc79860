#include "ui/kit/rounded_button.h"

#include "services/ids.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"

namespace {

LONG_PTR flags(HWND button) { return GetWindowLongPtrW(button, GWLP_USERDATA); }

void set_flag(HWND button, LONG_PTR flag, bool on) {
    const LONG_PTR old = flags(button);
    SetWindowLongPtrW(button, GWLP_USERDATA, on ? (old | flag) : (old & ~flag));
}

bool has_flag(HWND button, LONG_PTR flag) { return (flags(button) & flag) != 0; }

void notify_parent(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void paint(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    const LONG_PTR f = flags(window);
    paint_round_button(dc, rect, (f & kRoundButtonDark) != 0, (f & kRoundButtonPrimary) != 0,
                       (f & kRoundButtonHover) != 0, (f & kRoundButtonPressed) != 0, window);
}

void on_lbutton_down(HWND window) {
    SetFocus(window);
    set_flag(window, kRoundButtonPressed, true);
    SetCapture(window);
    repaint(window);
}

void track_leave(HWND window) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
    TrackMouseEvent(&track);
}

void on_lbutton_up(HWND window, LPARAM lparam) {
    const bool was_pressed = has_flag(window, kRoundButtonPressed);
    // Clear the flag before releasing: the release sends WM_CAPTURECHANGED,
    // which must not find the button still pressed.
    set_flag(window, kRoundButtonPressed, false);
    if (GetCapture() == window) ReleaseCapture();
    RECT client;
    GetClientRect(window, &client);
    const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    const bool inside = PtInRect(&client, at) != FALSE;
    // While the mouse was captured its leaving may have gone unreported:
    // settle the hover by where the release happened.
    set_flag(window, kRoundButtonHover, inside);
    if (inside) track_leave(window);
    repaint(window);
    if (was_pressed && inside) notify_parent(window);
}

// The capture was taken away or the mouse left: the pressed or hover look goes.
void drop_flag(HWND window, LONG_PTR flag) {
    if (!has_flag(window, flag)) return;
    set_flag(window, flag, false);
    repaint(window);
}

void on_mouse_move(HWND window) {
    if (has_flag(window, kRoundButtonHover)) return;
    set_flag(window, kRoundButtonHover, true);
    track_leave(window);
    repaint(window);
}

void on_key_down(HWND window, WPARAM key) {
    if (key != VK_SPACE || has_flag(window, kRoundButtonPressed)) return;
    set_flag(window, kRoundButtonPressed, true);
    repaint(window);
}

void on_key_up(HWND window, WPARAM key) {
    if (key != VK_SPACE) return;
    set_flag(window, kRoundButtonPressed, false);
    repaint(window);
    notify_parent(window);
}

// Messages after which the standard button paints its own face straight onto
// the screen; painting over it at once keeps the rounded look.
bool button_paints_itself(UINT message) {
    switch (message) {
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: return true;
    default: return false;
    }
}

}  // namespace

RoundButtonColors round_button_colors(bool dark, bool primary) {
    if (primary)
        return dark ? RoundButtonColors{0xE07A1A, 0xE07A1A, 0xEE8A2E, 0xBE630F}
                    : RoundButtonColors{0xCC6600, 0xCC6600, 0xE07A0A, 0xAA5500};
    return dark ? RoundButtonColors{0x555555, 0x2E2E2E, 0x383838, 0x1C1C1C}
                : RoundButtonColors{0xC7C7C7, 0xFAFAFA, 0xECECEC, 0xCECECE};
}

COLORREF round_button_fill(bool dark, bool primary, bool hover, bool pressed) {
    const RoundButtonColors colors = round_button_colors(dark, primary);
    return pressed ? colors.pressed : hover ? colors.hover : colors.normal;
}

void attach_round_button(HWND button, bool dark, bool primary) {
    if (!button) return;
    SetWindowLongPtrW(button, GWLP_USERDATA, (primary ? kRoundButtonPrimary : 0) | (dark ? kRoundButtonDark : 0));
    SetWindowSubclass(button, round_button_proc, kRoundButtonSubclassId, 0);
    repaint(button);
}

void paint_round_button(HDC dc, const RECT& rect, bool dark, bool primary, bool hover, bool pressed, HWND button) {
    const COLORREF fill = round_button_fill(dark, primary, hover, pressed);
    {
        ScopedPen pen(CreatePen(PS_SOLID, 1, round_button_colors(dark, primary).border));
        ScopedBrush brush(CreateSolidBrush(fill));
        ScopedSelect use_pen(dc, pen.get());
        ScopedSelect use_brush(dc, brush.get());
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 4, 4);
    }
    if (primary && !pressed) {
        // A thin highlight along the top edge lifts the accent button.
        ScopedPen white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        ScopedSelect use_pen(dc, white.get());
        Arc(dc, rect.left, rect.top, rect.right - 1, rect.bottom - 1, rect.right - 1, rect.top, rect.left, rect.top);
    }
    draw_control_text(dc, button, RECT{rect.left + 10, rect.top, rect.right - 10, rect.bottom},
                      text_color_for_fill(fill), DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK round_button_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                   DWORD_PTR ref_data) {
    switch (message) {
    // The second press of a double click is a press too; left to the standard
    // button it would be lost and leave it half pressed.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: on_lbutton_down(window); return 0;
    case WM_LBUTTONUP: on_lbutton_up(window, lparam); return 0;
    case WM_CAPTURECHANGED: drop_flag(window, kRoundButtonPressed); return 0;
    case WM_MOUSEMOVE: on_mouse_move(window); return 0;
    case WM_MOUSELEAVE: drop_flag(window, kRoundButtonHover); return 0;
    case WM_KEYDOWN: on_key_down(window, wparam); return 0;
    case WM_KEYUP: on_key_up(window, wparam); return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(window, round_button_proc, subclass_id); break;
    default: {
        LRESULT result = 0;
        if (handle_paint_message(window, message, wparam, paint, result)) return result;
        return forward_and_repaint(window, message, wparam, lparam, button_paints_itself(message));
    }
    }
    return DefSubclassProc(window, message, wparam, lparam);
}
