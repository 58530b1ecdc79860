#include "capture/link_title.h"

#include "services/encoding.h"
#include "services/text_util.h"

#include <array>
#include <optional>
#include <string_view>

namespace {

constexpr size_t kMaxTitle = 300;

const wchar_t kYoutubeShortHost[] = L"youtu.be";
const wchar_t kYoutubeDomain[] = L"youtube.com";
const wchar_t kYoutubeOembed[] = L"https://www.youtube.com/oembed?format=json&url=";
const wchar_t kRutubeDomain[] = L"rutube.ru";
const wchar_t kRutubeOembed[] = L"https://rutube.ru/api/oembed/?format=json&url=";

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
wchar_t ascii_lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

std::string ascii_lower_copy(const std::string& s) {
    std::string out(s);
    for (auto& c : out) c = ascii_lower(c);
    return out;
}

bool starts_with(const std::wstring& s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && std::wstring_view(s).substr(0, prefix.size()) == prefix;
}

bool ends_with(const std::wstring& s, std::wstring_view suffix) {
    return s.size() >= suffix.size() && std::wstring_view(s).substr(s.size() - suffix.size()) == suffix;
}

// The name of an entity (between '&' and ';'), decoded into out; false when
// it is not one the page title rules know.
bool decode_entity(const std::string& name, std::string& out) {
    static const std::array<std::pair<std::string_view, std::uint32_t>, 6> kNamed{{
        {"amp", '&'},
        {"lt", '<'},
        {"gt", '>'},
        {"quot", '"'},
        {"apos", '\''},
        {"nbsp", 0xA0},
    }};
    const std::string lower = ascii_lower_copy(name);
    for (const auto& [n, cp] : kNamed) {
        if (lower == n) {
            append_utf8(out, cp);
            return true;
        }
    }
    if (lower.size() < 2 || lower[0] != '#') return false;
    const bool hex = lower[1] == 'x';
    const size_t first = hex ? 2 : 1;
    if (first >= lower.size()) return false;
    std::uint32_t value = 0;
    for (size_t i = first; i < lower.size(); ++i) {
        const int d = hex ? hex_digit_value(lower[i]) : (lower[i] >= '0' && lower[i] <= '9' ? lower[i] - '0' : -1);
        if (d < 0) return false;
        value = value * (hex ? 16 : 10) + std::uint32_t(d);
        if (value > 0x10FFFF) return false;
    }
    if (value < 1) return false;
    append_utf8(out, value);
    return true;
}

std::string decode_entities(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            const size_t semi = text.find(';', i + 1);
            if (semi != std::string::npos && semi - i <= 10 && decode_entity(text.substr(i + 1, semi - i - 1), out)) {
                i = semi + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// The content of the first og:title / twitter:title meta tag that has one.
std::string meta_title(const std::string& body, const std::string& lower) {
    size_t pos = 0;
    for (;;) {
        const size_t start = lower.find("<meta", pos);
        if (start == std::string::npos) return {};
        const size_t end = lower.find('>', start);
        if (end == std::string::npos) return {};
        const std::string_view tag(lower.data() + start, end - start);
        pos = end + 1;
        if (tag.find("og:title") == std::string_view::npos && tag.find("twitter:title") == std::string_view::npos)
            continue;
        const size_t content = tag.find("content=");
        if (content == std::string_view::npos) continue;
        const size_t quote_at = content + 8;
        if (quote_at >= tag.size() || (tag[quote_at] != '"' && tag[quote_at] != '\'')) continue;
        const size_t close = tag.find(tag[quote_at], quote_at + 1);
        if (close == std::string_view::npos) continue;
        std::string value = body.substr(start + quote_at + 1, close - quote_at - 1);
        if (!value.empty()) return value;
    }
}

std::string title_element(const std::string& body, const std::string& lower) {
    const size_t open = lower.find("<title");
    if (open == std::string::npos) return {};
    const size_t gt = lower.find('>', open);
    if (gt == std::string::npos) return {};
    const size_t close = lower.find("</title", gt + 1);
    if (close == std::string::npos) return {};
    return body.substr(gt + 1, close - gt - 1);
}

// What lies between "://" and the path, query or fragment; nothing when the
// text has no "://".
std::optional<std::wstring> url_authority(const std::wstring& url) {
    const size_t scheme_end = url.find(L"://");
    if (scheme_end == std::wstring::npos) return std::nullopt;
    const size_t start = scheme_end + 3;
    const size_t end = url.find_first_of(L"/?#", start);
    return url.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

}  // namespace

std::uint32_t hex4_value(const std::string& text, size_t pos) {
    if (pos > text.size() || text.size() - pos < 4) return 0;
    std::uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        const int d = hex_digit_value(static_cast<unsigned char>(text[pos + i]));
        if (d < 0) return 0;
        v = v * 16 + std::uint32_t(d);
    }
    return v;
}

bool is_url(const std::wstring& text) {
    const std::wstring t = trim_blanks(text);
    if (t.empty()) return false;
    for (wchar_t c : t)
        if (is_blank(c)) return false;
    size_t prefix = 0;
    if (starts_with(t, L"https://")) {
        prefix = 8;
    } else if (starts_with(t, L"http://")) {
        prefix = 7;
    } else {
        if (t.size() < 8) return false;
        std::wstring head = t.substr(0, 8);
        for (auto& c : head) c = ascii_lower(c);
        if (starts_with(head, L"https://")) prefix = 8;
        else if (starts_with(head, L"http://")) prefix = 7;
        else return false;
    }
    return t.size() > prefix;
}

bool url_has_credentials(const std::wstring& url) {
    const std::optional<std::wstring> authority = url_authority(url);
    return authority && authority->find(L'@') != std::wstring::npos;
}

std::wstring url_host(const std::wstring& url) {
    std::optional<std::wstring> authority = url_authority(url);
    if (!authority) return {};
    std::wstring& host = *authority;
    const size_t at = host.rfind(L'@');
    if (at != std::wstring::npos) host.erase(0, at + 1);
    const size_t colon = host.find(L':');
    if (colon != std::wstring::npos) host.erase(colon);
    for (auto& c : host) c = ascii_lower(c);
    return host;
}

std::wstring percent_encode(const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char b : utf8_from_wide(text)) {
        const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                                b == '-' || b == '.' || b == '_' || b == '~';
        if (unreserved) {
            out += wchar_t(b);
        } else {
            out += L'%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::wstring oembed_endpoint(const std::wstring& url) {
    if (!is_url(url)) return {};
    const std::wstring host = url_host(url);
    if (host.empty()) return {};
    if (host == kYoutubeShortHost || host == kYoutubeDomain || ends_with(host, std::wstring(L".") + kYoutubeDomain))
        return kYoutubeOembed;
    if (host == kRutubeDomain || ends_with(host, std::wstring(L".") + kRutubeDomain)) return kRutubeOembed;
    return {};
}

std::wstring json_title(const std::string& body) {
    const size_t key = body.find("\"title\"");
    if (key == std::string::npos) return {};
    const size_t colon = body.find(':', key + 7);
    if (colon == std::string::npos) return {};
    const size_t open = body.find('"', colon + 1);
    if (open == std::string::npos) return {};

    std::string value;
    size_t i = open + 1;
    for (;;) {
        if (i >= body.size()) return {};  // no closing quote
        const char c = body[i];
        if (c == '"') break;
        if (c != '\\') {
            value += c;
            ++i;
            continue;
        }
        if (i + 1 >= body.size()) return {};
        const char e = body[i + 1];
        i += 2;
        switch (e) {
        case '"': value += '"'; break;
        case '\\': value += '\\'; break;
        case '/': value += '/'; break;
        case 'b': value += '\b'; break;
        case 'f': value += '\f'; break;
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case 'u': {
            if (body.size() - i < 4) return {};
            std::uint32_t cp = hex4_value(body, i);
            i += 4;
            if (cp >= 0xD800 && cp <= 0xDBFF && body.size() - i >= 6 && body[i] == '\\' && body[i + 1] == 'u') {
                const std::uint32_t low = hex4_value(body, i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    i += 6;
                }
            }
            if (cp != 0) append_utf8(value, cp);
            break;
        }
        default: return {};
        }
    }
    return normalize_title(wide_from_utf8(value));
}

std::wstring html_title(const std::string& body) {
    if (body.empty()) return {};
    const std::string lower = ascii_lower_copy(body);
    std::string value = meta_title(body, lower);
    if (value.empty()) value = title_element(body, lower);
    if (value.empty()) return {};
    return normalize_title(wide_from_utf8(decode_entities(value)));
}

std::wstring normalize_title(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    bool pending_space = false;
    for (wchar_t c : text) {
        if (is_blank(c)) {
            pending_space = !out.empty();
            continue;
        }
        if (pending_space) out += L' ';
        pending_space = false;
        out += c;
    }
    return ellipsize(out, kMaxTitle);
}

std::wstring link_url_of(const std::wstring& text, bool is_browser_page, const std::wstring& source_url,
                         const std::wstring& fallback_url) {
    if (is_url(text)) return trim_blanks(text);
    if (!fallback_url.empty()) return fallback_url;
    if (is_browser_page && !source_url.empty()) return source_url;
    return {};
}

std::wstring rutube_page_url(const std::string& html) {
    if (html.find("rutube.ru/api/video") == std::string::npos) return {};
    const size_t preview = html.find("/preview/");
    if (preview == std::string::npos) return {};
    const size_t start = preview + 9;
    if (html.size() - start < 32) return {};
    std::wstring id;
    for (size_t i = start; i < start + 32; ++i) {
        if (hex_digit_value(static_cast<unsigned char>(html[i])) < 0) return {};
        id += wchar_t(static_cast<unsigned char>(html[i]));
    }
    return L"https://rutube.ru/video/" + id + L"/";
}

std::wstring strip_title_suffix(const std::wstring& title) {
    static const std::array<std::wstring, 8> kSuffixes{
        L" - google chrome",
        L" \u2014 \u044f\u043d\u0434\u0435\u043a\u0441",  // " — яндекс"
        L" \u2014 youtube",
        L" - youtube",
        L" | rutube",
        L" | \u0440\u0443\u0442\u0443\u0431",                                                   // " | рутуб"
        L" - \u0441\u043c\u043e\u0442\u0440\u0435\u0442\u044c \u0432\u0438\u0434\u0435\u043e",  // " - смотреть видео"
        L": \u0432\u043e\u0441\u043f\u0440\u043e\u0438\u0437\u0432\u043e\u0434\u0438\u0442\u0441\u044f "
        L"\u0430\u0443\u0434\u0438\u043e",  // ": воспроизводится аудио"
    };
    auto drop_trailing_blanks = [](std::wstring s) {
        while (!s.empty() && is_blank(s.back())) s.pop_back();
        return s;
    };
    std::wstring t = drop_trailing_blanks(title);
    if (t.empty()) return t;
    std::wstring lower = t;
    for (auto& c : lower) {
        if (c >= L'A' && c <= L'Z') c = wchar_t(c + 32);
        else if (c >= 0x0410 && c <= 0x042F) c = wchar_t(c + 0x20);
    }
    size_t cut = std::wstring::npos;
    for (const auto& suffix : kSuffixes) {
        const size_t at = lower.find(suffix);
        if (at < cut) cut = at;
    }
    if (cut != std::wstring::npos) t.erase(cut);
    return drop_trailing_blanks(t);
}
