#include "services/text_util.h"
#include "services/clock.h"
#include "services/encoding.h"
#include "services/paths.h"

#include <gtest/gtest.h>

#include <regex>

TEST(Base64, KnownValuesAndLenientDecoding) {
    EXPECT_EQ(base64_encode({}), "");
    EXPECT_EQ(base64_encode({0x41}), "QQ==");
    EXPECT_EQ(base64_encode({0x41, 0x42}), "QUI=");
    EXPECT_EQ(base64_encode({0x41, 0x42, 0x43}), "QUJD");
    EXPECT_EQ(base64_decode("QUJD"), (Bytes{0x41, 0x42, 0x43}));
    EXPECT_EQ(base64_decode("QU JD\r\n"), (Bytes{0x41, 0x42, 0x43}));
    EXPECT_EQ(base64_decode("QUJD=QUJD"), (Bytes{0x41, 0x42, 0x43}));
    EXPECT_EQ(base64_decode("QQ"), (Bytes{0x41}));
    EXPECT_EQ(base64_decode(""), Bytes{});
    EXPECT_EQ(base64_decode("!!!"), Bytes{});
}

TEST(Utf8, RoundTripsAndReplacesWhatIsBroken) {
    const std::wstring text = L"abc \u043f\u0440\u0438\u0432\u0435\u0442 \U0001F600 \u20ac";
    EXPECT_EQ(wide_from_utf8(utf8_from_wide(text)), text);
    EXPECT_EQ(utf8_from_wide(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8_from_wide(L""), "");
    // A lone surrogate cannot be written as UTF-8; it becomes U+FFFD.
    EXPECT_EQ(utf8_from_wide(std::wstring(1, wchar_t(0xD800)) + L"a"),
              "\xEF\xBF\xBD"
              "a");
    // Malformed UTF-8 is replaced, never an error.
    const std::wstring broken = wide_from_utf8(
        "a\xFF"
        "b");
    EXPECT_EQ(broken.front(), L'a');
    EXPECT_EQ(broken.back(), L'b');
    EXPECT_NE(broken.find(L'\uFFFD'), std::wstring::npos);
    // Embedded NULs survive.
    EXPECT_EQ(wide_from_utf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(TextUtil, TrimAndEllipsize) {
    EXPECT_EQ(trim_blanks(L" \t\r\nab c\n "), L"ab c");
    EXPECT_EQ(trim_blanks(L"\u00a0x\u00a0"), L"\u00a0x\u00a0");  // only the four blanks
    EXPECT_EQ(trim_blanks(L"  "), L"");
    EXPECT_EQ(ellipsize(L"abcdef", 3), L"abc\u2026");
    EXPECT_EQ(ellipsize(L"abc", 3), L"abc");
    EXPECT_EQ(ellipsize(L"", 0), L"");
    // The cut never leaves half of a surrogate pair behind.
    EXPECT_EQ(ellipsize(L"ab\U0001F600cd", 3), L"ab\u2026");
    EXPECT_EQ(ellipsize(L"ab\U0001F600cd", 4), L"ab\U0001F600\u2026");
    EXPECT_EQ(cut_code_units(L"\U0001F600", 1), L"");
}

TEST(TextUtil, AnEditedTextKeepsTheLineBreaksItCameWith) {
    // An edit control shows each line of a text whose lines end in bare LF.
    EXPECT_EQ(with_crlf(L"\none\ntwo\r\nthree\n"), L"\r\none\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(with_crlf(L"a\rb"), L"a\rb");  // a lone CR is no line feed
    // What comes back (breaks as CR LF, a line added) goes back to the
    // original's style; a text of one line takes the control's.
    const std::wstring edited = L"one\r\ntwo\r\nnew line";
    EXPECT_EQ(with_breaks_of(edited, L"one\ntwo"), L"one\ntwo\nnew line");
    EXPECT_EQ(with_breaks_of(edited, L"one\r\ntwo"), edited);
    EXPECT_EQ(with_breaks_of(edited, L"one"), edited);
    EXPECT_EQ(with_breaks_of(L"a\rb\r\nc\r", L"x\ny"), L"a\rb\nc\r");
    // Shown and given back untouched, a text is what it was.
    for (const std::wstring text : {L"a\nb\n", L"a\r\nb", L"\n\n", L""})
        EXPECT_EQ(with_breaks_of(with_crlf(text), text), text);
}

TEST(TextUtil, HtmlSourceUrl) {
    EXPECT_EQ(html_source_url(L"Version:0.9\r\nsOuRcEuRl:  http://a/b \r\nStartHTML:1"), L"http://a/b");
    EXPECT_EQ(html_source_url(L"Version:0.9\rSourceURL:x\r"), L"x");
    EXPECT_EQ(html_source_url(L"Version:0.9\nSourceURL:first\nSourceURL:second"), L"first");
    EXPECT_EQ(html_source_url(L" SourceURL:x"), L"");
    EXPECT_EQ(html_source_url(L"no header here"), L"");
    EXPECT_EQ(html_source_url(L"SourceURL:"), L"");
    // A colon on a later line never belongs to an earlier one.
    EXPECT_EQ(html_source_url(L"SourceURL\r\n:http://later/\r\n"), L"");
    // Many lines without a colon before the header: still found, in a form
    // whose cost grows with the text, not with its square.
    std::wstring many;
    for (int i = 0; i < 100000; ++i) many += L"<p>line " + std::to_wstring(i) + L"</p>\r\n";
    EXPECT_EQ(html_source_url(many + L"SourceURL:http://found/\r\n<p>a:b</p>"), L"http://found/");
    EXPECT_EQ(html_source_url(many), L"");
    // Raw clipboard bytes are UTF-8: a non-ASCII address comes through whole.
    const std::string raw = "Version:0.9\r\nSourceURL:https://\xD0\xBF\xD1\x80.\xD1\x80\xD1\x84/\r\n";
    EXPECT_EQ(html_source_url_bytes(raw), L"https://\u043f\u0440.\u0440\u0444/");
    EXPECT_EQ(html_source_url_bytes(Bytes(raw.begin(), raw.end())), L"https://\u043f\u0440.\u0440\u0444/");
}

TEST(TextUtil, Transforms) {
    EXPECT_EQ(transform_text(L"abc \u043f\u0440\u0438", kTransformUpper), L"ABC \u041f\u0420\u0418");
    EXPECT_EQ(transform_text(L"ABC \u041f\u0420\u0418", kTransformLower), L"abc \u043f\u0440\u0438");
    EXPECT_EQ(transform_text(L"hello-wORLD it's 3rd", kTransformTitle), L"Hello-World It's 3rd");
    EXPECT_EQ(transform_text(L"hello. wORLD! 1st try", kTransformSentence), L"Hello. World! 1st try");
    EXPECT_EQ(transform_text(L"aB \u0436\u0416 1", kTransformSwapCase), L"Ab \u0416\u0436 1");
    EXPECT_EQ(transform_text(L" \t x y \r\n", kTransformTrim), L"x y");
    EXPECT_EQ(transform_text(L"  ", kTransformTrim), L"");
    EXPECT_EQ(transform_text(L"a\r\nb\nc\rd", kTransformJoinLines), L"abcd");
    EXPECT_EQ(transform_text(L"aBc", 7), L"aBc");
    for (std::uint32_t mode = 0; mode <= 7; ++mode) EXPECT_EQ(transform_text(L"", mode), L"");
}

// The search folds texts in place; it must find exactly what lower-casing the
// text first and then looking for the lowered needle finds.
TEST(TextUtil, ContainsLoweredFoldsEveryCodeUnitAsLowerCasing) {
    for (std::uint32_t c = 0; c <= 0xFFFF; ++c) {
        const std::wstring unit(1, static_cast<wchar_t>(c));
        ASSERT_TRUE(contains_lowered(unit, transform_text(unit, kTransformLower))) << std::hex << c;
    }
    const std::wstring upper = L"Новая ЁЛКА Straße";
    EXPECT_TRUE(contains_lowered(upper, L"ёлка"));   // ё, in any case
    EXPECT_FALSE(contains_lowered(upper, L"елка"));  // е is another letter than ё
    EXPECT_TRUE(contains_lowered(upper, L"straße"));
    EXPECT_FALSE(contains_lowered(upper, L"strasse"));
    EXPECT_TRUE(contains_lowered(L"abc", L""));
    EXPECT_TRUE(contains_lowered(L"", L""));
    EXPECT_FALSE(contains_lowered(L"", L"a"));
    EXPECT_FALSE(contains_lowered(L"ab", L"abc"));
    EXPECT_TRUE(contains_lowered(L"xxABCABD", L"abd"));  // a partial match first, then the whole one at the end
}

TEST(TextUtil, TemplateVariables) {
    const TemplateValues v{L"05.03.2026", L"14:07", L"05.03.2026 14:07", L"2026", L"anna"};
    EXPECT_EQ(expand_template_with(L"{Date} {x} {t", v), L"05.03.2026 {x} {t");
    EXPECT_EQ(expand_template_with(L"{d}/{T}/{DATETIME}/{year}/{user}/{UserName}", v),
              L"05.03.2026/14:07/05.03.2026 14:07/2026/anna/anna");
    EXPECT_EQ(expand_template_with(L"{{date}}", v), L"{05.03.2026}");
    // A brace that opens no variable is kept as typed, and the next one may open one.
    EXPECT_EQ(expand_template_with(L"{{date} { {t} {usernames} {{{{{{{{{d}", v),
              L"{05.03.2026 { 14:07 {usernames} {{{{{{{{05.03.2026");
    // Values are not scanned again.
    const TemplateValues tricky{L"{time}", L"T", L"", L"", L""};
    EXPECT_EQ(expand_template_with(L"{date}", tricky), L"{time}");

    // Both variables of one text show the same moment.
    const std::wstring s = expand_template(L"{datetime}|{date} {time}");
    const size_t bar = s.find(L'|');
    ASSERT_NE(bar, std::wstring::npos);
    EXPECT_EQ(s.substr(0, bar), s.substr(bar + 1));
    EXPECT_TRUE(std::regex_match(s.substr(0, bar), std::wregex(L"\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d")));
    EXPECT_NE(expand_template(L"{user}"), L"{user}");
}

TEST(TextUtil, FullPathAndClocks) {
    EXPECT_EQ(full_path(L"C:\\Windows\\\\"), L"C:\\Windows");
    EXPECT_EQ(full_path(L"C:\\"), L"C:");
    EXPECT_EQ(full_path(L"C:\\a\\..\\b/"), L"C:\\b");

    EXPECT_TRUE(std::regex_match(now_iso(), std::wregex(L"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d")));
    const double a = now_seconds();
    const double b = now_seconds();
    EXPECT_LE(a, b);
    EXPECT_GT(a, 0.0);
}
