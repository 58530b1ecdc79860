#pragma once
// The view dialog "KorvaneViewDialog": one history entry shown whole, its
// text in a read-only field or its picture fitted to the window and zoomed
// with the mouse wheel, above a few lines on where it came from. Resizable;
// the call returns when it has closed.

#include <windows.h>

class MainWindow;
struct HistoryEntry;

// Shows the entry over the main window, which is disabled meanwhile. False
// when there is no main window or the dialog cannot be created; true once
// it has closed.
bool show_view_dialog(MainWindow* main_window, const HistoryEntry& entry);

LRESULT CALLBACK view_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Repaints the picture's area at once, without erasing it first.
void invalidate_view_image(HWND window);
