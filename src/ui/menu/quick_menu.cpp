#include "ui/menu/quick_menu.h"

bool QuickMenu::create(HINSTANCE module, App* owner) {
    instance = module;
    app = owner;
    return false;
}

void QuickMenu::populate() {}
void QuickMenu::show_at_cursor() {}
void QuickMenu::hide() {}
void QuickMenu::on_activate(int) {}
