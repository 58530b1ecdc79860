// MainWindow: the preview popup. Placeholders until the preview is built: it never shows yet.
#include "ui/main_window/main_window.h"

void MainWindow::on_selection_changed() {}
void MainWindow::refresh_preview() {}
void MainWindow::hide_preview() {}

void MainWindow::remove_preview_hook() {
    if (preview_hook) UnhookWindowsHookEx(preview_hook);
    preview_hook = nullptr;
}

void MainWindow::apply_link_title(std::int64_t, const std::wstring&) {}
void MainWindow::apply_font_size() {}
