#pragma once
// The sidebar's rows, as far as others read them.

#include <string>

// The name MainWindow::template_group gives the templates without a group.
inline constexpr wchar_t kUngroupedGroup[] = L"\x1E";

// The group a sidebar template-group row stands for: the text after its
// first tab, blanks and tabs trimmed at both ends.
std::wstring sidebar_group_name(const std::wstring& row_text);
