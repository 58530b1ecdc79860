#include "config/settings.h"
#include "config/file_locations.h"
#include "config/ini_file.h"
#include "services/encoding.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using testsupport::TempDir;

namespace {

// An INI file as an older version or a user's editor leaves it: plain bytes.
std::wstring write_ini(const TempDir& dir, const std::string& body) {
    const std::wstring path = dir.file(L"settings.ini");
    testsupport::write_bytes(path, "[Settings]\r\n" + body);
    return path;
}

// The section "Settings" of a file as key and value pairs, in the file's order.
std::vector<std::pair<std::wstring, std::wstring>> section_of(const std::wstring& path) {
    std::wstring lines(1 << 16, L'\0');
    lines.resize(GetPrivateProfileSectionW(L"Settings", lines.data(), static_cast<DWORD>(lines.size()), path.c_str()));
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (std::size_t start = 0, end; start < lines.size(); start = end + 1) {
        end = std::min(lines.find(L'\0', start), lines.size());
        const std::wstring line = lines.substr(start, end - start);
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) out.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return out;
}

}  // namespace

TEST(Settings, MissingFileGivesTheDefaults) {
    TempDir dir;
    Settings s;
    s.font_size = 17;
    s.hotkey = L"changed";
    s.watch_clipboard = false;
    Settings::load(s, dir.file(L"absent.ini"));
    const Settings defaults;
    EXPECT_EQ(s.font_size, 14);
    EXPECT_EQ(s.hotkey, L"ctrl+shift+v");
    EXPECT_TRUE(s.watch_clipboard);
    EXPECT_EQ(s.window_x, -1);
    EXPECT_EQ(s.last_view_cat_id, -1);
    EXPECT_EQ(s.language, L"ru");
    EXPECT_EQ(s.app_filter_mode, L"all");
    EXPECT_EQ(s.sound_copy_id, defaults.sound_copy_id);
}

TEST(Settings, LoadBringsRangedValuesIntoRange) {
    TempDir dir;
    const auto path = write_ini(dir,
                                "font_size=40\r\nscroll_lines=0\r\nscreenshot_thickness=99\r\n"
                                "sound_copy_id=7\r\nsound_paste_id=0\r\n");
    Settings s;
    Settings::load(s, path);
    EXPECT_EQ(s.font_size, 18);
    EXPECT_EQ(s.scroll_lines, 1);
    EXPECT_EQ(s.screenshot_thickness, 24);
    EXPECT_EQ(s.sound_copy_id, 2);  // out of range goes back to the default, not the bound
    EXPECT_EQ(s.sound_paste_id, 1);

    const auto low = write_ini(dir,
                               "font_size=-3\r\nscroll_lines=9\r\nscreenshot_thickness=0\r\nsound_copy_id=4\r\n"
                               "ttl_days=-5\r\ncategories_width=-20\r\napp_filter_mode=sometimes\r\n");
    Settings::load(s, low);
    EXPECT_EQ(s.font_size, 10);
    EXPECT_EQ(s.scroll_lines, 4);
    EXPECT_EQ(s.screenshot_thickness, 1);
    EXPECT_EQ(s.sound_copy_id, 4);
    // Unranged values are used as read.
    EXPECT_EQ(s.ttl_days, -5);
    EXPECT_EQ(s.categories_width, -20);
    EXPECT_EQ(s.app_filter_mode, L"sometimes");
}

TEST(Settings, HowBoolsAndIntsAreRead) {
    TempDir dir;
    const auto path = write_ini(dir,
                                "watch_clipboard=TRUE\r\ndark_mode=1\r\nalways_on_top=yes\r\nshow_time=true\r\n"
                                "ttl_days=12abc\r\ntrash_hours=letters\r\ncategories_width=  +77\r\n"
                                "window_x=99999999999\r\nwindow_y=-2147483648\r\nunknown_key=5\r\n"
                                "[Other]\r\nfont_size=11\r\n");
    Settings s;
    Settings::load(s, path);
    EXPECT_FALSE(s.watch_clipboard);  // the check is case-sensitive
    EXPECT_TRUE(s.dark_mode);
    EXPECT_FALSE(s.always_on_top);
    EXPECT_TRUE(s.show_time);
    EXPECT_EQ(s.ttl_days, 12);
    EXPECT_EQ(s.trash_hours, 24);
    EXPECT_EQ(s.categories_width, 77);
    EXPECT_EQ(s.window_x, -1);  // beyond 32 bits: the default
    EXPECT_EQ(s.window_y, INT32_MIN);
    EXPECT_EQ(s.font_size, 14);  // another section is not ours
}

TEST(Settings, SetAssignsFromTextWithoutClamping) {
    Settings s;
    EXPECT_TRUE(Settings::set(s, L"font_size", L"40"));
    EXPECT_EQ(s.font_size, 40);
    s.ttl_days = 7;
    EXPECT_TRUE(Settings::set(s, L"ttl_days", L"letters"));
    EXPECT_EQ(s.ttl_days, 7);
    EXPECT_TRUE(Settings::set(s, L"ttl_days", L"-3x"));
    EXPECT_EQ(s.ttl_days, -3);
    EXPECT_TRUE(Settings::set(s, L"dark_mode", L"1"));
    EXPECT_TRUE(s.dark_mode);
    EXPECT_TRUE(Settings::set(s, L"dark_mode", L"True"));
    EXPECT_FALSE(s.dark_mode);
    EXPECT_TRUE(Settings::set(s, L"screenshot_folder", L"C:\\Снимки"));
    EXPECT_EQ(s.screenshot_folder, L"C:\\Снимки");

    const Settings before = s;
    EXPECT_FALSE(Settings::set(s, L"no_such_option", L"1"));
    EXPECT_FALSE(Settings::set(s, L"Font_Size", L"12"));
    EXPECT_EQ(s.font_size, before.font_size);
}

TEST(Settings, SaveAndLoadKeepEveryValueAndCyrillicText) {
    TempDir dir;
    // Every option away from its default: the file of the defaults names each
    // one, and its text tells a switch, a number or a text.
    const std::wstring defaults_path = dir.file(L"defaults.ini");
    Settings::save(Settings{}, defaults_path);
    const auto defaults = section_of(defaults_path);
    ASSERT_FALSE(defaults.empty());
    Settings s;
    for (const auto& [key, text] : defaults) {
        std::wstring other = text == L"true" ? L"false" : text == L"false" ? L"true" : text + L"Ёж";
        if (const std::optional<int> n = ini_int_from_text(text)) other = std::to_wstring(*n + 1);  // within any range
        ASSERT_TRUE(Settings::set(s, key, other)) << key;
    }
    s.window_x = -250;
    s.categories_hidden = 0x7FFFFFFF;
    s.screenshot_folder = L"D:\\Картинки\\Скриншоты";
    s.app_filter_list = L"Блокнот.exe; telegram.exe";
    s.snippet_collapsed_groups = L"Работа\x1FЛичное";
    s.hotkey = L"ctrl+alt+ё";
    const std::wstring path = dir.file(L"new.ini");
    Settings::save(s, path);

    // A new file starts as UTF-16LE, so the profile functions write Unicode.
    const std::string bytes = testsupport::read_bytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");

    // What is read back is saved again as it was, value for value.
    Settings back;
    Settings::load(back, path);
    const std::wstring again_path = dir.file(L"again.ini");
    Settings::save(back, again_path);
    const auto saved = section_of(path);
    const auto again = section_of(again_path);
    ASSERT_EQ(saved.size(), defaults.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_NE(saved[i].second, defaults[i].second) << saved[i].first;
        EXPECT_EQ(again[i], saved[i]);
    }
    EXPECT_EQ(back.screenshot_folder, s.screenshot_folder);
    EXPECT_EQ(back.snippet_collapsed_groups, s.snippet_collapsed_groups);

    // A second save rewrites the same file in place.
    s.language = L"en";
    Settings::save(s, path);
    Settings::load(back, path);
    EXPECT_EQ(back.language, L"en");
    EXPECT_EQ(back.screenshot_folder, s.screenshot_folder);
}

TEST(Settings, AnAnsiFileStillLoadsAndBecomesUnicodeOnSave) {
    TempDir dir;
    const auto path = write_ini(dir, "font_size=12\r\nlanguage=en\r\n");
    Settings s;
    Settings::load(s, path);
    EXPECT_EQ(s.font_size, 12);
    EXPECT_EQ(s.language, L"en");

    s.screenshot_folder = L"C:\\Изображения";
    Settings::save(s, path);
    EXPECT_EQ(testsupport::read_bytes(path).substr(0, 2), "\xFF\xFE");
    Settings back;
    Settings::load(back, path);
    EXPECT_EQ(back.font_size, 12);
    EXPECT_EQ(back.screenshot_folder, L"C:\\Изображения");
    EXPECT_FALSE(testsupport::file_exists(path + L".new"));
}

TEST(Settings, AUtf8FileFromAnEditorKeepsEveryCharacter) {
    TempDir dir;
    // Saved by an editor as UTF-8, with the mark or without: the same text as
    // UTF-16LE behind its own mark, before anything reads or writes it.
    const std::string mark = "\xEF\xBB\xBF";
    const std::string cyrillic = "[Settings]\r\nscreenshot_folder=D:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\r\n";
    const std::string ascii = "[Settings]\r\nlanguage=en\r\n";
    const auto file = dir.file(L"edited.ini");
    for (auto convert : {&ini_adopt_utf8, &ini_ensure_unicode})
        for (const std::string& text : {cyrillic, mark + cyrillic, mark + ascii}) {
            testsupport::write_bytes(file, text);
            EXPECT_TRUE(convert(file));
            const std::wstring wide = wide_from_utf8(text.substr(text.starts_with(mark) ? mark.size() : 0));
            EXPECT_EQ(testsupport::read_bytes(file),
                      "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
        }

    const auto path =
        write_ini(dir,
                  "screenshot_folder=C:\\Users\\\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0\\\xE6\x88\xAA\xE5\x9B\xBE\r\n"
                  "language=en\r\n");
    Settings s;
    Settings::load(s, path);
    EXPECT_EQ(s.screenshot_folder, L"C:\\Users\\\u0410\u043d\u043d\u0430\\\u622a\u56fe");
    EXPECT_EQ(s.language, L"en");
    Settings::save(s, path);
    Settings back;
    Settings::load(back, path);
    EXPECT_EQ(back.screenshot_folder, s.screenshot_folder);

    // ANSI bytes that are no UTF-8 load as before, and the file stays as it was.
    const std::string ansi = "[Settings]\r\napp_filter_list=caf\xE9.exe\r\n";
    const auto old_path = dir.file(L"ansi.ini");
    testsupport::write_bytes(old_path, ansi);
    Settings::load(s, old_path);
    EXPECT_EQ(s.app_filter_list.substr(0, 3), L"caf");
    EXPECT_EQ(s.app_filter_list.size(), 8u);
    EXPECT_EQ(testsupport::read_bytes(old_path), ansi);
}

TEST(Settings, LongValuesAreCutAt4095Characters) {
    TempDir dir;
    const std::string long_value(5000, 'x');
    const auto path = write_ini(dir, "screenshot_folder=" + long_value + "\r\n");
    Settings s;
    Settings::load(s, path);
    EXPECT_EQ(s.screenshot_folder, std::wstring(4095, L'x'));
    EXPECT_EQ(ini_read_string(path, L"absent", L"fallback"), L"fallback");
}

// Settings are read with one read of the section; each value must come out
// as the system's read of that one value gives it.
TEST(Settings, ASectionReadGivesWhatEachValueReadGives) {
    TempDir dir;
    const auto path = write_ini(dir,
                                "  spaced  =   value with spaces   \r\nquoted=\"in quotes\"\r\nsingle='x'\r\n"
                                "half=\"open\r\nlone=\"\r\nnoequals\r\nDup=first\r\ndup=second\r\nempty=\r\n"
                                "tabbed\t=\tv\t\r\nlong=\"" +
                                    std::string(5000, 'q') + "\"\r\n[settings]\r\nlater=1\r\n[Other]\r\nmissing=2\r\n");
    const std::optional<IniSection> section = ini_read_section(path);
    ASSERT_TRUE(section);
    for (const wchar_t* key : {L"spaced", L"QUOTED", L"single", L"half", L"lone", L"noequals", L"dup", L"empty",
                               L"tabbed", L"long", L"later", L"missing"})
        EXPECT_EQ(section->value(key, L"fallback  "), ini_read_string(path, key, L"fallback  ")) << key;
    EXPECT_EQ(section->value(L"quoted", L""), L"in quotes");
    EXPECT_EQ(section->value(L"missing", L"fallback  "), L"fallback");

    const std::optional<IniSection> absent = ini_read_section(dir.file(L"absent.ini"));
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->value(L"spaced", L"default"), L"default");
}

TEST(Settings, SplitFilterList) {
    Settings s;
    EXPECT_TRUE(split_filter_list(s).empty());
    s.app_filter_list = L"  chrome.exe ;;\tnotepad.exe\r\n;";
    EXPECT_EQ(split_filter_list(s), (std::vector<std::wstring>{L"chrome.exe", L"notepad.exe"}));
    s.app_filter_list = L"b.exe;a.exe; b.exe";
    EXPECT_EQ(split_filter_list(s), (std::vector<std::wstring>{L"b.exe", L"a.exe", L"b.exe"}));
    s.app_filter_list = L" ; ; ";
    EXPECT_TRUE(split_filter_list(s).empty());
}

TEST(FileLocations, PathsEndInTheProgramsNames) {
    const std::wstring exe = exe_path();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.substr(exe.size() - 4), L".exe");
    EXPECT_TRUE(testsupport::file_exists(exe));
    const std::wstring db = db_path();
    EXPECT_EQ(db.substr(db.size() - 12), L"\\.korvane.db");
    EXPECT_NE(db[0], L'\\');  // the profile folder was found
    EXPECT_EQ(ini_path(), db + L".ini");
    EXPECT_EQ(data_dir().substr(data_dir().size() - 8), L"\\Korvane");
}
