// MainWindow, the sidebar and the views. A first cut: the fixed view rows and
// the categories, and switching views. Template groups in the sidebar, its
// width rule, the category commands and the context menus come with the
// sidebar's own work.

#include "ui/main_window/sidebar.h"

#include "app/app.h"
#include "app/ids.h"
#include "app/language.h"
#include "app/settings.h"
#include "services/handles.h"
#include "storage/history_db.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/list_box.h"
#include "ui/kit/theme.h"
#include "ui/main_window/main_window.h"

namespace {

struct FixedRow {
    std::int64_t data;
    const wchar_t* icon;
    const wchar_t* key;
    int hidden_bit;  // of Settings.categories_hidden; 0: never hidden
};
const FixedRow kFixedRows[] = {
    {kViewAll, L"", tr_key(L"side.all"), 0},
    {kViewPinned, L"\U0001F4CC", tr_key(L"side.pinned"), 1},
    {kViewSlots, L"\U0001F511", tr_key(L"side.slots"), 2},
    {kViewUncategorised, L"", tr_key(L"side.none"), 4},
    {kViewTrash, L"\U0001F5D1", tr_key(L"side.trash"), 8},
    {kSidebarTemplates, nullptr, tr_key(L"side.templates"), 16},
    {kSidebarImages, L"\U0001F5BC", tr_key(L"side.images"), 32},
};

void add_sidebar_row(HWND list, const std::wstring& text, std::int64_t data) {
    const LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row != LB_ERR && row != LB_ERRSPACE) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row), data);
}

}  // namespace

std::wstring sidebar_group_name(const std::wstring& row_text) {
    const size_t tab = row_text.find(L'\t');
    const std::wstring rest = tab == std::wstring::npos ? row_text : row_text.substr(tab + 1);
    const size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const size_t last = rest.find_last_not_of(L" \t");
    return rest.substr(first, last - first + 1);
}

void MainWindow::on_sidebar_selection() {
    if (!sidebar) return;
    const LRESULT row = SendMessageW(sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const LRESULT data = SendMessageW(sidebar, LB_GETITEMDATA, row, 0);
    if (data < 0) return;
    if (data == kSidebarTemplates) {
        show_template_group(L"");
    } else if (data == kSidebarImages) {
        show_images_view();
    } else if (data < kSidebarFirstCategory) {
        set_view(static_cast<int>(data), -1);
    } else if (data < kSidebarFirstGroup) {
        set_view(kViewCategory, static_cast<int>(data - kSidebarFirstCategory));
    } else if (data == kSidebarUngrouped) {
        show_template_group(kUngroupedGroup);
    } else {
        show_template_group(sidebar_group_name(list_box_text(sidebar, static_cast<int>(row))));
    }
}

void MainWindow::fill_sidebar() {
    if (!sidebar) return;
    SendMessageW(sidebar, WM_SETREDRAW, FALSE, 0);
    SendMessageW(sidebar, LB_RESETCONTENT, 0, 0);
    const Settings* s = app ? app->settings : nullptr;
    const int hidden = s ? s->categories_hidden : 0;
    const bool collapsed = !s || s->snippet_panel_collapsed;
    for (const FixedRow& row : kFixedRows) {
        if (hidden & row.hidden_bit) continue;
        const wchar_t* icon = row.icon ? row.icon : (collapsed ? L"\u25B8" : L"\u25BE");
        add_sidebar_row(sidebar, std::wstring(icon) + L"\t" + tr(row.key), row.data);
    }
    category_names.clear();
    if (app && app->db) {
        for (const Category& c : app->db->list_categories()) {
            category_names[c.id] = c.name;
            add_sidebar_row(sidebar, std::wstring(c.pinned ? L"\U0001F4CC" : L"") + L"\t" + c.name,
                            c.id + kSidebarFirstCategory);
        }
    }
    select_sidebar_view();
    SendMessageW(sidebar, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(sidebar, nullptr, TRUE);
}

void MainWindow::draw_sidebar_row(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    fill_solid(dc, r, ui_color(UiColor::PopupSurface, dark));
    if (static_cast<int>(item.itemID) < 0) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected) {
        RECT plate = r;
        InflateRect(&plate, -2, -2);
        ScopedBrush brush(CreateSolidBrush(ui_color(UiColor::Accent, dark)));
        ScopedSelect keep_brush(dc, brush.get());
        ScopedSelect keep_pen(dc, GetStockObject(NULL_PEN));
        RoundRect(dc, plate.left, plate.top, plate.right + 1, plate.bottom + 1, 8, 8);
    }
    const std::wstring text = list_box_text(item.hwndItem, static_cast<int>(item.itemID)).substr(0, 256);
    const std::size_t tab = text.find(L'\t');
    const std::wstring icon = tab != std::wstring::npos && tab >= 1 && tab <= 7 ? text.substr(0, tab) : L"";
    const std::wstring label = tab == std::wstring::npos ? text : text.substr(tab + 1);
    ScopedSelect keep_font(dc, control_font(item.hwndItem));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? 0xFFFFFF : ui_color(UiColor::SecondaryText, dark));
    RECT icon_rect{r.left + 6, r.top, r.left + 24, r.bottom};
    DrawTextW(dc, icon.c_str(), -1, &icon_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    const bool group_row = static_cast<std::int64_t>(item.itemData) >= kSidebarFirstGroup;
    RECT label_rect{r.left + 24 + (group_row ? 12 : 0), r.top, r.right - 4, r.bottom};
    SetTextColor(dc, selected ? 0xFFFFFF : ui_color(UiColor::Text, dark));
    DrawTextW(dc, label.c_str(), -1, &label_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void MainWindow::select_sidebar_view() {
    if (!sidebar) return;
    std::int64_t wanted = kViewAll;
    if (templates_view) {
        wanted = kSidebarTemplates;
    } else if (view_mode == kViewImages) {
        wanted = kSidebarImages;
    } else if (view_mode == kViewCategory) {
        wanted = view_category >= 1 ? view_category + kSidebarFirstCategory : kViewAll;
    } else if (view_mode >= kViewPinned && view_mode <= kViewTrash) {
        wanted = view_mode;
    }
    const LRESULT count = SendMessageW(sidebar, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        if (static_cast<std::int64_t>(SendMessageW(sidebar, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == wanted) {
            SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            return;
        }
    }
}

void MainWindow::sync_capture_category() {
    if (!app) return;
    if (!templates_view && view_mode >= kViewCategory && view_mode != kViewImages) {
        app->capture_category = view_category;
    } else {
        app->capture_category.reset();
    }
}

void MainWindow::set_view(int mode, int category_id) {
    templates_view = false;
    template_group.clear();
    view_mode = mode;
    view_category = category_id;
    sync_capture_category();
    select_sidebar_view();
    refresh_list();
}

void MainWindow::show_images_view() { set_view(kViewImages, -1); }

void MainWindow::show_template_group(const std::wstring& group) {
    template_group = group;
    templates_view = true;
    view_mode = kViewAll;
    view_category = -1;
    sync_capture_category();
    select_sidebar_view();
    refresh_list();
}

void MainWindow::show_templates_view() { show_template_group(L""); }

void MainWindow::show_templates() {
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
    }
    show_templates_view();
}

void MainWindow::on_templates_header_click() { show_templates_view(); }

void MainWindow::on_sidebar_context_menu(POINT) {}
void MainWindow::new_category() {}
void MainWindow::rename_category() {}
void MainWindow::toggle_category_pin() {}
void MainWindow::move_category(int) {}
void MainWindow::delete_category() {}
