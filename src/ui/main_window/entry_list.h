#pragma once
// The entry list's rows, as far as others read them.

#include <string>

// A template-group header row of the entry list ("GRP" and a tab first).
bool is_group_row(const std::wstring& row_text);
