#pragma once
// The program's own small JSON library: one value type, a reader and a
// writer, all on UTF-8 byte strings. It carries what the history file needs
// (null, booleans, 64-bit integers, strings, arrays, objects); numbers with
// fractions or exponents are not part of it.
//
// The reader is the only part of the program that throws: malformed input
// raises std::runtime_error whose text begins "expected ". It is safe on any
// input: nesting is bounded, integer overflow is detected and nothing is read
// past the end of the text.

#include <cstdint>
#include <string>
#include <vector>

struct JsonMember;

struct JsonValue {
    enum Kind : std::uint32_t {
        kNull = 0,
        kBool = 1,
        kInteger = 2,
        kString = 3,
        kArray = 4,
        kObject = 5,
    };

    std::uint32_t kind = kNull;
    std::uint8_t bool_value = 0;
    std::int64_t int_value = 0;
    std::string str_value;
    std::vector<JsonValue> items;
    // Insertion order; duplicate keys stay.
    std::vector<JsonMember> members;

    JsonValue();
    explicit JsonValue(std::string utf8);
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;
    ~JsonValue();

    static JsonValue make_bool(bool value);
    static JsonValue make_integer(std::int64_t value);
    static JsonValue make_array();
    static JsonValue make_object();

    void add_member(const std::string& key, const JsonValue& value);
};

struct JsonMember {
    std::string key;
    JsonValue value;
};

// The reader's position in a text that outlives it.
struct JsonCursor {
    const std::string& text;
    std::uint64_t pos = 0;
};

// Deeper nesting than this is refused; the history file nests two levels.
constexpr int kJsonMaxDepth = 512;

// Reads one value at the cursor and leaves the cursor behind it; text after
// the value is not looked at. Throws std::runtime_error on malformed input.
JsonValue json_parse_value(JsonCursor& cursor);

// The value as text: two more spaces per nesting level, starting at indent.
std::string json_write(const JsonValue& value, std::int32_t indent);

// The string as a quoted JSON literal. Control characters are escaped, so
// the result is always valid JSON for valid UTF-8 input.
std::string json_escape(const std::string& utf8);

// Lookups on any value (a non-object has no members): the first member with
// the key whose value has the wanted kind; otherwise the default.
bool json_get_bool(const JsonValue& object, const std::string& key, bool fallback);
std::string json_get_string(const JsonValue& object, const std::string& key, const std::string& fallback);
