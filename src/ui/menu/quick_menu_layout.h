#pragma once
// The arithmetic of the quick menu, free of windows so that it can be
// checked directly: its size for a font and a number of rows, the text of
// each numbered row, and where a choice pastes.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

inline constexpr int kQuickMenuMaxRows = 10;
inline constexpr int kQuickMenuMaxHeight = 480;
// No row shows more code units of its text than this, even in the narrowest
// characters of the smallest font: a longer text is measured from its start
// alone, and no more of it than that needs to be read.
inline constexpr std::size_t kQuickMenuRowUnits = 256;

// 400 pixels, and 24 more for each pixel of font above 14.
int quick_menu_width(int font_size);

// The row height for a font whose text height (tmHeight) is text_height:
// 14 pixels of air, at least 28.
int quick_menu_row_height(int text_height);

// The popup's height for rows of row_height inside a border of edge pixels
// (SM_CYEDGE) a side: at most kQuickMenuMaxHeight, never less than one row.
int quick_menu_height(int rows, int row_height, int edge);

// Row index (from 0) as the user sees it: "1. text" .. "10. text", the text
// on one line (line breaks become blanks) and, when measure says the row is
// wider than max_width pixels, cut to the longest start that fits with "…"
// after it. Only the first kQuickMenuRowUnits of the text are measured; a
// text longer than that always ends in "…". A max_width below 1 or an empty
// text is not measured.
std::wstring quick_menu_row_text(int index, const std::wstring& text, int max_width,
                                 const std::function<int(const std::wstring&)>& measure);

// The window a choice in the quick menu pastes into. front is the window in
// front as the menu opens; a program's window there (front_is_program) is the
// target. The menu itself in front (its hotkey pressed again while it is
// open) keeps the target it has (kept); any other window of the program, or
// the shell's, leaves the program the user was last in (last_program, which
// may be none), never the one of some earlier showing.
HWND quick_menu_target(HWND front, bool front_is_program, HWND menu, HWND kept, HWND last_program);
