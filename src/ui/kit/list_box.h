#pragma once
// Reading a standard list box.

#include <windows.h>

#include <string>

// The text of a list-box row, however long; empty for an invalid row.
std::wstring list_box_text(HWND list, int row);
