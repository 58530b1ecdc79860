#pragma once
// The arithmetic of the quick menu, free of windows so that it can be
// checked directly: its size for a font and a number of rows, and the text
// of each numbered row.

#include <functional>
#include <string>

inline constexpr int kQuickMenuMaxRows = 10;
inline constexpr int kQuickMenuMaxHeight = 480;

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
// after it. A max_width below 1 or an empty text is not measured.
std::wstring quick_menu_row_text(int index, const std::wstring& text, int max_width,
                                 const std::function<int(const std::wstring&)>& measure);
