#include "config/printf_format.h"

#include <vector>

namespace {

struct Directive {
    bool left = false, zero = false, plus = false, space = false, alt = false;
    size_t width = 0;
    std::optional<size_t> precision;
};

std::wstring digits_of(std::uint64_t value, unsigned base, bool upper) {
    const wchar_t* set = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring out;
    do {
        out.insert(out.begin(), set[value % base]);
        value /= base;
    } while (value);
    return out;
}

void pad_into(std::wstring& out, const Directive& directive, std::wstring_view prefix, std::wstring body,
              bool numeric) {
    if (numeric && directive.precision) {
        if (*directive.precision == 0 && body == L"0") body.clear();
        if (body.size() < *directive.precision) body.insert(0, *directive.precision - body.size(), L'0');
    }
    const size_t len = prefix.size() + body.size();
    const size_t fill = directive.width > len ? directive.width - len : 0;
    if (directive.left) {
        out.append(prefix).append(body).append(fill, L' ');
    } else if (directive.zero && numeric && !directive.precision) {
        out.append(prefix).append(fill, L'0').append(body);
    } else {
        out.append(fill, L' ').append(prefix).append(body);
    }
}

// Digits at f[i], if any; false when there are too many for any sane width.
bool read_number(std::wstring_view f, size_t& i, std::optional<size_t>& out) {
    out.reset();
    size_t n = 0;
    while (i < f.size() && f[i] >= L'0' && f[i] <= L'9') {
        n = n * 10 + static_cast<size_t>(f[i++] - L'0');
        if (n > 4096) return false;  // no text of ours is that wide
        out = n;
    }
    return true;
}

}  // namespace

std::optional<std::wstring> format_printf(std::wstring_view f, std::initializer_list<FormatArg> list) {
    const std::vector<FormatArg> args(list);
    size_t next_arg = 0;
    std::wstring out;
    for (size_t i = 0; i < f.size();) {
        if (f[i] != L'%') {
            out.push_back(f[i++]);
            continue;
        }
        ++i;
        if (i < f.size() && f[i] == L'%') {
            out.push_back(L'%');
            ++i;
            continue;
        }
        Directive directive;
        for (; i < f.size(); ++i) {
            const wchar_t c = f[i];
            if (c == L'-') directive.left = true;
            else if (c == L'0') directive.zero = true;
            else if (c == L'+') directive.plus = true;
            else if (c == L' ') directive.space = true;
            else if (c == L'#') directive.alt = true;
            else break;
        }
        std::optional<size_t> number;
        if (!read_number(f, i, number)) return std::nullopt;
        directive.width = number.value_or(0);
        if (i < f.size() && f[i] == L'.') {
            ++i;
            if (!read_number(f, i, number)) return std::nullopt;
            directive.precision = number.value_or(0);
        }
        // Length modifiers: every argument already carries its own size.
        for (;;) {
            if (i < f.size() && std::wstring_view(L"hlLjztw").find(f[i]) != std::wstring_view::npos) {
                ++i;
            } else if (f.substr(i, 3) == L"I64" || f.substr(i, 3) == L"I32") {
                i += 3;
            } else {
                break;
            }
        }
        if (i >= f.size() || next_arg >= args.size()) return std::nullopt;
        const wchar_t conv = f[i++];
        const FormatArg& arg = args[next_arg++];
        switch (conv) {
        case L's':
        case L'S': {
            if (!arg.is_text()) {
                const std::int64_t v = arg.number();
                std::wstring body = arg.is_unsigned()
                                        ? digits_of(static_cast<std::uint64_t>(v), 10, false)
                                        : (v < 0 ? L"-" : L"") + digits_of(v < 0 ? 0 - static_cast<std::uint64_t>(v)
                                                                                 : static_cast<std::uint64_t>(v),
                                                                           10, false);
                pad_into(out, directive, L"", body, false);
                break;
            }
            std::wstring_view text = arg.text();
            if (directive.precision && text.size() > *directive.precision) text = text.substr(0, *directive.precision);
            pad_into(out, directive, L"", std::wstring(text), false);
            break;
        }
        case L'c':
            if (arg.is_text()) return std::nullopt;
            pad_into(out, directive, L"", std::wstring(1, static_cast<wchar_t>(arg.number())), false);
            break;
        case L'd':
        case L'i': {
            if (arg.is_text()) return std::nullopt;
            const std::int64_t v = arg.number();
            const bool negative = v < 0 && !arg.is_unsigned();
            const std::uint64_t magnitude =
                negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
            const wchar_t* sign = negative ? L"-" : directive.plus ? L"+" : directive.space ? L" " : L"";
            pad_into(out, directive, sign, digits_of(magnitude, 10, false), true);
            break;
        }
        case L'u':
        case L'x':
        case L'X':
        case L'o': {
            if (arg.is_text()) return std::nullopt;
            std::uint64_t v = static_cast<std::uint64_t>(arg.number());
            // A negative int shows as its 32-bit pattern, as printf would.
            if (!arg.is_unsigned() && arg.number() < 0 && arg.number() >= INT32_MIN) v &= 0xFFFFFFFFu;
            const unsigned base = conv == L'u' ? 10 : conv == L'o' ? 8 : 16;
            std::wstring_view prefix;
            if (directive.alt && v != 0)
                prefix = conv == L'x' ? L"0x" : conv == L'X' ? L"0X" : conv == L'o' ? L"0" : L"";
            pad_into(out, directive, prefix, digits_of(v, base, conv == L'X'), true);
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}
