// MainWindow: templates and their groups. Placeholders until the templates panel is built.
#include "ui/main_window/main_window.h"

void MainWindow::new_template() {}
