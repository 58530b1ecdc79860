#include "ui/kit/toggle_switch.h"

#include "services/ids.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"

namespace {

bool is_checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool is_dark(HWND button) { return GetWindowLongPtrW(button, GWLP_USERDATA) != 0; }

void paint(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    paint_toggle_switch(dc, rect, is_checked(window), is_dark(window), window);
}

// The standard button paints its own check box straight onto the screen
// when its state, text or focus changes; painting over it at once keeps the
// switch from flashing as a check box.
bool button_paints_itself(UINT message) {
    switch (message) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
    case WM_KEYDOWN:
    case WM_KEYUP: return true;
    default: return false;
    }
}

}  // namespace

HWND create_toggle_switch(HWND parent, int id, const std::wstring& text, int x, int y, int width, int height,
                          bool checked, bool dark) {
    HWND button =
        CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_CHECKBOX, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!button) return nullptr;
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    attach_toggle_switch(button, dark);
    return button;
}

void attach_toggle_switch(HWND button, bool dark) {
    if (!button) return;
    SetWindowLongPtrW(button, GWLP_USERDATA, dark ? 1 : 0);
    SetWindowSubclass(button, toggle_switch_proc, kToggleSwitchSubclassId, 0);
    repaint(button);
}

void toggle_switch_flip(HWND button) {
    const bool was_checked = is_checked(button);
    SendMessageW(button, BM_SETCHECK, was_checked ? BST_UNCHECKED : BST_CHECKED, 0);
    repaint(button);
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), 0), reinterpret_cast<LPARAM>(button));
}

void paint_toggle_switch(HDC dc, const RECT& rect, bool checked, bool dark, HWND button) {
    fill_solid(dc, rect, ui_color(UiColor::WindowBackground, dark));

    const int cy = rect.top + (rect.bottom - rect.top) / 2;
    const COLORREF track = ui_color(checked ? UiColor::ToggleTrackOn : UiColor::ToggleTrackOff, dark);
    {
        ScopedRegion region(CreateRoundRectRgn(rect.left, cy - 10, rect.left + 41, cy + 11, 10, 10));
        ScopedBrush brush(CreateSolidBrush(track));
        FillRgn(dc, region.get(), brush.get());
        // The outline in the track colour smooths the region's stepped edge.
        ScopedPen pen(CreatePen(PS_SOLID, 1, track));
        ScopedSelect use_pen(dc, pen.get());
        ScopedSelect no_brush(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, rect.left, cy - 10, rect.left + 40, cy + 10, 10, 10);
    }

    const bool pushed = button && (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    {
        ScopedBrush brush(CreateSolidBrush(ui_color(pushed ? UiColor::ToggleKnobPressed : UiColor::ToggleKnob, dark)));
        ScopedSelect use_brush(dc, brush.get());
        ScopedSelect no_pen(dc, GetStockObject(NULL_PEN));
        const int knob_left = rect.left + (checked ? 22 : 2);
        // With a null pen Ellipse leaves out the right and bottom edge: one
        // pixel more gives the full 16 x 16 knob.
        Ellipse(dc, knob_left, cy - 8, knob_left + 17, cy + 9);
    }

    draw_control_text(dc, button, RECT{rect.left + 48, rect.top, rect.right - 2, rect.bottom},
                      ui_color(UiColor::Text, dark), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK toggle_switch_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR subclass_id,
                                    DWORD_PTR ref_data) {
    switch (message) {
    // No capture: a press released elsewhere changes nothing. The second press
    // of a double click is a press too; left to the standard button it would
    // capture the mouse for good.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: repaint(window); return 0;
    case WM_LBUTTONUP: toggle_switch_flip(window); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: repaint(window); return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(window, toggle_switch_proc, subclass_id); break;
    default: {
        LRESULT result = 0;
        if (handle_paint_message(window, message, wparam, paint, result)) return result;
        return forward_and_repaint(window, message, wparam, lparam, button_paints_itself(message));
    }
    }
    return DefSubclassProc(window, message, wparam, lparam);
}
