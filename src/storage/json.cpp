#include "storage/json.h"

#include "services/encoding.h"

#include <stdexcept>
#include <utility>

JsonValue::JsonValue() = default;
JsonValue::JsonValue(std::string utf8) : kind(kString), str_value(std::move(utf8)) {}
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
JsonValue::~JsonValue() = default;

JsonValue JsonValue::make_bool(bool value) {
    JsonValue v;
    v.kind = kBool;
    v.bool_value = value ? 1 : 0;
    return v;
}

JsonValue JsonValue::make_integer(std::int64_t value) {
    JsonValue v;
    v.kind = kInteger;
    v.int_value = value;
    return v;
}

JsonValue JsonValue::make_array() {
    JsonValue v;
    v.kind = kArray;
    return v;
}

JsonValue JsonValue::make_object() {
    JsonValue v;
    v.kind = kObject;
    return v;
}

void JsonValue::add_member(const std::string& key, const JsonValue& value) {
    members.push_back(JsonMember{key, value});
}

bool json_get_bool(const JsonValue& object, const std::string& key, bool fallback) {
    for (const JsonMember& m : object.members) {
        if (m.key == key && m.value.kind == JsonValue::kBool) return m.value.bool_value != 0;
    }
    return fallback;
}

std::string json_get_string(const JsonValue& object, const std::string& key, const std::string& fallback) {
    for (const JsonMember& m : object.members) {
        if (m.key == key && m.value.kind == JsonValue::kString) return m.value.str_value;
    }
    return fallback;
}

// ------------------------------------------------------------------ reader

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error("expected " + what); }

bool at_end(const JsonCursor& c) { return c.pos >= c.text.size(); }

// The end of the text reads as 0.
char json_skip_blanks(JsonCursor& c) {
    while (!at_end(c)) {
        const char ch = c.text[c.pos];
        if (ch != ' ' && ch != '\t' && ch != '\n' && ch != '\r') return ch;
        ++c.pos;
    }
    return 0;
}

char json_next_char(JsonCursor& c) {
    const char ch = json_skip_blanks(c);
    if (ch != 0) ++c.pos;
    return ch;
}

void json_expect(JsonCursor& c, char wanted) {
    if (json_next_char(c) != wanted) fail(std::string(1, wanted));
}

// Four hex digits at the cursor, consumed. A cut-off or non-hex escape is
// malformed input rather than something to guess at.
std::uint32_t read_hex4(JsonCursor& c) {
    if (c.text.size() - c.pos < 4) fail("four hex digits after \\u");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const int d = hex_digit_value(c.text[c.pos + i]);
        if (d < 0) fail("four hex digits after \\u");
        v = (v << 4) | std::uint32_t(d);
    }
    c.pos += 4;
    return v;
}

bool is_hex4_at(const JsonCursor& c, std::uint64_t pos) {
    if (pos > c.text.size() || c.text.size() - pos < 4) return false;
    for (int i = 0; i < 4; ++i) {
        if (hex_digit_value(c.text[pos + i]) < 0) return false;
    }
    return true;
}

// The cursor stands behind "\u". A high surrogate takes the low one of a
// following "\uXXXX"; a surrogate without its partner cannot be UTF-8 and
// becomes U+FFFD, the following escape then being read on its own.
void read_unicode_escape(JsonCursor& c, std::string& out) {
    const std::uint32_t unit = read_hex4(c);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        const std::uint64_t p = c.pos;
        if (c.text.size() - p >= 6 && c.text[p] == '\\' && c.text[p + 1] == 'u' && is_hex4_at(c, p + 2)) {
            JsonCursor probe{c.text, p + 2};
            const std::uint32_t low = read_hex4(probe);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c.pos = probe.pos;
                append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return;
            }
        }
        append_utf8(out, 0xFFFD);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        append_utf8(out, 0xFFFD);
    } else {
        append_utf8(out, unit);
    }
}

// The end of the text ends a string without error; an unterminated string
// inside an array or object still fails there.
std::string json_parse_string(JsonCursor& c) {
    json_expect(c, '"');
    std::string out;
    while (!at_end(c)) {
        const char ch = c.text[c.pos++];
        if (ch == '"') return out;
        if (ch != '\\') {
            out += ch;
            continue;
        }
        if (at_end(c)) break;
        const char esc = c.text[c.pos++];
        switch (esc) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': read_unicode_escape(c, out); break;
        // A quote, a slash, a backslash and anything unknown stand for
        // themselves.
        default: out += esc; break;
        }
    }
    return out;
}

JsonValue parse_integer(JsonCursor& c) {
    bool negative = false;
    if (c.text[c.pos] == '-') {
        negative = true;
        ++c.pos;
    }
    const std::uint64_t limit = negative ? (std::uint64_t(1) << 63) : ((std::uint64_t(1) << 63) - 1);
    std::uint64_t magnitude = 0;
    while (!at_end(c) && c.text[c.pos] >= '0' && c.text[c.pos] <= '9') {
        const std::uint64_t d = std::uint64_t(c.text[c.pos] - '0');
        if (magnitude > (limit - d) / 10) fail("an integer within the signed 64-bit range");
        magnitude = magnitude * 10 + d;
        ++c.pos;
    }
    std::int64_t value;
    if (!negative) {
        value = std::int64_t(magnitude);
    } else if (magnitude == (std::uint64_t(1) << 63)) {
        value = INT64_MIN;
    } else {
        value = -std::int64_t(magnitude);
    }
    return JsonValue::make_integer(value);
}

// Literals are recognised by their first letter; a literal cut off by the
// end of the text consumes only what is there.
void skip_literal(JsonCursor& c, std::uint64_t length) {
    const std::uint64_t left = c.text.size() - c.pos;
    c.pos += length < left ? length : left;
}

JsonValue parse_value(JsonCursor& c, int depth);

JsonValue parse_array(JsonCursor& c, int depth) {
    ++c.pos;  // the opening bracket
    JsonValue array = JsonValue::make_array();
    if (json_skip_blanks(c) == ']') {
        ++c.pos;
        return array;
    }
    for (;;) {
        array.items.push_back(parse_value(c, depth));
        const char ch = json_next_char(c);
        if (ch == ']') return array;
        if (ch == 0) fail("]");
        // Any other character separates the elements.
    }
}

JsonValue parse_object(JsonCursor& c, int depth) {
    ++c.pos;  // the opening brace
    JsonValue object = JsonValue::make_object();
    if (json_skip_blanks(c) == '}') {
        ++c.pos;
        return object;
    }
    for (;;) {
        std::string key = json_parse_string(c);
        json_expect(c, ':');
        JsonValue value = parse_value(c, depth);
        object.members.push_back(JsonMember{std::move(key), std::move(value)});
        const char ch = json_next_char(c);
        if (ch == '}') return object;
        // Any other character separates the members; the end of the text
        // fails at the next key.
    }
}

JsonValue parse_value(JsonCursor& c, int depth) {
    const char ch = json_skip_blanks(c);
    if (ch == '"') return JsonValue(json_parse_string(c));
    if (ch == '-' || (ch >= '0' && ch <= '9')) return parse_integer(c);
    if (ch == 't') {
        skip_literal(c, 4);
        return JsonValue::make_bool(true);
    }
    if (ch == 'f') {
        skip_literal(c, 5);
        return JsonValue::make_bool(false);
    }
    if (ch == 'n') {
        skip_literal(c, 4);
        return JsonValue();
    }
    if (ch == '[' || ch == '{') {
        // Each level is one native call; a hostile "[[[[..." must not reach
        // the end of the stack.
        if (depth >= kJsonMaxDepth) fail("at most " + std::to_string(kJsonMaxDepth) + " levels of nesting");
        return ch == '[' ? parse_array(c, depth + 1) : parse_object(c, depth + 1);
    }
    return JsonValue();
}

}  // namespace

JsonValue json_parse_value(JsonCursor& cursor) { return parse_value(cursor, 0); }

// ------------------------------------------------------------------ writer

namespace {

void escape_to(std::string& out, const std::string& s) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : s) {
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) {
                out += "\\u00";
                out += kHex[(ch >> 4) & 0xF];
                out += kHex[ch & 0xF];
            } else {
                out += ch;
            }
            break;
        }
    }
    out += '"';
}

void write_to(std::string& out, const JsonValue& v, std::int32_t indent) {
    if (indent < 0) indent = 0;
    switch (v.kind) {
    case JsonValue::kBool: out += v.bool_value ? "true" : "false"; return;
    case JsonValue::kInteger: out += std::to_string(v.int_value); return;
    case JsonValue::kString: escape_to(out, v.str_value); return;
    case JsonValue::kArray: {
        if (v.items.empty()) {
            out += "[]";
            return;
        }
        const std::string inner(size_t(indent) + 2, ' ');
        out += "[\n";
        for (size_t i = 0; i < v.items.size(); ++i) {
            if (i) out += ",\n";
            out += inner;
            write_to(out, v.items[i], indent + 2);
        }
        out += '\n';
        out.append(size_t(indent), ' ');
        out += ']';
        return;
    }
    case JsonValue::kObject: {
        if (v.members.empty()) {
            out += "{}";
            return;
        }
        const std::string inner(size_t(indent) + 2, ' ');
        out += "{\n";
        for (size_t i = 0; i < v.members.size(); ++i) {
            if (i) out += ",\n";
            out += inner;
            escape_to(out, v.members[i].key);
            out += ": ";
            write_to(out, v.members[i].value, indent + 2);
        }
        out += '\n';
        out.append(size_t(indent), ' ');
        out += '}';
        return;
    }
    default: out += "null"; return;
    }
}

}  // namespace

std::string json_write(const JsonValue& value, std::int32_t indent) {
    std::string out;
    write_to(out, value, indent);
    return out;
}

std::string json_escape(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    escape_to(out, utf8);
    return out;
}
