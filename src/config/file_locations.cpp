#include "config/file_locations.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring known_folder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) buffer[0] = L'\0';
    return buffer;
}

}  // namespace

std::wstring exe_path() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    // A cut path (n == MAX_PATH) would name some other file.
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(buffer, n);
}

std::wstring data_dir() { return known_folder(CSIDL_LOCAL_APPDATA) + L"\\Korvane"; }

std::wstring db_path() { return known_folder(CSIDL_PROFILE) + L"\\.korvane.db"; }

std::wstring ini_path() { return db_path() + L".ini"; }
