#include "config/language.h"
#include "config/language_file.h"
#include "config/printf_format.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

using testsupport::TempDir;

TEST(LanguageFile, LineRules) {
    const LanguageTable t = parse_language_file(
        "\xEF\xBB\xBF"
        "first=one\r\n"
        "  ;comment=x\n"
        "#x=y\n"
        "=no key\n"
        "   = also no key\n"
        "[Strings]\n"
        "no equals sign\n"
        "a = b = c\n"
        "empty=\n"
        "\tspaced\t=\t value with spaces \t\r\n"
        "dup=first\n"
        "dup=second\n"
        "ru=\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n"
        "broken=a\xFF"
        "b\n"
        "last=no newline");
    EXPECT_EQ(t.at(L"first"), L"one");  // the byte-order mark is not part of the key
    EXPECT_EQ(t.at(L"a"), L"b = c");
    EXPECT_EQ(t.at(L"empty"), L"");
    EXPECT_EQ(t.at(L"spaced"), L"value with spaces");
    EXPECT_EQ(t.at(L"dup"), L"second");
    EXPECT_EQ(t.at(L"ru"), L"Привет");
    EXPECT_EQ(t.at(L"last"), L"no newline");
    // Malformed UTF-8 spoils only its own characters.
    EXPECT_EQ(t.at(L"broken").front(), L'a');
    EXPECT_EQ(t.at(L"broken").back(), L'b');
    EXPECT_EQ(t.size(), 8u);

    EXPECT_TRUE(parse_language_file("").empty());
    EXPECT_TRUE(parse_language_file("\xEF\xBB\xBF").empty());
    EXPECT_EQ(trim_line(L" \tx \t\r\n"), L"x");
    EXPECT_EQ(trim_line(L"\rx"), L"\rx");  // only spaces and tabs go at the front
}

TEST(PrintfFormat, ConversionsAndWideStrings) {
    EXPECT_EQ(format_printf(L"%s: %d", {L"Экспорт", 42}), L"Экспорт: 42");
    const std::wstring name = L"имя\U0001F600";
    EXPECT_EQ(format_printf(L"[%ls|%S|%ws]", {name, name, std::wstring_view(name)}),
              L"[имя\U0001F600|имя\U0001F600|имя\U0001F600]");
    EXPECT_EQ(format_printf(L"100%% %i %u", {-7, 7u}), L"100% -7 7");
    EXPECT_EQ(format_printf(L"%5d|%-5d|%05d|%+d|% d", {42, 42, -42, 42, 42}), L"   42|42   |-0042|+42| 42");
    EXPECT_EQ(format_printf(L"%x %X %#x %o %u", {255, 255, 255, 8, -1}), L"ff FF 0xff 10 4294967295");
    EXPECT_EQ(format_printf(L"%lld %I64d %zu", {INT64_MIN, INT64_MAX, size_t(5)}),
              L"-9223372036854775808 9223372036854775807 5");
    EXPECT_EQ(format_printf(L"%.3s|%6s|%-4s|%.0d", {L"abcdef", L"ab", L"ab", 0}), L"abc|    ab|ab  |");
    EXPECT_EQ(format_printf(L"%c%c", {L'О', L'k'}), L"Оk");
    EXPECT_EQ(format_printf(L"%s", {5}), L"5");  // a number where a string is expected still reads well
    EXPECT_EQ(format_printf(L"%s", {static_cast<const wchar_t*>(nullptr)}), L"(null)");
    EXPECT_EQ(format_printf(L"no conversions", {1, L"extra"}), L"no conversions");
    EXPECT_EQ(format_printf(L"trailing %", {}), std::nullopt);
}

TEST(PrintfFormat, RefusesWhatCannotBeFormattedSafely) {
    EXPECT_EQ(format_printf(L"%s and %s", {L"one"}), std::nullopt);  // too few values
    EXPECT_EQ(format_printf(L"%d", {L"text"}), std::nullopt);
    EXPECT_EQ(format_printf(L"%f", {1}), std::nullopt);
    EXPECT_EQ(format_printf(L"%n", {1}), std::nullopt);
    EXPECT_EQ(format_printf(L"%p", {1}), std::nullopt);
    EXPECT_EQ(format_printf(L"%*d", {3, 4}), std::nullopt);
    EXPECT_EQ(format_printf(L"%1$s", {L"x"}), std::nullopt);
    EXPECT_EQ(format_printf(L"%99999999999999999999d", {1}), std::nullopt);
}

class LanguageFiles : public ::testing::Test {
protected:
    void write(const std::wstring& code, const std::string& body) {
        ASSERT_TRUE(testsupport::write_bytes(dir.file(code + L".ini"), body));
    }
    TempDir dir;
};

TEST_F(LanguageFiles, LoadLookupAndFallbackToTheKey) {
    write(L"xx", "greet=Hello, %s! You have %d new items.\r\nempty=\r\nplain=Text\r\n");
    ASSERT_TRUE(load_language(L"xx", dir.path()));
    EXPECT_EQ(tr(L"plain"), L"Text");
    EXPECT_EQ(tr(L"empty"), L"");  // present, though empty: not the key
    EXPECT_EQ(tr(L"absent.key"), L"absent.key");
    EXPECT_EQ(tr_format(L"greet", L"Анна", 3), L"Hello, Анна! You have 3 new items.");
    EXPECT_EQ(tr_format(L"greet", std::wstring(L"Bob"), 1), L"Hello, Bob! You have 1 new items.");
    // A text whose conversions do not fit the values shows its key.
    EXPECT_EQ(tr_format(L"greet", 3, L"Анна"), L"greet");
    EXPECT_EQ(tr_format(L"greet"), L"greet");
    // A missing key used as a format is taken literally.
    EXPECT_EQ(tr_format(L"missing.%d", 5), L"missing.5");

    // Reloading replaces the whole table; a missing file leaves it empty.
    write(L"yy", "plain=Другой\r\n");
    ASSERT_TRUE(load_language(L"yy", dir.path() + L"\\"));
    EXPECT_EQ(tr(L"plain"), L"Другой");
    EXPECT_EQ(tr(L"empty"), L"empty");
    EXPECT_FALSE(load_language(L"zz", dir.path()));
    EXPECT_EQ(tr(L"plain"), L"plain");

    write(L"zero", "");
    EXPECT_TRUE(load_language(L"zero", dir.path()));
}

TEST_F(LanguageFiles, TwoMissingKeysInOneExpressionBothShow) {
    load_language(L"none", dir.path());
    const std::wstring& text = tr(L"message.first_missing");
    const std::wstring& caption = tr(L"message.second_missing");
    for (int i = 0; i < 1000; ++i) tr((L"filler." + std::to_wstring(i)).c_str());
    EXPECT_EQ(text, L"message.first_missing");
    EXPECT_EQ(caption, L"message.second_missing");
    EXPECT_NE(text.c_str(), caption.c_str());
}

TEST_F(LanguageFiles, FormattedTextIsCutAt4095Characters) {
    write(L"xx", "long=%s%s\r\n");
    ASSERT_TRUE(load_language(L"xx", dir.path()));
    const std::wstring half(3000, L'a');
    EXPECT_EQ(tr_format(L"long", half, half), std::wstring(4095, L'a'));
    // The cut never leaves half of a surrogate pair.
    const std::wstring text = std::wstring(4094, L'b') + L"\U0001F600";
    EXPECT_EQ(tr_format(L"long", text, L""), std::wstring(4094, L'b'));
    EXPECT_EQ(tr_format(L"long", std::wstring(4095, L'c'), L"").size(), 4095u);
}

TEST_F(LanguageFiles, AvailableLanguages) {
    EXPECT_EQ(available_languages_in(dir.path()), std::vector<std::wstring>{L"ru"});
    write(L"en", "a=b\n");
    write(L"de", "a=b\n");
    write(L"uk", "a=b\n");
    write(L"ru", "a=b\n");
    write(L"", "a=b\n");  // a file named just ".ini"
    ASSERT_TRUE(CreateDirectoryW(dir.file(L"x.ini").c_str(), nullptr));
    testsupport::write_bytes(dir.file(L"fr.txt"), "a=b\n");
    EXPECT_EQ(available_languages_in(dir.path()), (std::vector<std::wstring>{L"de", L"en", L"ru"}));

    EXPECT_EQ(language_native_name(L"ru"), L"Русский");
    EXPECT_EQ(language_native_name(L"pt"), L"Português");
    EXPECT_EQ(language_native_name(L"sv"), L"sv");
    EXPECT_TRUE(is_allowed_language(L"en"));
    EXPECT_FALSE(is_allowed_language(L"uk"));
}

TEST(Language, ShippedFilesLoadBesideTheProgram) {
    // The build copies lang\ beside Korvane.exe; the tests run from build\tests.
    const std::wstring folder = testsupport::binary_dir() + L"\\lang\\";
    EXPECT_TRUE(load_language(L"ru", folder));
    EXPECT_TRUE(load_language(L"en", folder));
    const auto codes = available_languages_in(folder);
    EXPECT_NE(std::find(codes.begin(), codes.end(), L"en"), codes.end());

    // set_language looks beside the running program, where no lang\ exists for
    // a test: the table is then empty and every key shows as itself.
    set_language(L"uk");
    EXPECT_EQ(current_language(), L"ru");
    EXPECT_EQ(tr(L"tray.copied"), L"tray.copied");
    set_language(L"en");
    EXPECT_EQ(current_language(), L"en");
    EXPECT_FALSE(language_dir().empty());
    EXPECT_EQ(language_dir().substr(language_dir().size() - 5), L"lang\\");
}
