#pragma once

#include <string>

// Whether the path lies inside the folder (at any depth), comparing full
// paths ordinally without regard to case. A file in "Shots2" is not inside
// "Shots".
bool is_path_inside(const std::wstring& path, const std::wstring& folder);
