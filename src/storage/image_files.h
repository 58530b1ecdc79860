#pragma once
// Removal of the PNG files whose paths history entries recorded. These are the
// only files the history storage ever deletes.

#include <string>
#include <vector>

// Deletes the file when its name ends in ".png" (any letter case), is longer
// than that ending alone, and names an existing file that is not a folder.
// Anything else is left alone; a failed deletion is not reported.
void delete_png_file(const std::wstring& path);

// Deletes each file of paths (as delete_png_file) that no path in recorded
// names. Two entries may record one file (a picture saved again under a name
// an older entry records), so a removed entry's file stays while another entry
// still records it. Two paths name one file when their full forms match
// without regard to letter case, as Windows compares file names.
void delete_image_files(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& recorded);
