#include "app/ini_file.h"

#include "app/ini_values.h"
#include "services/file_io.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kSection = L"Settings";
constexpr DWORD kValueBuffer = 4096;

// A settings file of more than 64 MiB is not ours; leave it untouched.
constexpr std::uint64_t kMaxSettingsFile = 64ull << 20;

bool has_bom(const std::string& bytes) {
    auto starts = [&](const char* bom, size_t n) { return bytes.size() >= n && bytes.compare(0, n, bom, n) == 0; };
    return starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2) || starts("\xEF\xBB\xBF", 3);
}

}  // namespace

std::wstring ini_read_string(const std::wstring& path, const wchar_t* key, const std::wstring& fallback) {
    std::wstring buffer(kValueBuffer, L'\0');
    buffer[0] = L'\0';
    const DWORD n =
        GetPrivateProfileStringW(kSection, key, fallback.c_str(), buffer.data(), kValueBuffer, path.c_str());
    buffer.resize(std::min<DWORD>(n, kValueBuffer - 1));
    // The count and the terminator agree on Windows; trust the terminator.
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    return buffer;
}

bool ini_read_bool(const std::wstring& path, const wchar_t* key, bool fallback) {
    return ini_bool_from_text(ini_read_string(path, key, ini_text_from_bool(fallback)));
}

int ini_read_int(const std::wstring& path, const wchar_t* key, int fallback) {
    return ini_int_from_text(ini_read_string(path, key, std::to_wstring(fallback))).value_or(fallback);
}

void ini_write_string(const std::wstring& path, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(kSection, key, value.c_str(), path.c_str());
}

void ini_write_bool(const std::wstring& path, const wchar_t* key, bool value) {
    WritePrivateProfileStringW(kSection, key, ini_text_from_bool(value), path.c_str());
}

void ini_write_int(const std::wstring& path, const wchar_t* key, int value) {
    ini_write_string(path, key, std::to_wstring(value));
}

bool ini_ensure_unicode(const std::wstring& path) {
    std::string bytes;
    const FileRead read = read_whole_file(path, bytes, kMaxSettingsFile);
    if (read == FileRead::Failed) return false;
    static const std::string kBom = "\xFF\xFE";
    if (read == FileRead::Missing) return create_new_file(path, kBom) || GetLastError() == ERROR_FILE_EXISTS;
    if (has_bom(bytes)) return true;
    if (bytes.empty()) return write_file_atomic(path, kBom);

    // An ANSI file from an earlier run: the same text, as UTF-16LE.
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    std::string unicode = kBom;
    unicode.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return write_file_atomic(path, unicode);
}
