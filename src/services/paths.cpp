#include "services/paths.h"

#include <windows.h>

std::wstring full_path(const std::wstring& path) {
    constexpr DWORD kCap = 1040;
    std::wstring out = path;
    wchar_t buf[kCap];
    const DWORD n = GetFullPathNameW(path.c_str(), kCap, buf, nullptr);
    if (n != 0 && n < kCap) out.assign(buf, n);
    while (out.size() >= 2 && (out.back() == L'\\' || out.back() == L'/')) out.pop_back();
    return out;
}
