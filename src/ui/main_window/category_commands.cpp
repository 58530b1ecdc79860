// MainWindow: the category commands and the context menus of the sidebar's rows.
#include "config/language.h"
#include "services/ids.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/dialogs/confirm_box.h"
#include "ui/dialogs/input_box.h"
#include "ui/kit/list_box.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/sidebar.h"
#include "ui/menu/popup_menu.h"

#include <algorithm>
#include <span>

namespace {

// The rows of a menu: a command and its text key; a null key is a separator.
struct MenuRow {
    int id;
    const wchar_t* key;
};
constexpr MenuRow kSeparator{0, nullptr};
constexpr MenuRow kTrashMenu[] = {{kTrashMenuEmpty, tr_key(L"action.empty_trash")}};
constexpr MenuRow kTemplatesHeaderMenu[] = {{kTemplatesHeaderMenuAddGroup, tr_key(L"action.add_group")},
                                            {kTemplatesHeaderMenuNewTemplate, tr_key(L"action.new_template")},
                                            kSeparator,
                                            {kTemplatesHeaderMenuToggle, tr_key(L"action.toggle_snippets")}};
constexpr MenuRow kCategoryMenu[] = {{kCategoryMenuRename, tr_key(L"action.rename")},
                                     {kCategoryMenuPin, tr_key(L"action.pin_category")},
                                     kSeparator,
                                     {kCategoryMenuUp, tr_key(L"action.move_up")},
                                     {kCategoryMenuDown, tr_key(L"action.move_down")},
                                     kSeparator,
                                     {kCategoryMenuDelete, tr_key(L"action.delete_category")}};
constexpr MenuRow kUngroupedMenu[] = {{kUngroupedMenuNewTemplate, tr_key(L"action.new_template")}};

PopupMenuItems menu_of(std::span<const MenuRow> rows) {
    PopupMenuItems items;
    for (const MenuRow& row : rows) {
        if (row.key) {
            append_menu_item(items, row.id, tr(row.key));
        } else {
            append_menu_separator(items);
        }
    }
    return items;
}

// The screen point of a menu asked for with the keyboard (Shift+F10, the
// menu key), which comes without one: under the selected row.
bool from_keyboard(POINT point) { return point.x == -1 && point.y == -1; }

POINT below_row(HWND list, int row) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT point{r.left, r.bottom};
    ClientToScreen(list, &point);
    return point;
}

// The stored category with exactly this name; names are unique.
const Category* category_named(const std::vector<Category>& categories, const std::wstring& name) {
    const auto found = std::ranges::find(categories, name, &Category::name);
    return found == categories.end() ? nullptr : &*found;
}

// The selected category, and in name what the user typed for it (one line,
// not empty); -1 when there is no category or no name.
std::int64_t ask_selected_category_name(MainWindow& mw, const wchar_t* title_key, const wchar_t* prompt_key,
                                        std::wstring& name) {
    const std::int64_t id = mw.selected_category_id();
    if (id < 0 || !mw.app || !mw.app->db) return -1;
    std::wstring typed;
    if (!input_box(mw.hwnd, tr(title_key), tr(prompt_key), typed)) return -1;
    name = category_name_from_input(typed);
    return name.empty() ? -1 : id;
}

}  // namespace

std::int64_t MainWindow::selected_category_id() const {
    if (!sidebar) return -1;
    const LRESULT row = SendMessageW(sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return -1;
    return sidebar_category_of(SendMessageW(sidebar, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

void MainWindow::on_sidebar_context_menu(POINT screen_point) {
    if (!sidebar || !app || !app->db) return;
    // The row under the pointer is selected without switching the view.
    if (!from_keyboard(screen_point) && select_at(sidebar, screen_point) < 0) return;
    const LRESULT row = SendMessageW(sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const POINT at = from_keyboard(screen_point) ? below_row(sidebar, static_cast<int>(row)) : screen_point;
    auto show = [&](const PopupMenuItems& items) { return track_popup_menu(hwnd, at.x, at.y, items, dark); };
    const SidebarChoice choice = sidebar_choice(SendMessageW(sidebar, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    switch (choice.target) {
    case SidebarTarget::View:
        if (choice.value == kViewTrash && show(menu_of(kTrashMenu)) == kTrashMenuEmpty) empty_trash();
        return;
    case SidebarTarget::TemplatesHeader:
        switch (show(menu_of(kTemplatesHeaderMenu))) {
        case kTemplatesHeaderMenuAddGroup: new_template_group(); break;
        case kTemplatesHeaderMenuNewTemplate: new_template(); break;
        case kTemplatesHeaderMenuToggle: toggle_templates_collapsed(); break;
        default: break;
        }
        return;
    case SidebarTarget::Category:
        switch (show(menu_of(kCategoryMenu))) {
        case kCategoryMenuRename: rename_category(); break;
        case kCategoryMenuPin: toggle_category_pin(); break;
        case kCategoryMenuUp: move_category(-1); break;
        case kCategoryMenuDown: move_category(+1); break;
        case kCategoryMenuDelete: delete_category(); break;
        default: break;
        }
        return;
    case SidebarTarget::Ungrouped:
        if (show(menu_of(kUngroupedMenu)) == kUngroupedMenuNewTemplate) new_template();
        return;
    case SidebarTarget::Group: {
        const std::wstring group = sidebar_group_name(list_box_text(sidebar, static_cast<int>(row)));
        const std::vector<std::wstring> groups = app->db->list_snippet_groups();
        const std::uint64_t chosen = show(template_group_menu(group, groups));
        if (chosen == kGroupMenuNewTemplate) {
            new_template_in_group(group);
        } else if (chosen == kGroupMenuRename) {
            rename_template_group(group);
        } else if (chosen == kGroupMenuDelete) {
            delete_template_group(group);
        } else if (const auto target = group_move_target(chosen, groups)) {
            move_group_templates(group, *target);
        }
        return;
    }
    case SidebarTarget::Images:
    case SidebarTarget::None: return;
    }
}

void MainWindow::new_category() {
    if (!app || !app->db) return;
    std::wstring typed;
    if (!input_box(hwnd, tr(L"input.new_category"), tr(L"prompt.name"), typed)) return;
    const std::wstring name = category_name_from_input(typed);
    if (name.empty()) return;
    app->db->add_category(name);
    refresh_all();
}

void MainWindow::rename_category() {
    std::wstring name;
    const std::int64_t id = ask_selected_category_name(*this, L"input.rename", L"prompt.new_name", name);
    if (id < 0) return;
    // The store refuses a name another category has without a word: the
    // user is told instead of seeing nothing happen.
    const std::vector<Category> categories = app->db->list_categories();
    if (const Category* taken = category_named(categories, name)) {
        if (taken->id != id)
            MessageBoxW(hwnd, tr(L"message.dup_category").c_str(), tr(L"menu.categories").c_str(),
                        MB_OK | MB_ICONWARNING);
        return;
    }
    app->db->rename_category(id, name);
    refresh_all();
}

// A name no category has renames the selected one instead.
void MainWindow::merge_category() {
    std::wstring name;
    const std::int64_t id = ask_selected_category_name(*this, L"input.merge_category", L"prompt.merge_into", name);
    if (id < 0) return;
    const std::vector<Category> categories = app->db->list_categories();
    const Category* into = category_named(categories, name);
    if (!into) {
        app->db->rename_category(id, name);
        refresh_all();
        return;
    }
    const auto from = std::ranges::find(categories, id, &Category::id);
    if (into->id == id || from == categories.end()) return;
    if (!confirm_box(hwnd, tr(L"confirm.title"), tr_format(L"confirm.merge_category", from->name, into->name),
                     tr(L"action.merge")))
        return;
    // A view of the emptied category follows its entries.
    if (app->db->merge_category(id, into->id) && !templates_view && view_mode == kViewCategory && view_category == id) {
        view_category = static_cast<int>(into->id);
        sync_capture_category();
    }
    refresh_all();
}

void MainWindow::toggle_category_pin() {
    const std::int64_t id = selected_category_id();
    if (id < 0 || !app || !app->db) return;
    app->db->toggle_category_pin(id);
    refresh_all();
}

void MainWindow::move_category(int step) {
    const std::int64_t id = selected_category_id();
    if (id < 0 || !app || !app->db) return;
    app->db->move_category(id, step);
    refresh_all();
}

void MainWindow::delete_category() {
    const std::int64_t id = selected_category_id();
    if (id < 0 || !app || !app->db) return;
    if (!confirm_box(hwnd, tr(L"confirm.title"), tr(L"confirm.delete_category"), tr(L"action.delete"))) return;
    app->db->delete_category(id);
    refresh_all();
}
