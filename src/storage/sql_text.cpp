#include "storage/sql_text.h"

#include <cwctype>
#include <limits>

std::wstring sql_quote(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 2);
    out += L'\'';
    for (wchar_t c : text) {
        if (c == L'\'') out += L'\'';
        out += c;
    }
    out += L'\'';
    return out;
}

std::wstring join_ids(const std::vector<std::int64_t>& ids) {
    std::wstring out;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i) out += L',';
        out += std::to_wstring(ids[i]);
    }
    return out;
}

std::wstring pinned_case_expr(const std::wstring& alias) {
    const std::wstring p = alias.empty() ? std::wstring() : alias + L".";
    return L"CASE WHEN " + p + L"pinned=1 OR (" + p +
           L"category_id IN (SELECT id FROM categories WHERE pinned=1) AND " + p +
           L"cat_pin_override=0) THEN 1 ELSE 0 END";
}

const wchar_t kUnprotectedCondition[] =
    L"pinned=0 AND (category_id IS NULL OR category_id NOT IN (SELECT id FROM categories WHERE pinned=1) "
    L"OR cat_pin_override=1)";

const wchar_t kManualOrder[] = L"sort_order DESC, id ASC";

std::wstring sql_category(std::optional<std::int64_t> category) {
    return category ? std::to_wstring(*category) : std::wstring(L"NULL");
}

std::optional<std::int64_t> parse_int64(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return std::nullopt;
    // Accumulate towards the negative side, which holds the one extra value.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int digit = text[i] - L'0';
        if (value < (kMin + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == kMin) return std::nullopt;
        value = -value;
    }
    return value;
}

std::int64_t int64_or(const std::wstring& text, std::int64_t fallback) { return parse_int64(text).value_or(fallback); }
