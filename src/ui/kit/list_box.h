#pragma once
// Reading a standard list box.

#include <windows.h>

#include <string>

// The text of a list-box row, however long; empty for an invalid row.
std::wstring list_box_text(HWND list, int row);

// The row under a point of the list's client area; -1 in the blank part
// below the last row or outside the list.
int list_box_row_at(HWND list, POINT client);

// Whether the mouse message being handled was over a selected row. A list box
// notifies a double-click on its blank part too, and the notification carries
// no point of its own.
bool list_box_pointer_on_selected_row(HWND list);
