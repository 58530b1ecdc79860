#pragma once

#include <string>

// The absolute form of a path, without trailing separators (C:\ becomes C:).
// Falls back to the input when the system cannot resolve it.
std::wstring full_path(const std::wstring& path);
