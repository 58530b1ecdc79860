// MainWindow, the frame's painting and input: the menu-bar and tool buttons
// with their hover plates, the lists' background, wheel and keys, the
// window's background, the owner-drawn items and the colours of the children.

#include "ui/main_window/main_window.h"

#include "services/handles.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/list_box.h"
#include "ui/kit/theme.h"
#include "ui/main_window/frame_controls.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

// Sidebar rows are all of one height.
constexpr UINT kSidebarRowHeight = 28;

COLORREF glyph_colour(int id, bool dark) {
    for (const ToolButtonInfo& tool : kToolButtons)
        if (tool.id == id && !tool.text_coloured) return dark ? tool.dark : tool.light;
    return ui_color(UiColor::Text, dark);
}

void track_hover(MainWindow& mw, HWND button) {
    if (mw.hovered_button == button) return;
    HWND previous = mw.hovered_button;
    mw.hovered_button = button;
    if (previous) repaint(previous);
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, button, 0};
    TrackMouseEvent(&tme);
    repaint(button);
}

bool end_hover(MainWindow& mw, HWND button) {
    if (mw.hovered_button != button) return false;
    mw.hovered_button = nullptr;
    repaint(button);
    return true;
}

// The window's background under a frame button, with a rounded plate while
// the mouse is over it; the button's client rectangle.
RECT paint_button_plate(const MainWindow& mw, HWND button, HDC dc, int corner, UiColor hover) {
    RECT rect;
    GetClientRect(button, &rect);
    fill_solid(dc, rect, ui_color(UiColor::WindowBackground, mw.dark));
    if (mw.hovered_button == button) {
        RECT inner = rect;
        InflateRect(&inner, -1, -1);
        fill_round(dc, inner, corner, ui_color(hover, mw.dark));
    }
    return rect;
}

void paint_text_button(const MainWindow& mw, HWND button, HDC dc) {
    RECT rect = paint_button_plate(mw, button, dc, 6, UiColor::MenuBarHover);
    const std::wstring text = window_text(button).substr(0, kMenuTextLimit);
    ScopedSelect keep_font(dc, control_font(button));
    SetTextColor(dc, ui_color(UiColor::Text, mw.dark));
    SetBkMode(dc, TRANSPARENT);
    rect.left += 8;
    DrawTextW(dc, text.c_str(), -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void paint_icon_button(const MainWindow& mw, HWND button, HDC dc) {
    RECT rect = paint_button_plate(mw, button, dc, 8, UiColor::ToolButtonHover);
    const std::wstring glyph = window_text(button).substr(0, 8);
    ScopedSelect keep_font(dc, control_font(button));
    SetTextColor(dc, glyph_colour(GetDlgCtrlID(button), mw.dark));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, glyph.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

MainWindow* owner_of(DWORD_PTR ref) { return reinterpret_cast<MainWindow*>(ref); }

using ButtonPaint = void (*)(const MainWindow&, HWND, HDC);

// The paint messages both kinds of frame buttons answer alike. True when the
// message was one of them.
bool paint_button_message(const MainWindow& mw, HWND window, UINT message, WPARAM wparam, ButtonPaint paint) {
    if (message == WM_PAINT) {
        ScopedPaint scope(window);
        paint(mw, window, scope.get());
        return true;
    }
    if (message == WM_PRINTCLIENT) {
        paint(mw, window, reinterpret_cast<HDC>(wparam));
        return true;
    }
    return false;
}

LRESULT sidebar_row_data_at(HWND list, LPARAM lparam) {
    const int row = list_box_row_at(list, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
    if (row < 0) return -1;
    return SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
}

// A frame button is going: the hover plate must not point at it any more.
void forget_button(MainWindow& mw, HWND button, SUBCLASSPROC procedure, UINT_PTR subclass_id) {
    if (mw.hovered_button == button) mw.hovered_button = nullptr;
    RemoveWindowSubclass(button, procedure, subclass_id);
}

void on_icon_mouse_move(MainWindow& mw, HWND button) {
    if (mw.hovered_button == button && mw.tooltip_shown) return;
    track_hover(mw, button);
    mw.show_tooltip(button);
}

LRESULT on_icon_mouse_leave(MainWindow& mw, HWND button) {
    end_hover(mw, button);
    mw.hide_tooltip();
    return 0;
}

// A frame button takes the keyboard with the press, as every button does;
// the release gives it back to the control that had it (the list or the
// search field) once the click has done its work, or else Enter and the
// arrows would reach nothing and Space would click the button again. A click
// that opens a box or a menu finds it given back by the window's activation
// when that closes.
LRESULT press_frame_button(MainWindow& mw, HWND button, WPARAM wparam, LPARAM lparam) {
    mw.keep_focus_on_leave();
    return DefSubclassProc(button, WM_LBUTTONDOWN, wparam, lparam);
}

LRESULT release_frame_button(MainWindow& mw, HWND button, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = DefSubclassProc(button, WM_LBUTTONUP, wparam, lparam);
    if (GetFocus() == button) mw.give_back_focus();
    return result;
}

// The search button only moves the focus to the search field. Two quick
// clicks on a tool button are two clicks (a move by two rows), not a double
// click.
LRESULT on_icon_button_down(MainWindow& mw, HWND button, WPARAM wparam, LPARAM lparam) {
    if (button == mw.search_button) {
        if (mw.search_edit) SetFocus(mw.search_edit);
        return 0;
    }
    return press_frame_button(mw, button, wparam, lparam);
}

LRESULT on_icon_button_up(MainWindow& mw, HWND button, WPARAM wparam, LPARAM lparam) {
    if (button == mw.search_button) return 0;
    return release_frame_button(mw, button, wparam, lparam);
}

LRESULT on_list_key_down(MainWindow& mw, HWND list, WPARAM wparam, LPARAM lparam) {
    if (list == mw.entry_list && wparam == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        mw.select_all();
        return 0;
    }
    return DefSubclassProc(list, WM_KEYDOWN, wparam, lparam);
}

LRESULT on_list_button_down(MainWindow& mw, HWND list, WPARAM wparam, LPARAM lparam) {
    if (list == mw.sidebar && sidebar_row_data_at(list, lparam) == kSidebarTemplates) {
        SetFocus(list);
        mw.on_templates_header_click();
        return 0;
    }
    return DefSubclassProc(list, WM_LBUTTONDOWN, wparam, lparam);
}

}  // namespace

// The menu-bar buttons: text on the window background, a rounded plate
// while the mouse is over one.
LRESULT CALLBACK TextButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref) {
    MainWindow& mw = *owner_of(ref);
    if (paint_button_message(mw, window, message, wparam, paint_text_button)) return 0;
    switch (message) {
    case WM_MOUSEMOVE: track_hover(mw, window); break;
    case WM_MOUSELEAVE: end_hover(mw, window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: return press_frame_button(mw, window, wparam, lparam);
    case WM_LBUTTONUP: return release_frame_button(mw, window, wparam, lparam);
    case WM_NCDESTROY: forget_button(mw, window, TextButtonProc, kTextButtonSubclassId); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// The tool buttons and the search button: a coloured glyph, a rounded plate
// and the button's tooltip while the mouse is over it.
LRESULT CALLBACK IconButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref) {
    MainWindow& mw = *owner_of(ref);
    if (paint_button_message(mw, window, message, wparam, paint_icon_button)) return 0;
    switch (message) {
    case WM_MOUSEMOVE: on_icon_mouse_move(mw, window); break;
    case WM_MOUSELEAVE: return on_icon_mouse_leave(mw, window);
    case WM_ERASEBKGND:
        return erase_with(window, reinterpret_cast<HDC>(wparam), ui_color(UiColor::WindowBackground, mw.dark));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return on_icon_button_down(mw, window, wparam, lparam);
    case WM_LBUTTONUP: return on_icon_button_up(mw, window, wparam, lparam);
    case WM_NCDESTROY: forget_button(mw, window, IconButtonProc, kIconButtonSubclassId); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// Both lists: the field background, the wheel by notches and scroll lines,
// Ctrl+A in the entry list, and the templates header that opens and closes
// instead of being selected.
LRESULT CALLBACK ListSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref) {
    MainWindow& mw = *owner_of(ref);
    switch (message) {
    case WM_ERASEBKGND:
        return erase_with(window, reinterpret_cast<HDC>(wparam), ui_color(UiColor::FieldBackground, mw.dark));
    case WM_KEYDOWN: return on_list_key_down(mw, window, wparam, lparam);
    case WM_LBUTTONDOWN: return on_list_button_down(mw, window, wparam, lparam);
    case WM_MOUSEWHEEL: mw.on_wheel(window, GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(window, ListSubclassProc, kListSubclassId); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

void MainWindow::paint_background(HDC dc) const { erase_with(hwnd, dc, ui_color(UiColor::WindowBackground, dark)); }

// A key held down acts once; the repeats are taken and dropped.
bool MainWindow::take_shortcut_key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) return false;
    const bool repeat = (msg.lParam & (1 << 30)) != 0;
    switch (msg.wParam) {
    case VK_RETURN:
        if (msg.hwnd != entry_list && msg.hwnd != search_edit) return false;
        if (repeat) return true;
        if (msg.hwnd == search_edit && selected_count() == 0) select_first_entry();
        on_paste_selected();
        return true;
    case VK_DOWN:
        if (msg.hwnd != search_edit) return false;
        focus_list_for_keys();
        return true;
    case 'F':  // with Ctrl alone: AltGr (Ctrl+Alt) types a character
        if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
        focus_search();
        return true;
    case VK_ESCAPE:
        // Puts the history away after a paste, whatever the close button
        // does: a program that quit here would stop recording every copy.
        if (!repeat) hide_window();
        return true;
    default: return false;
    }
}

namespace {

// The tool-column glyph buttons centre their text; the menu-bar buttons set
// it at the left.
void draw_owner_button(const DRAWITEMSTRUCT& item, bool dark) {
    RECT r = item.rcItem;
    fill_solid(item.hDC, r, ui_color(UiColor::WindowBackground, dark));
    wchar_t text[32] = {};
    GetWindowTextW(item.hwndItem, text, 32);
    ScopedSelect keep_font(item.hDC, control_font(item.hwndItem));
    SetTextColor(item.hDC, ui_color(UiColor::Text, dark));
    SetBkMode(item.hDC, TRANSPARENT);
    const UINT format = static_cast<int>(item.CtlID) < kIdFirstMenuButton ? DT_CENTER | DT_VCENTER | DT_SINGLELINE
                                                                          : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextW(item.hDC, text, -1, &r, format);
}

}  // namespace

bool MainWindow::draw_item(const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID);
    if (item.CtlType == ODT_BUTTON && id >= kIdPasteButton && id <= kIdLastMenuButton) {
        draw_owner_button(item, dark);
        return true;
    }
    if (item.CtlType != ODT_LISTBOX || !item.hwndItem) return false;
    if (item.hwndItem == entry_list) {
        draw_card(item);
        return true;
    }
    if (item.hwndItem == sidebar) {
        draw_sidebar_row(item);
        return true;
    }
    return false;
}

bool MainWindow::measure_item(MEASUREITEMSTRUCT& item) const {
    if (item.CtlType != ODT_LISTBOX) return false;
    if (item.CtlID == kIdSidebar) {
        item.itemHeight = kSidebarRowHeight;
        return true;
    }
    if (item.CtlID == kIdEntryList) {
        measure_entry_row(item);
        return true;
    }
    return false;
}

HBRUSH MainWindow::field_colours(HDC dc) {
    const COLORREF field = ui_color(UiColor::FieldBackground, dark);
    SetTextColor(dc, ui_color(UiColor::Text, dark));
    SetBkColor(dc, field);
    return brushes.get(field);
}

HBRUSH MainWindow::button_colours(HDC dc, HWND button) {
    const int id = GetDlgCtrlID(button);
    if (id < kIdPasteButton || id > kIdSidebarButton) return nullptr;
    const COLORREF window = ui_color(UiColor::WindowBackground, dark);
    SetTextColor(dc, ui_color(UiColor::Text, dark));
    SetBkColor(dc, window);
    return brushes.get(window);
}

HBRUSH MainWindow::static_colours(HDC dc, HWND control) {
    COLORREF text = ui_color(UiColor::Text, dark), back = ui_color(UiColor::WindowBackground, dark);
    const int id = control ? GetDlgCtrlID(control) : -1;
    if (id == kIdStatus) {
        text = ui_color(UiColor::SecondaryText, dark);
    } else if (id == kIdEmptyHint) {
        // The hint lies on the list: its field, its quieter text.
        text = ui_color(UiColor::SecondaryText, dark);
        back = ui_color(UiColor::FieldBackground, dark);
    } else if (id == 0) {
        text = ui_color(UiColor::Border, dark);  // the separators of the tool row, drawn faint
    } else if (id == kIdTooltip) {
        back = ui_color(UiColor::PopupSurface, dark);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    return brushes.get(back);
}
