#include "config/ini_values.h"

#include <cstdint>
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
