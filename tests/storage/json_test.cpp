#include "storage/json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

JsonValue parse(const std::string& text) {
    JsonCursor cursor{text};
    return json_parse_value(cursor);
}

// The reader's error text, or "" when the text was read.
std::string parse_error(const std::string& text) {
    try {
        parse(text);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

bool same(const JsonValue& a, const JsonValue& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case JsonValue::kBool: return a.bool_value == b.bool_value;
    case JsonValue::kInteger: return a.int_value == b.int_value;
    case JsonValue::kString: return a.str_value == b.str_value;
    case JsonValue::kArray:
        if (a.items.size() != b.items.size()) return false;
        for (size_t i = 0; i < a.items.size(); ++i) {
            if (!same(a.items[i], b.items[i])) return false;
        }
        return true;
    case JsonValue::kObject:
        if (a.members.size() != b.members.size()) return false;
        for (size_t i = 0; i < a.members.size(); ++i) {
            if (a.members[i].key != b.members[i].key || !same(a.members[i].value, b.members[i].value)) return false;
        }
        return true;
    default: return true;
    }
}

}  // namespace

TEST(JsonReader, ValuesOfEveryKind) {
    const JsonValue v = parse(" \r\n\t{\"a\" : [1, -20, true, false, null, \"x\", [], {}], \"b\":{\"c\":\"d\"}}");
    ASSERT_EQ(v.kind, JsonValue::kObject);
    ASSERT_EQ(v.members.size(), 2u);
    EXPECT_EQ(v.members[0].key, "a");
    const JsonValue& a = v.members[0].value;
    ASSERT_EQ(a.items.size(), 8u);
    EXPECT_EQ(a.items[0].int_value, 1);
    EXPECT_EQ(a.items[1].int_value, -20);
    EXPECT_EQ(a.items[2].kind, JsonValue::kBool);
    EXPECT_EQ(a.items[2].bool_value, 1);
    EXPECT_EQ(a.items[3].bool_value, 0);
    EXPECT_EQ(a.items[4].kind, JsonValue::kNull);
    EXPECT_EQ(a.items[5].str_value, "x");
    EXPECT_EQ(a.items[6].kind, JsonValue::kArray);
    EXPECT_TRUE(a.items[6].items.empty());
    EXPECT_EQ(a.items[7].kind, JsonValue::kObject);
    EXPECT_EQ(json_get_string(v.members[1].value, "c", ""), "d");

    // One value is read; the cursor stops right behind it.
    const std::string text = "[1] trailing";
    JsonCursor cursor{text};
    EXPECT_EQ(json_parse_value(cursor).items.size(), 1u);
    EXPECT_EQ(cursor.pos, 3u);

    // Anything that starts no value, the empty text included, is null.
    EXPECT_EQ(parse("").kind, JsonValue::kNull);
    EXPECT_EQ(parse("   ").kind, JsonValue::kNull);
    EXPECT_EQ(parse("}").kind, JsonValue::kNull);

    // Duplicate keys stay, in order.
    const JsonValue dup = parse("{\"k\":1,\"k\":2}");
    ASSERT_EQ(dup.members.size(), 2u);
    EXPECT_EQ(dup.members[1].value.int_value, 2);
}

TEST(JsonReader, IntegersAndLiteralsAsTheHistoryFileNeedsThem) {
    EXPECT_EQ(parse("007").int_value, 7);
    EXPECT_EQ(parse("-").int_value, 0);
    EXPECT_EQ(parse("9223372036854775807").int_value, INT64_MAX);
    EXPECT_EQ(parse("-9223372036854775808").int_value, INT64_MIN);

    // A fraction ends the number and stays in the text.
    const std::string text = "12.5";
    JsonCursor cursor{text};
    EXPECT_EQ(json_parse_value(cursor).int_value, 12);
    EXPECT_EQ(cursor.pos, 2u);

    // A literal cut off by the end of the text takes only what is there.
    const std::string cut = "tr";
    JsonCursor at_cut{cut};
    EXPECT_EQ(json_parse_value(at_cut).bool_value, 1);
    EXPECT_EQ(at_cut.pos, 2u);
    EXPECT_EQ(parse_error("[tru"), "expected ]");
}

TEST(JsonReader, StringEscapes) {
    EXPECT_EQ(parse(R"("a\"b\\c\/d\ne\rf\tg\bh\fi")").str_value, "a\"b\\c/d\ne\rf\tg\bh\fi");
    // Unknown escapes stand for themselves.
    EXPECT_EQ(parse(R"("\q\'")").str_value, "q'");
    // Raw bytes, control characters and UTF-8 included, are taken as they are.
    EXPECT_EQ(parse("\"\x01\t\xD0\xB6\"").str_value, "\x01\t\xD0\xB6");
    // The end of the text ends a string, also right after a backslash.
    EXPECT_EQ(parse("\"abc").str_value, "abc");
    EXPECT_EQ(parse("\"abc\\").str_value, "abc");
}

TEST(JsonReader, UnicodeEscapesAndSurrogatePairs) {
    EXPECT_EQ(parse(R"("\u0041\u00e9\u0416\u20AC")").str_value, "A\xC3\xA9\xD0\x96\xE2\x82\xAC");
    EXPECT_EQ(parse(R"("\ud83d\ude00!")").str_value, "\xF0\x9F\x98\x80!");
    EXPECT_EQ(parse(R"("\u0000")").str_value, std::string(1, '\0'));
    // A surrogate without its partner cannot be UTF-8: it becomes U+FFFD and
    // what follows is read on its own.
    EXPECT_EQ(parse(R"("\ud83dx")").str_value, "\xEF\xBF\xBDx");
    EXPECT_EQ(parse(R"("\ude00")").str_value, "\xEF\xBF\xBD");
    EXPECT_EQ(parse(R"("\ud83d\u0041")").str_value,
              "\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(parse(R"("\ud83d\ud83d\ude00")").str_value, "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(JsonReader, MalformedInputFailsWithExpected) {
    const char* const bad[] = {
        "[1, 2",                 // cut off inside an array
        "[",                     //
        "[\"abc",                // cut off inside a string inside an array
        "{\"a\" 1}",             // no colon
        "{\"a\":1",              // cut off inside an object
        "{a:1}",                 // key without quotes
        "{",                     //
        "\"\\u",                 // cut-off escapes, nothing read past the end
        "\"\\u12",               //
        "\"\\uZZZZ\"",           // not hex
        "[\"\\ud83d\\u",         // cut-off second half of a pair
        "99999999999999999999",  // overflow in both directions
        "-9223372036854775809",
        "9223372036854775808",
        "[123456789012345678901234567890]",
    };
    for (const char* text : bad) {
        const std::string error = parse_error(text);
        EXPECT_EQ(error.rfind("expected ", 0), 0u) << text << " gave \"" << error << "\"";
    }
    EXPECT_EQ(parse_error("{\"a\" 1}"), "expected :");
    EXPECT_EQ(parse_error("{1}"), "expected \"");
}

TEST(JsonReader, NestingIsBounded) {
    // The limit itself is accepted.
    std::string deep = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
    JsonValue v = parse(deep);
    int depth = 1;
    for (const JsonValue* p = &v; !p->items.empty(); p = &p->items[0]) ++depth;
    EXPECT_EQ(depth, kJsonMaxDepth);

    EXPECT_EQ(
        parse_error(std::string(kJsonMaxDepth + 1, '[') + std::string(kJsonMaxDepth + 1, ']')).rfind("expected ", 0),
        0u);
    // Hostile input far beyond any stack: a clear error, not a crash.
    EXPECT_EQ(parse_error(std::string(100000, '[')).rfind("expected ", 0), 0u);
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
    EXPECT_EQ(parse_error(objects).rfind("expected ", 0), 0u);
}

TEST(JsonWriter, LayoutAndScalars) {
    JsonValue inner = JsonValue::make_object();
    inner.add_member("n", JsonValue::make_integer(-5));
    inner.add_member("e", JsonValue::make_array());
    inner.add_member("o", JsonValue::make_object());
    JsonValue list = JsonValue::make_array();
    list.items.push_back(inner);
    list.items.push_back(JsonValue::make_bool(true));
    list.items.push_back(JsonValue());
    JsonValue root = JsonValue::make_object();
    root.add_member("list", list);
    root.add_member("s", JsonValue(std::string("x")));

    EXPECT_EQ(json_write(root, 0),
              "{\n"
              "  \"list\": [\n"
              "    {\n"
              "      \"n\": -5,\n"
              "      \"e\": [],\n"
              "      \"o\": {}\n"
              "    },\n"
              "    true,\n"
              "    null\n"
              "  ],\n"
              "  \"s\": \"x\"\n"
              "}");
    // A nested start indents the closing bracket, never the first line.
    EXPECT_EQ(json_write(list.items[0], 4), "{\n      \"n\": -5,\n      \"e\": [],\n      \"o\": {}\n    }");

    EXPECT_EQ(json_write(JsonValue::make_array(), 0), "[]");
    EXPECT_EQ(json_write(JsonValue::make_integer(INT64_MIN), 0), "-9223372036854775808");
    EXPECT_EQ(json_write(JsonValue::make_bool(false), 0), "false");
    JsonValue odd;
    odd.kind = 9;
    EXPECT_EQ(json_write(odd, 0), "null");
}

TEST(JsonWriter, EscapesAlwaysGiveValidJson) {
    EXPECT_EQ(json_escape(""), "\"\"");
    EXPECT_EQ(json_escape("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(json_escape("\t\n\r\b\f"), "\"\\t\\n\\r\\b\\f\"");
    EXPECT_EQ(json_escape(std::string("\0\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\x7f\"");
    // UTF-8 is written as it is, never as \u escapes.
    EXPECT_EQ(json_escape("\xD0\x9F\xF0\x9F\x98\x80"), "\"\xD0\x9F\xF0\x9F\x98\x80\"");
}

TEST(Json, EveryByteSurvivesWriteAndRead) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    all += '\0';
    JsonValue root = JsonValue::make_array();
    JsonValue obj = JsonValue::make_object();
    obj.add_member(all, JsonValue(all));
    obj.add_member("big", JsonValue::make_integer(INT64_MAX));
    obj.add_member("small", JsonValue::make_integer(INT64_MIN));
    root.items.push_back(obj);
    root.items.push_back(JsonValue::make_array());
    const std::string text = json_write(root, 0);
    // The only raw control characters left are the layout's line feeds.
    EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                            [](char ch) { return static_cast<unsigned char>(ch) >= 0x20 || ch == '\n'; }));
    EXPECT_TRUE(same(parse(text), root));
}

TEST(Json, LookupsAndCopies) {
    JsonValue obj = JsonValue::make_object();
    obj.add_member("flag", JsonValue(std::string("yes")));  // wrong kind: passed over
    obj.add_member("flag", JsonValue::make_bool(true));
    obj.add_member("flag", JsonValue::make_bool(false));
    obj.add_member("name", JsonValue::make_integer(1));
    obj.add_member("name", JsonValue(std::string("second")));
    EXPECT_TRUE(json_get_bool(obj, "flag", false));
    EXPECT_EQ(json_get_string(obj, "name", "d"), "second");
    EXPECT_EQ(json_get_string(obj, "Name", "d"), "d");  // keys compare byte for byte
    EXPECT_FALSE(json_get_bool(obj, "missing", false));
    // A non-object has no members.
    JsonValue arr = JsonValue::make_array();
    arr.items.push_back(obj);
    EXPECT_TRUE(json_get_bool(arr, "flag", true));
    EXPECT_EQ(json_get_string(JsonValue(std::string("flag")), "flag", "d"), "d");

    // Copies are deep; a move takes the contents over.
    JsonValue copy = arr;
    copy.items[0].members[0].value.str_value = "changed";
    EXPECT_EQ(arr.items[0].members[0].value.str_value, "yes");
    JsonValue moved = std::move(copy);
    EXPECT_EQ(moved.items[0].members[0].value.str_value, "changed");
}
