// MainWindow: templates and their groups. Placeholders until the templates panel is built.
#include "ui/main_window/main_window.h"
#include "ui/main_window/snippet_editor.h"

void MainWindow::new_template() {}
void MainWindow::new_template_in_group(const std::wstring&) {}
void MainWindow::new_template_group() {}
void MainWindow::rename_template_group(const std::wstring&) {}
void MainWindow::delete_template_group(const std::wstring&) {}
void MainWindow::move_group_templates(const std::wstring&, const std::wstring&) {}
void MainWindow::move_template_to_group(std::int64_t, const std::wstring&) {}

bool show_snippet_editor(HWND, MainWindow*, std::wstring&, std::wstring&, std::wstring&) { return false; }
