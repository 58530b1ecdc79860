#include "services/text_util.h"

#include "services/clock.h"
#include "services/encoding.h"

#include <windows.h>
#include <lmcons.h>

#include <algorithm>
#include <ctime>
#include <cwctype>
#include <string_view>

namespace {

bool is_blank(wchar_t c) { return c == L'\t' || c == L'\n' || c == L'\r' || c == L' '; }

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The C runtime maps only ASCII in its default locale; the system's own
// tables know every script the user may paste.
wchar_t to_upper(wchar_t c) {
    return static_cast<wchar_t>(
        reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}
wchar_t to_lower(wchar_t c) {
    return static_cast<wchar_t>(
        reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// to_lower of every code unit, made once: the search folds each character of
// long texts, where a call to the system per character is the whole cost. The
// surrogate halves are left out of the calls: alone, as to_lower sees them,
// they stay as they are.
const wchar_t* lowered_code_units() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (std::size_t c = 0; c < units.size(); ++c) units[c] = static_cast<wchar_t>(c);
        CharLowerBuffW(units.data(), 0xD800);
        CharLowerBuffW(units.data() + 0xE000, 0x2000);
        return units;
    }();
    return table.data();
}

// Whether name, each letter lower-cased, is lower (in lower case already).
bool equals_lowered(std::wstring_view name, std::wstring_view lower) {
    return std::ranges::equal(name, lower, {}, [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
}

// The header name of "HTML Format" that carries the page's address, in any
// letter case (not trimmed).
bool is_source_url_name(std::wstring_view name) { return equals_lowered(name, L"sourceurl"); }

struct TemplateVariable {
    std::wstring_view name;  // lower case; typed in any
    std::wstring TemplateValues::*value;
};
constexpr TemplateVariable kTemplateVariables[] = {
    {L"date", &TemplateValues::date},         {L"d", &TemplateValues::date},
    {L"time", &TemplateValues::time},         {L"t", &TemplateValues::time},
    {L"datetime", &TemplateValues::datetime}, {L"year", &TemplateValues::year},
    {L"user", &TemplateValues::user},         {L"username", &TemplateValues::user}};
constexpr size_t kLongestTemplateName =
    std::ranges::max(kTemplateVariables, {}, [](const TemplateVariable& v) { return v.name.size(); }).name.size();

// The value of the variable called name; null when there is none.
const std::wstring* template_value(std::wstring_view name, const TemplateValues& values) {
    for (const TemplateVariable& variable : kTemplateVariables)
        if (equals_lowered(name, variable.name)) return &(values.*variable.value);
    return nullptr;
}

bool is_title_boundary(wchar_t c) {
    switch (c) {
    case L'\t':
    case L'\n':
    case L'\r':
    case L' ':
    case L'!':
    case L',':
    case L'-':
    case L'.':
    case L':':
    case L';':
    case L'?': return true;
    default: return false;
    }
}

}  // namespace

std::wstring with_crlf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

std::wstring with_breaks_of(const std::wstring& edited, const std::wstring& original) {
    const std::size_t first_break = original.find(L'\n');
    const bool bare_lf = first_break != std::wstring::npos && (first_break == 0 || original[first_break - 1] != L'\r');
    if (!bare_lf) return edited;
    std::wstring out;
    out.reserve(edited.size());
    for (std::size_t i = 0; i < edited.size(); ++i)
        if (!(edited[i] == L'\r' && i + 1 < edited.size() && edited[i + 1] == L'\n')) out += edited[i];
    return out;
}

std::wstring trim_blanks(const std::wstring& text) {
    size_t b = 0, e = text.size();
    while (b < e && is_blank(text[b])) ++b;
    while (e > b && is_blank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::wstring cut_code_units(const std::wstring& text, size_t n) {
    if (text.size() <= n) return text;
    if (n > 0 && is_high_surrogate(text[n - 1]) && is_low_surrogate(text[n])) --n;
    return text.substr(0, n);
}

std::wstring ellipsize(const std::wstring& text, size_t n) {
    if (text.size() <= n) return text;
    return cut_code_units(text, n) + L'\u2026';
}

std::wstring html_source_url(const std::wstring& html) {
    const std::wstring_view text = html;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring_view::npos) end = text.size();
        // The colon is looked for within the line only: a block of many lines
        // without one must not be searched to its end once per line.
        const std::wstring_view line = text.substr(pos, end - pos);
        const size_t colon = line.find(L':');
        if (colon != std::wstring_view::npos && is_source_url_name(line.substr(0, colon)))
            return trim_blanks(std::wstring(line.substr(colon + 1)));
        // A CR LF pair ends one line, as do a lone CR and a lone LF.
        if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ++end;
        pos = end + 1;
    }
    return {};
}

std::wstring html_source_url_bytes(const std::string& data) { return html_source_url(wide_from_utf8(data)); }

std::wstring html_source_url_bytes(const std::vector<std::uint8_t>& data) {
    return html_source_url_bytes(std::string(data.begin(), data.end()));
}

bool contains_lowered(std::wstring_view text, std::wstring_view needle) {
    if (needle.empty()) return true;
    const wchar_t* lowered = lowered_code_units();
    const auto same = [lowered](wchar_t t, wchar_t n) { return lowered[static_cast<std::uint16_t>(t)] == n; };
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), same) != text.end();
}

std::wstring transform_text(const std::wstring& text, std::uint32_t mode) {
    if (text.empty() || mode > kTransformJoinLines) return text;
    std::wstring out;
    out.reserve(text.size());
    switch (mode) {
    case kTransformUpper:
        for (wchar_t c : text) out += to_upper(c);
        break;
    case kTransformLower:
        for (wchar_t c : text) out += to_lower(c);
        break;
    case kTransformTitle: {
        bool cap = true;
        for (wchar_t c : text) {
            if (is_title_boundary(c)) {
                cap = true;
                out += c;
            } else {
                out += cap ? to_upper(c) : to_lower(c);
                cap = false;
            }
        }
        break;
    }
    case kTransformSentence: {
        bool cap = true;
        for (wchar_t c : text) {
            if (c == L'\t' || c == L'\n' || c == L'\r' || c == L' ') {
                out += c;
            } else if (c == L'.' || c == L'!' || c == L'?') {
                out += c;
                cap = true;
            } else {
                out += cap ? to_upper(c) : to_lower(c);
                cap = false;
            }
        }
        break;
    }
    case kTransformSwapCase:
        for (wchar_t c : text) {
            if (IsCharUpperW(c)) out += to_lower(c);
            else if (IsCharLowerW(c)) out += to_upper(c);
            else out += c;
        }
        break;
    case kTransformTrim: {
        size_t b = 0, e = text.size();
        while (b < e && std::iswspace(text[b])) ++b;
        while (e > b && std::iswspace(text[e - 1])) --e;
        out = text.substr(b, e - b);
        break;
    }
    case kTransformJoinLines:
        for (wchar_t c : text)
            if (c != L'\r' && c != L'\n') out += c;
        break;
    }
    return out;
}

std::wstring expand_template_with(const std::wstring& text, const TemplateValues& v) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        // A '{' opens a variable only when a known name and its '}' follow within the longest name's reach: looking
        // no further keeps a text full of braces that open nothing as cheap as any other text.
        if (text[i] == L'{') {
            const std::wstring_view reach = std::wstring_view(text).substr(i + 1, kLongestTemplateName + 1);
            const size_t close = reach.find(L'}');
            const std::wstring* value =
                close == std::wstring_view::npos ? nullptr : template_value(reach.substr(0, close), v);
            if (value) {
                out += *value;
                i += close + 2;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::wstring expand_template(const std::wstring& text) {
    TemplateValues v;
    std::tm tm{};
    if (local_time(std::time(nullptr), tm)) {
        wchar_t buf[64];
        auto fmt = [&](const wchar_t* f) {
            const size_t n = std::wcsftime(buf, 64, f, &tm);
            return std::wstring(buf, n);
        };
        v.date = fmt(L"%d.%m.%Y");
        v.time = fmt(L"%H:%M");
        v.datetime = fmt(L"%d.%m.%Y %H:%M");
        v.year = fmt(L"%Y");
    }
    wchar_t name[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (GetUserNameW(name, &size) && size > 0) v.user.assign(name, size - 1);
    return expand_template_with(text, v);
}
