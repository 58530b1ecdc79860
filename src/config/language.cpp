#include "config/language.h"

#include "config/language_file.h"

#include "services/file_io.h"
#include "services/handles.h"
#include "services/text_util.h"

#include <windows.h>

#include <mutex>
#include <set>

namespace {

constexpr size_t kMaxFormatted = 4095;
// A language file is a few hundred lines; anything far larger is not one.
constexpr std::uint64_t kMaxLanguageFile = 16ull << 20;

struct LanguageState {
    std::mutex mutex;
    std::wstring code;
    LanguageTable table;
    // Keys without a text, kept for good: set nodes never move, so every
    // reference tr has handed out for a missing key stays valid.
    std::set<std::wstring, std::less<>> missing;
};

LanguageState& state() {
    static LanguageState s;
    return s;
}

}  // namespace

std::wstring language_dir() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    const std::wstring path(buffer, n);
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    return path.substr(0, slash + 1) + L"lang\\";
}

bool load_language(const std::wstring& code, const std::wstring& folder) {
    LanguageState& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.table.clear();
    }
    std::wstring dir = folder.empty() ? language_dir() : folder;
    if (dir.empty()) return false;
    if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    std::string content;
    if (read_whole_file(dir + code + L".ini", content, kMaxLanguageFile) != FileRead::Ok) return false;
    LanguageTable table = parse_language_file(std::move(content));
    std::lock_guard lock(s.mutex);
    s.table = std::move(table);
    return true;
}

bool is_allowed_language(const std::wstring& code) { return code != L"uk"; }

void set_language(const std::wstring& code) {
    LanguageState& s = state();
    std::wstring chosen = is_allowed_language(code) ? code : L"ru";
    {
        std::lock_guard lock(s.mutex);
        s.code = chosen;
    }
    load_language(chosen);
}

const std::wstring& current_language() { return state().code; }

std::vector<std::wstring> available_languages_in(const std::wstring& folder) {
    std::wstring dir = folder.empty() ? language_dir() : folder;
    if (dir.empty()) return {L"ru"};
    if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    std::set<std::wstring> codes{L"ru"};
    WIN32_FIND_DATAW found{};
    ScopedFindHandle find(FindFirstFileW((dir + L"*.ini").c_str(), &found));
    if (find) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring name = found.cFileName;
            if (name.size() <= 4 || name.compare(name.size() - 4, 4, L".ini") != 0) continue;
            std::wstring code = name.substr(0, name.size() - 4);
            if (is_allowed_language(code)) codes.insert(std::move(code));
        } while (FindNextFileW(find.get(), &found));
    }
    return {codes.begin(), codes.end()};
}

std::vector<std::wstring> available_languages() { return available_languages_in({}); }

std::wstring language_native_name(const std::wstring& code) {
    static const std::pair<const wchar_t*, const wchar_t*> kNames[] = {
        {L"ru", L"Русский"},  {L"en", L"English"},  {L"de", L"Deutsch"}, {L"es", L"Español"},
        {L"fr", L"Français"}, {L"it", L"Italiano"}, {L"pl", L"Polski"},  {L"pt", L"Português"},
    };
    for (const auto& [c, name] : kNames)
        if (code == c) return name;
    return code;
}

const std::wstring& tr(std::wstring_view key) {
    LanguageState& s = state();
    std::lock_guard lock(s.mutex);
    if (auto it = s.table.find(key); it != s.table.end()) return it->second;
    if (auto it = s.missing.find(key); it != s.missing.end()) return *it;
    return *s.missing.emplace(key).first;
}

std::wstring tr_format_args(std::wstring_view key, std::initializer_list<FormatArg> args) {
    const std::wstring format = tr(key);
    std::optional<std::wstring> text = format_printf(format, args);
    if (!text) return std::wstring(key);
    return cut_code_units(*text, kMaxFormatted);
}
