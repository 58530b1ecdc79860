#include "services/path_inside.h"

#include "services/paths.h"

#include <windows.h>

bool is_path_inside(const std::wstring& path, const std::wstring& folder) {
    if (path.empty() || folder.empty()) return false;
    const std::wstring p = full_path(path);
    const std::wstring f = full_path(folder);
    if (f.size() >= p.size()) return false;
    if (CompareStringOrdinal(p.c_str(), int(f.size()), f.c_str(), int(f.size()), TRUE) != CSTR_EQUAL) return false;
    const wchar_t next = p[f.size()];
    return next == L'\\' || next == L'/';
}
