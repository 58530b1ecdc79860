#include "services/image_file.h"

#include "services/clock.h"
#include "services/file_io.h"
#include "services/image.h"
#include "services/paths.h"

#include <windows.h>
#include <shlobj.h>

#include <ctime>
#include <cwchar>

std::wstring image_file_name(const std::wstring& folder, const std::wstring& base, const std::tm& t, int n) {
    wchar_t stamp[64];
    std::swprintf(stamp, 64, L"%04d-%02d-%02d %02d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    std::wstring name = folder;
    if (!name.empty() && name.back() != L'\\' && name.back() != L'/') name += L'\\';
    name += base + L" " + stamp;
    if (n >= 2) name += L" (" + std::to_wstring(n) + L")";
    return name + L".png";
}

bool save_image_file(const std::wstring& folder, const std::wstring& base, const Bytes& image, std::wstring& path) {
    path.clear();
    if (folder.empty() || base.empty() || image.empty()) return false;
    const std::wstring dir = full_path(folder);
    const int made = SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        const DWORD attributes = GetFileAttributesW(dir.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }

    Bytes png;
    if (is_png(image)) png = image;
    else if (!dib_to_png(image, png)) return false;

    std::tm t{};
    local_time(std::time(nullptr), t);
    for (int n = 1; n <= 999; ++n) {
        const std::wstring candidate = image_file_name(dir, base, t, n);
        if (create_new_file(candidate, png)) {
            path = candidate;
            return true;
        }
        // Only a taken name is worth another try; anything else will fail again.
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}
