#include "capture/app_filter.h"
#include "capture/app_names.h"
#include "capture/card_number.h"
#include "capture/clipboard_watcher.h"
#include "capture/page_url.h"
#include "config/language.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

TEST(CardNumber, LuhnSeparatorsAndLengths) {
    EXPECT_TRUE(looks_like_card_number(L"4111111111111111"));
    EXPECT_TRUE(looks_like_card_number(L"4111 1111 1111 1111"));
    EXPECT_TRUE(looks_like_card_number(L"4111-1111-1111-1111"));
    EXPECT_TRUE(looks_like_card_number(L" 4111 1111-1111 1111 "));
    EXPECT_TRUE(looks_like_card_number(L"378282246310005"));        // 15 digits
    EXPECT_TRUE(looks_like_card_number(L"4222222222222"));          // 13 digits
    EXPECT_TRUE(looks_like_card_number(L"6011000990139424009"));    // 19 digits
    EXPECT_FALSE(looks_like_card_number(L"60110009901394240000"));  // 20 digits, passes Luhn
    EXPECT_FALSE(looks_like_card_number(L"4111111111111112"));      // fails Luhn
    EXPECT_TRUE(looks_like_card_number(L"\t4111 1111 1111 1111\r\n"));
    // A column of amounts or a row of table cells that happens to pass Luhn.
    EXPECT_FALSE(looks_like_card_number(L"1000\r\n2000\r\n3000\r\n4000"));
    EXPECT_FALSE(looks_like_card_number(L"4111\t1111\t1111\t1111"));
    EXPECT_FALSE(looks_like_card_number(L"4111.1111.1111.1111"));
    EXPECT_FALSE(looks_like_card_number(L"card 4111111111111111"));
    EXPECT_FALSE(looks_like_card_number(L"\uff14111111111111111"));  // full-width digit
    EXPECT_FALSE(looks_like_card_number(L"000000000000"));           // 12 digits pass Luhn but are too short
    EXPECT_FALSE(looks_like_card_number(L""));
    EXPECT_FALSE(looks_like_card_number(L"- - -"));
}

TEST(AppFilter, ModesAndLists) {
    const std::vector<std::wstring> list{L"Notepad.exe", L"keepass.exe"};
    // Listed programs: skipped by a blacklist only.
    EXPECT_TRUE(is_app_blocked(L"blacklist", list, L"notepad.exe"));
    EXPECT_FALSE(is_app_blocked(L"whitelist", list, L"NOTEPAD.EXE"));
    EXPECT_FALSE(is_app_blocked(L"all", list, L"notepad.exe"));
    // Programs not on the list: skipped by a whitelist only.
    EXPECT_FALSE(is_app_blocked(L"blacklist", list, L"word.exe"));
    EXPECT_TRUE(is_app_blocked(L"whitelist", list, L"word.exe"));
    EXPECT_FALSE(is_app_blocked(L"all", list, L"word.exe"));
    // An unknown program is never skipped; names match whole, not in part.
    EXPECT_FALSE(is_app_blocked(L"whitelist", list, L""));
    EXPECT_TRUE(is_app_blocked(L"whitelist", list, L"notepad"));
    EXPECT_FALSE(is_app_blocked(L"blacklist", list, L"notepad.exe.bak"));
    EXPECT_TRUE(is_app_blocked(L"whitelist", {}, L"word.exe"));
}

TEST(ImageHash, Fnv1aKnownValues) {
    EXPECT_EQ(image_hash(Bytes{}), 0xcbf29ce484222325ull);
    EXPECT_EQ(image_hash(Bytes{'a'}), 0xaf63dc4c8601ec8cull);
    const std::string foobar = "foobar";
    EXPECT_EQ(image_hash(Bytes(foobar.begin(), foobar.end())), 0x85944171f73967e8ull);
    EXPECT_NE(image_hash(Bytes{1, 2}), image_hash(Bytes{2, 1}));
}

TEST(PagePicking, AddressAmongAccessibleValues) {
    using V = std::vector<AccessibleValue>;
    EXPECT_EQ(pick_page_url(V{{42, L"https://a.example/x"}}), L"https://a.example/x");
    EXPECT_EQ(pick_page_url(V{{42, L"example.org/path?q=1"}}), L"https://example.org/path?q=1");
    // Links, internal pages and text that does not look like an address are passed over.
    EXPECT_EQ(pick_page_url(V{{kRoleLink, L"https://link.example"},
                              {42, L"about:blank"},
                              {42, L"chrome://settings"},
                              {42, L"view-source:https://x.y"},
                              {42, L"search words here."},
                              {42, L"1.5"},
                              {42, L"nodot"},
                              {0xFFFFFFFF, L"Host.example"}}),
              L"https://Host.example");
    EXPECT_EQ(pick_page_url(V{{42, L"http://first"}, {42, L"https://second"}}), L"http://first");
    EXPECT_EQ(pick_page_url(V{{42, L"tab\there.x"}, {42, L"about:blank"}}), L"");
    EXPECT_EQ(pick_page_url(V{}), L"");

    EXPECT_TRUE(is_internal_url(L"edge://flags"));
    EXPECT_TRUE(is_internal_url(L"filesystem:x"));
    EXPECT_TRUE(is_internal_url(L"internal:y"));
    EXPECT_FALSE(is_internal_url(L"About:blank"));  // case-sensitive
    EXPECT_FALSE(is_internal_url(L"https://about:x"));
}

TEST(SourcePrograms, BrowsersAndDisplayNames) {
    EXPECT_TRUE(is_browser_process(L"chrome.exe"));
    EXPECT_TRUE(is_browser_process(L"C:\\Program Files\\Mozilla\\FIREFOX.EXE"));
    EXPECT_TRUE(is_browser_process(L"browser.exe"));
    EXPECT_FALSE(is_browser_process(L"opera_gx.exe"));  // named, but its pages are not read
    EXPECT_FALSE(is_browser_process(L"iexplore.exe"));
    EXPECT_FALSE(is_browser_process(L"chrome"));
    EXPECT_FALSE(is_browser_process(L""));

    ASSERT_TRUE(load_language(L"en", testsupport::source_dir() + L"\\lang"));
    EXPECT_EQ(app_display_name(L"msedge.exe"), L"Chrome");
    EXPECT_EQ(app_display_name(L"C:\\Apps\\Opera_GX.EXE"), L"Opera");
    EXPECT_EQ(app_display_name(L"winword.exe"), L"Microsoft Word");
    EXPECT_EQ(app_display_name(L"browser.exe"), L"Yandex Browser");
    EXPECT_EQ(app_display_name(L"notepad.exe"), tr(L"card.app.notepad"));
    EXPECT_EQ(app_display_name(L"Explorer.EXE"), tr(L"card.app.explorer"));
    EXPECT_NE(tr(L"card.app.notepad"), L"card.app.notepad");
    // Other programs keep their stem as stored; only the last dot goes.
    EXPECT_EQ(app_display_name(L"MyTool.exe"), L"MyTool");
    EXPECT_EQ(app_display_name(L"my.tool.exe"), L"my.tool");
    EXPECT_EQ(app_display_name(L"noext"), L"noext");
    EXPECT_EQ(app_display_name(L""), tr(L"card.app.unknown"));
    EXPECT_EQ(app_display_name(L"C:\\dir\\.exe"), tr(L"card.app.unknown"));
}
