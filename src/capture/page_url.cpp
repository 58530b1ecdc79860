#include "capture/page_url.h"

#include <array>
#include <string_view>

namespace {

bool starts_with(const std::wstring& s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && std::wstring_view(s).substr(0, prefix.size()) == prefix;
}

bool has_scheme(const std::wstring& s) { return starts_with(s, L"http://") || starts_with(s, L"https://"); }

bool looks_like_bare_address(const std::wstring& s) {
    if (s.empty()) return false;
    const wchar_t first = s[0];
    if (!((first >= L'a' && first <= L'z') || (first >= L'A' && first <= L'Z'))) return false;
    return s.find_first_of(L" \t") == std::wstring::npos && s.find(L'.') != std::wstring::npos;
}

}  // namespace

bool is_internal_url(const std::wstring& text) {
    static const std::array<std::wstring_view, 6> kPrefixes{
        L"chrome://", L"filesystem:", L"about:", L"edge://", L"internal:", L"view-source:",
    };
    for (auto prefix : kPrefixes)
        if (starts_with(text, prefix)) return true;
    return false;
}

std::wstring pick_page_url(const std::vector<AccessibleValue>& values) {
    for (const auto& v : values) {
        if (v.role == kRoleLink || is_internal_url(v.value)) continue;
        if (has_scheme(v.value)) return v.value;
        if (looks_like_bare_address(v.value)) return L"https://" + v.value;
    }
    return {};
}
