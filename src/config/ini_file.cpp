#include "config/ini_file.h"

#include "config/ini_values.h"
#include "services/file_io.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

constexpr const wchar_t* kSection = L"Settings";
constexpr DWORD kValueBuffer = 4096;

// A settings file of more than 64 MiB is not ours; leave it untouched.
constexpr std::uint64_t kMaxSettingsFile = 64ull << 20;

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A UTF-16 file is left as it is. The UTF-8 mark is no mark to the profile
// functions of Windows (Wine's know it): they would read it as ANSI text
// before the first section, find no section, and append the next save in
// ANSI, so such a file is converted like UTF-8 without a mark.
bool has_utf16_mark(std::string_view bytes) { return bytes.starts_with(kUtf16Mark) || bytes.starts_with("\xFE\xFF"); }

// Valid UTF-8 with at least one byte above 0x7F: what an editor writes, and
// what ANSI text in practice never is.
bool is_non_ascii_utf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                               0) > 0;
}

// A file without a UTF-16 mark rewritten as UTF-16LE with one, decoded as
// UTF-8 when it carries the UTF-8 mark (which goes) or is UTF-8, and as the
// ANSI code page otherwise.
bool rewrite_as_unicode(const std::wstring& path, std::string_view bytes) {
    const bool marked = bytes.starts_with(kUtf8Mark);
    if (marked) bytes.remove_prefix(kUtf8Mark.size());
    std::string unicode(kUtf16Mark);
    if (bytes.empty()) return write_file_atomic(path, unicode);
    const UINT code_page = marked || is_non_ascii_utf8(bytes) ? CP_UTF8 : CP_ACP;
    const int n = MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    unicode.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return write_file_atomic(path, unicode);
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

std::optional<IniSection> ini_read_section(const std::wstring& path) {
    // The call says that the buffer was too small by filling all but two of it.
    for (DWORD size = 16384; size <= (DWORD(1) << 22); size *= 4) {
        std::wstring buffer(size, L'\0');
        const DWORD n = GetPrivateProfileSectionW(kSection, buffer.data(), size, path.c_str());
        if (n < size - 2) return IniSection(std::wstring_view(buffer.data(), n));
    }
    return std::nullopt;
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
    if (read == FileRead::Missing) return create_new_file(path, kUtf16Mark) || GetLastError() == ERROR_FILE_EXISTS;
    if (has_utf16_mark(bytes)) return true;

    // An ANSI file from an earlier run, or UTF-8 from an editor: the same
    // text, as UTF-16LE.
    return rewrite_as_unicode(path, bytes);
}

bool ini_adopt_utf8(const std::wstring& path) {
    std::string bytes;
    const FileRead read = read_whole_file(path, bytes, kMaxSettingsFile);
    if (read == FileRead::Missing) return true;
    if (read == FileRead::Failed) return false;
    if (has_utf16_mark(bytes)) return true;
    if (!std::string_view(bytes).starts_with(kUtf8Mark) && !is_non_ascii_utf8(bytes)) return true;
    return rewrite_as_unicode(path, bytes);
}
