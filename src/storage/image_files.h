#pragma once
// Removal of the PNG files whose paths history entries recorded. These are the
// only files the history storage ever deletes.

#include <string>
#include <vector>

// Deletes the file when its name ends in ".png" (any letter case), is longer
// than that ending alone, and names an existing file that is not a folder.
// Anything else is left alone; a failed deletion is not reported.
void delete_png_file(const std::wstring& path);
void delete_image_files(const std::vector<std::wstring>& paths);
