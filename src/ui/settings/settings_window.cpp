#include "ui/settings/settings_window.h"

bool SettingsWindow::open(HWND owner_window, App* owner_app) {
    owner = owner_window;
    app = owner_app;
    return false;
}
