#pragma once
// Saving pictures to disk.

#include "services/encoding.h"

#include <ctime>
#include <string>

// Saves the image (PNG bytes as they are, a DIB converted to PNG) as a new
// file "<base> YYYY-MM-DD hh-mm-ss.png" in folder, creating the folder as
// needed; when the name is taken, " (2)", " (3)" ... up to 999 are tried
// before ".png". Never replaces an existing file. On success path is the
// file written.
bool save_image_file(const std::wstring& folder, const std::wstring& base, const Bytes& image, std::wstring& path);

// The file name save_image_file tries for the n-th attempt (n from 1) at the
// local time t.
std::wstring image_file_name(const std::wstring& folder, const std::wstring& base, const std::tm& t, int n);
