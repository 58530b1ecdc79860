// MainWindow: the entry commands. Placeholders until the commands are built: each does nothing yet.
#include "ui/main_window/main_window.h"

void MainWindow::on_list_context_menu(POINT) {}
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
