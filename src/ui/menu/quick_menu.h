#pragma once
// The quick menu: a small top-most popup at the mouse cursor listing the ten
// newest history entries; choosing one pastes it into the program in front.
//
// For now the object has no window: opening it shows nothing.

#include <windows.h>

class App;

class QuickMenu {
public:
    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    App* app = nullptr;

    // Creates the hidden popup window; false when it cannot be created.
    bool create(HINSTANCE module, App* owner);
    void populate();
    void show_at_cursor();
    void hide();
    void on_activate(int row);
};
