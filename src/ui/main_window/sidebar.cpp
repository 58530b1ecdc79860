// MainWindow: the views, and the sidebar that lists and switches them.
#include "ui/main_window/sidebar.h"

#include "config/file_locations.h"
#include "config/settings.h"
#include "services/handles.h"
#include "services/ids.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/list_box.h"
#include "ui/kit/theme.h"
#include "ui/main_window/main_window.h"

#include <algorithm>

namespace {

constexpr std::size_t kRowTextLimit = 256;  // what the painter reads of a row
constexpr std::size_t kMaxIconLength = 7;
constexpr int kIconLeft = 6;
constexpr int kLabelLeft = 24;
constexpr int kGroupIndent = 12;
constexpr int kLabelRightMargin = 4;
constexpr int kSelectionInset = 2;
constexpr int kSelectionCorner = 8;

// The group list is read for the rows, and for a group view whether or not
// the rows show it: a group gone while the section was closed ends its view too.
SidebarContent stored_content(const AppParts* app, bool group_viewed) {
    SidebarContent content;
    if (app && app->settings) {
        content.hidden_mask = app->settings->categories_hidden;
        content.templates_collapsed = app->settings->snippet_panel_collapsed;
    }
    if (app && app->db) {
        content.categories = app->db->list_categories();
        if (group_viewed || template_rows_shown(content)) {
            content.groups = app->db->list_snippet_groups();
            const std::vector<Snippet> live = app->db->list_snippets();
            content.has_ungrouped_templates =
                std::any_of(live.begin(), live.end(), [](const Snippet& s) { return s.grp.empty(); });
        }
    }
    return content;
}

int widest_label(HWND list, const std::vector<SidebarRow>& rows) {
    ScopedGetDc dc(list);
    if (!dc) return 0;
    ScopedSelect keep_font(dc.get(), control_font(list));
    int widest = 0;
    for (const SidebarRow& row : rows) {
        SIZE size{};
        if (GetTextExtentPoint32W(dc.get(), row.label.c_str(), static_cast<int>(row.label.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    return widest;
}

void save_settings(const AppParts* app) {
    if (app && app->settings) Settings::save(*app->settings, ini_path());
}

}  // namespace

bool MainWindow::fill_sidebar() {
    if (!sidebar) return false;
    const SidebarContent content = stored_content(app, templates_view && !template_group.empty());
    const std::vector<SidebarRow> rows = build_sidebar_rows(content);

    SendMessageW(sidebar, WM_SETREDRAW, FALSE, 0);
    SendMessageW(sidebar, LB_RESETCONTENT, 0, 0);
    for (const SidebarRow& row : rows) {
        const std::wstring text = row.text();
        const LRESULT index = SendMessageW(sidebar, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index >= 0) SendMessageW(sidebar, LB_SETITEMDATA, static_cast<WPARAM>(index), row.data);
    }
    category_names.clear();
    for (const Category& c : content.categories) category_names[c.id] = c.name;

    bool view_changed = false;
    // A category deleted while it was shown takes its view along: captures
    // filed under it would reach no view but "all".
    if (!templates_view && view_mode == kViewCategory && !category_names.contains(view_category)) {
        view_mode = kViewAll;
        view_category = -1;
        sync_capture_category();
        view_changed = true;
    }
    // So does a view whose row the settings have just hidden: it would stay
    // on show with nothing lit to say what it is.
    if (leave_hidden_view(content.hidden_mask)) {
        sync_capture_category();
        view_changed = true;
    }
    // A group whose last template went shows all templates, as a deleted group does.
    if (templates_view && !template_group.empty()) {
        const bool listed = template_group == kUngroupedGroup
                                ? content.has_ungrouped_templates
                                : std::ranges::find(content.groups, template_group) != content.groups.end();
        if (!listed) {
            template_group.clear();
            view_changed = true;
        }
    }

    sidebar_width = sidebar_width_for(widest_label(sidebar, rows));
    if (app && app->settings) app->settings->categories_width = sidebar_width;
    select_sidebar_view();
    SendMessageW(sidebar, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(sidebar, nullptr, TRUE);
    return view_changed;
}

void MainWindow::on_sidebar_selection() {
    if (!sidebar) return;
    const LRESULT row = SendMessageW(sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const SidebarChoice choice = sidebar_choice(SendMessageW(sidebar, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    switch (choice.target) {
    case SidebarTarget::View: set_view(static_cast<int>(choice.value), -1); break;
    case SidebarTarget::TemplatesHeader: show_template_group(L""); break;
    case SidebarTarget::Images: show_images_view(); break;
    case SidebarTarget::Category: set_view(kViewCategory, static_cast<int>(choice.value)); break;
    case SidebarTarget::Ungrouped: show_template_group(kUngroupedGroup); break;
    case SidebarTarget::Group:
        show_template_group(sidebar_group_name(list_box_text(sidebar, static_cast<int>(row))));
        break;
    case SidebarTarget::None: break;
    }
}

void MainWindow::draw_sidebar_row(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT r = item.rcItem;
    fill_solid(dc, r, ui_color(UiColor::PopupSurface, dark));
    if (static_cast<int>(item.itemID) < 0) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected) {
        RECT plate = r;
        InflateRect(&plate, -kSelectionInset, -kSelectionInset);
        ScopedBrush brush(CreateSolidBrush(ui_color(UiColor::Accent, dark)));
        ScopedSelect keep_brush(dc, brush.get());
        ScopedSelect keep_pen(dc, GetStockObject(NULL_PEN));
        RoundRect(dc, plate.left, plate.top, plate.right + 1, plate.bottom + 1, kSelectionCorner, kSelectionCorner);
    }
    const std::wstring text = list_box_text(item.hwndItem, static_cast<int>(item.itemID)).substr(0, kRowTextLimit);
    const std::size_t tab = text.find(L'\t');
    const bool has_icon = tab != std::wstring::npos && tab >= 1 && tab <= kMaxIconLength;
    const std::wstring icon = has_icon ? text.substr(0, tab) : L"";
    const std::wstring label = tab == std::wstring::npos ? text : text.substr(tab + 1);
    ScopedSelect keep_font(dc, control_font(item.hwndItem));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? ui_color(UiColor::SelectedText, dark) : ui_color(UiColor::SecondaryText, dark));
    RECT icon_rect{r.left + kIconLeft, r.top, r.left + kLabelLeft, r.bottom};
    DrawTextW(dc, icon.c_str(), -1, &icon_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    const SidebarTarget target = sidebar_choice(static_cast<std::int64_t>(item.itemData)).target;
    const bool group_row = target == SidebarTarget::Group || target == SidebarTarget::Ungrouped;
    RECT label_rect{r.left + kLabelLeft + (group_row ? kGroupIndent : 0), r.top, r.right - kLabelRightMargin, r.bottom};
    SetTextColor(dc, selected ? ui_color(UiColor::SelectedText, dark) : ui_color(UiColor::Text, dark));
    DrawTextW(dc, label.c_str(), -1, &label_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void MainWindow::select_sidebar_view() {
    if (!sidebar) return;
    const LRESULT count = SendMessageW(sidebar, LB_GETCOUNT, 0, 0);
    // A group listed in the templates view keeps its own row lit, where it has one.
    if (templates_view && !template_group.empty()) {
        for (LRESULT row = 0; row < count; ++row) {
            const SidebarChoice choice = sidebar_choice(SendMessageW(sidebar, LB_GETITEMDATA, row, 0));
            const bool match =
                template_group == kUngroupedGroup
                    ? choice.target == SidebarTarget::Ungrouped
                    : choice.target == SidebarTarget::Group &&
                          sidebar_group_name(list_box_text(sidebar, static_cast<int>(row))) == template_group;
            if (match) {
                SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
                return;
            }
        }
    }
    const std::int64_t wanted = sidebar_view_data({templates_view, view_mode, view_category});
    for (LRESULT row = 0; row < count; ++row) {
        if (static_cast<std::int64_t>(SendMessageW(sidebar, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == wanted) {
            SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            return;
        }
    }
    // A view whose row is hidden lights none: the row of the view left would
    // name what is not on show, and could not be clicked to go back to it.
    SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void MainWindow::sync_capture_category() {
    if (!app) return;
    app->capture_category = capture_category_for({templates_view, view_mode, view_category});
    // A view restored at start may name a category the database no longer
    // has (a window started hidden is not checked by a sidebar fill): copies
    // filed under it would show in no view but "all".
    if (app->capture_category && app->db) {
        const std::vector<Category> stored = app->db->list_categories();
        if (std::none_of(stored.begin(), stored.end(),
                         [&](const Category& c) { return c.id == *app->capture_category; }))
            app->capture_category.reset();
    }
}

bool MainWindow::leave_hidden_view(int hidden_mask) {
    const SidebarView now{templates_view, view_mode, view_category};
    const SidebarView shown = shown_view(now, hidden_mask, hidden_rows);
    hidden_rows = hidden_mask;
    if (shown == now) return false;
    templates_view = shown.templates;
    template_group.clear();
    view_mode = shown.mode;
    view_category = shown.category;
    return true;
}

bool MainWindow::trash_view() const { return is_trash_view({templates_view, view_mode, view_category}); }

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
    expand_templates();
    sync_capture_category();
    select_sidebar_view();
    refresh_list();
}

void MainWindow::show_templates_view() { show_template_group(L""); }

void MainWindow::show_templates() {
    bring_back();
    show_templates_view();
}

void MainWindow::on_templates_header_click() {
    templates_view = true;
    template_group.clear();
    view_mode = kViewAll;
    view_category = -1;
    if (app && app->settings) app->settings->snippet_panel_collapsed = !app->settings->snippet_panel_collapsed;
    save_settings(app);
    sync_capture_category();
    fill_sidebar();
    layout();
    refresh_list();
}

void MainWindow::toggle_templates_collapsed() {
    if (!app || !app->settings) return;
    app->settings->snippet_panel_collapsed = !app->settings->snippet_panel_collapsed;
    save_settings(app);
    if (fill_sidebar()) refresh_list();
    layout();
}

void MainWindow::expand_templates() {
    if (!app || !app->settings || !app->settings->snippet_panel_collapsed) return;
    if (templates_row_hidden(app->settings->categories_hidden)) return;
    app->settings->snippet_panel_collapsed = false;
    save_settings(app);
    fill_sidebar();
    layout();
}
