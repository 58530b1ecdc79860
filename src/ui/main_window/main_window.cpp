#include "ui/main_window/main_window.h"

#include "app/app.h"
#include "app/ids.h"
#include "app/settings.h"

void MainWindow::init(HWND window, App* owner) {
    hwnd = window;
    app = owner;
    dark = owner->settings->dark_mode;
}

void MainWindow::layout() {}
int MainWindow::top_row_min_width() const { return 0; }
void MainWindow::apply_dark_mode(bool on) { dark = on; }
void MainWindow::destroy_popups() {}
void MainWindow::remember_full_width() {}
void MainWindow::toggle_category_panel() {}
void MainWindow::toggle_topmost() {}
void MainWindow::show_menu_bar_menu(int) {}

void MainWindow::refresh_all() {}
void MainWindow::refresh_list() {}
bool MainWindow::row_is_image(int) const { return false; }
void MainWindow::draw_card(const DRAWITEMSTRUCT&) {}
void MainWindow::draw_sidebar_row(const DRAWITEMSTRUCT&) {}
HWND MainWindow::list_at(POINT) const { return nullptr; }
void MainWindow::on_wheel(HWND, int) {}
void MainWindow::on_list_context_menu(POINT) {}
void MainWindow::on_sidebar_context_menu(POINT) {}

void MainWindow::set_view(int mode, int category_id) {
    view_mode = mode;
    view_category = category_id;
    templates_view = false;
}
void MainWindow::show_images_view() { set_view(kViewImages, -1); }
void MainWindow::show_templates() { templates_view = true; }
void MainWindow::show_template_group(const std::wstring&) { templates_view = true; }

void MainWindow::on_selection_changed() {}
void MainWindow::hide_preview() {}
void MainWindow::apply_link_title(std::int64_t, const std::wstring&) {}

void MainWindow::on_paste_selected() {}
void MainWindow::on_paste_multiple() {}
void MainWindow::on_copy_selected() {}
void MainWindow::toggle_pin_selected() {}
void MainWindow::edit_selected() {}
void MainWindow::delete_selected() {}
void MainWindow::move_selection_up() {}
void MainWindow::move_selection_down() {}
void MainWindow::move_selected_to_category() {}
void MainWindow::clear_selected_category() {}
void MainWindow::add_selected_to_slots() {}
void MainWindow::remove_selected_from_slots() {}
void MainWindow::select_all() {}
void MainWindow::focus_search() {}
void MainWindow::toggle_show_time() {}
void MainWindow::new_template() {}

void MainWindow::new_category() {}
void MainWindow::rename_category() {}
void MainWindow::toggle_category_pin() {}
void MainWindow::move_category(int) {}
void MainWindow::delete_category() {}
