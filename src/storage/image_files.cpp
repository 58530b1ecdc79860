#include "storage/image_files.h"

#include <windows.h>

#include <cwctype>

void delete_png_file(const std::wstring& path) {
    if (path.size() < 5) return;
    std::wstring ext = path.substr(path.size() - 4);
    for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    if (ext != L".png") return;
    const DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return;
    DeleteFileW(path.c_str());
}

void delete_image_files(const std::vector<std::wstring>& paths) {
    for (const auto& p : paths) delete_png_file(p);
}
