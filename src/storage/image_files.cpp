#include "storage/image_files.h"

#include "services/paths.h"

#include <windows.h>

#include <algorithm>
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

void delete_image_files(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& recorded) {
    std::vector<std::wstring> kept;
    kept.reserve(recorded.size());
    for (const auto& r : recorded) kept.push_back(full_path(r));
    for (const auto& p : paths) {
        const std::wstring full = full_path(p);
        const bool still_recorded = std::any_of(kept.begin(), kept.end(), [&](const std::wstring& k) {
            return CompareStringOrdinal(full.c_str(), static_cast<int>(full.size()), k.c_str(),
                                        static_cast<int>(k.size()), TRUE) == CSTR_EQUAL;
        });
        if (!still_recorded) delete_png_file(p);
    }
}
