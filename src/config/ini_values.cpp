#include "config/ini_values.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>

bool ini_bool_from_text(const std::wstring& text) { return text == L"true" || text == L"1"; }

const wchar_t* ini_text_from_bool(bool value) { return value ? L"true" : L"false"; }

std::optional<int> ini_int_from_text(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    const size_t first_digit = i;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > std::int64_t(INT32_MAX) + 1) return std::nullopt;  // stops the growth early
    }
    if (i == first_digit) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

namespace {

constexpr std::size_t kMaxValue = 4095;

std::wstring_view trim_ini_blanks(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring ini_value_as_read(std::wstring_view text) {
    text = trim_ini_blanks(text);
    const bool quoted =
        text.size() >= 2 && (text.front() == L'"' || text.front() == L'\'') && text.back() == text.front();
    if (!quoted) return std::wstring(text.substr(0, kMaxValue));
    // As the system does it: the closing quote goes only when the value fitted.
    std::wstring inner(text.substr(1, kMaxValue));
    if (text.size() - 1 <= kMaxValue + 1) inner.pop_back();
    return inner;
}

IniSection::IniSection(std::wstring_view lines) {
    while (!lines.empty()) {
        const std::size_t end = std::min(lines.find(L'\0'), lines.size());
        const std::wstring_view line = lines.substr(0, end);
        lines.remove_prefix(std::min(end + 1, lines.size()));
        // A line without "=" names no value.
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) continue;
        entries_.emplace_back(trim_ini_blanks(line.substr(0, equals)), line.substr(equals + 1));
    }
}

std::wstring IniSection::value(const wchar_t* key, const std::wstring& fallback) const {
    for (const auto& [name, text] : entries_)
        if (_wcsicmp(name.c_str(), key) == 0) return ini_value_as_read(text);
    return fallback.substr(0, fallback.find_last_not_of(L' ') + 1);
}
