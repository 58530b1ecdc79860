// MainWindow, the frame: the background, the painting of the tool and
// menu-bar buttons, and the colours of the children.

#include "ui/main_window/main_window.h"

#include "app/ids.h"
#include "services/handles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"

namespace {

// Sidebar rows are all of one height.
constexpr UINT kSidebarRowHeight = 28;

}  // namespace

void MainWindow::paint_background(HDC dc) const {
    RECT r{};
    GetClientRect(hwnd, &r);
    fill_solid(dc, r, ui_color(UiColor::WindowBackground, dark));
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
        item.itemHeight = entry_row_height(static_cast<int>(item.itemID));
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
    } else if (id == 0 && !dark) {
        text = ui_color(UiColor::Border, false);  // the separators of the tool row, drawn faint
    } else if (id == kIdTooltip) {
        back = ui_color(UiColor::PopupSurface, dark);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    return brushes.get(back);
}
