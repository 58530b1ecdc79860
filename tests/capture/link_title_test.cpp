#include "capture/link_title.h"

#include "capture/link_fetch.h"
#include "services/detached_thread.h"
#include "support/local_http_server.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string page(const std::string& head) { return "<html><head>" + head + "</head><body>x</body></html>"; }

// A clock that moves on a millisecond each time the fetch reads it.
std::atomic<ULONGLONG> g_ticks;
ULONGLONG WINAPI tick_per_reading() { return g_ticks++; }

// A direct GET on a worker, or nothing when it has not ended within the wait: a fetch that waits for ever fails
// the test rather than holding it.
std::optional<HttpGet> get_within(const std::wstring& url, FetchDeadline deadline, std::chrono::milliseconds wait) {
    auto result = std::make_shared<std::promise<HttpGet>>();
    std::future<HttpGet> ended = result->get_future();
    if (!start_detached([url, deadline, result] {
            std::string body;
            result->set_value(http_get(INTERNET_OPEN_TYPE_DIRECT, url, body, deadline));
        }))
        return std::nullopt;
    return ended.wait_for(wait) == std::future_status::ready ? std::optional(ended.get()) : std::nullopt;
}

}  // namespace

TEST(IsUrl, SchemesBlanksAndCase) {
    EXPECT_TRUE(is_url(L"https://a"));
    EXPECT_TRUE(is_url(L"http://a"));
    EXPECT_TRUE(is_url(L"  https://example.org/path?q=1#x \r\n"));
    EXPECT_TRUE(is_url(L"HTTPS://a"));
    EXPECT_TRUE(is_url(L"HtTp://ab"));
    EXPECT_FALSE(is_url(L"https://"));
    EXPECT_FALSE(is_url(L"http://"));
    EXPECT_FALSE(is_url(L"HTTP://"));  // seven characters: too short for the case-blind test
    EXPECT_FALSE(is_url(L"https://a b"));
    EXPECT_FALSE(is_url(L"https://a\tb"));
    EXPECT_FALSE(is_url(L"ftp://example.org"));
    EXPECT_FALSE(is_url(L"example.org"));
    EXPECT_FALSE(is_url(L""));
    EXPECT_FALSE(is_url(L" \t\r\n"));
    EXPECT_FALSE(is_url(L"see https://a"));
}

TEST(UrlHost, AuthorityParts) {
    EXPECT_EQ(url_host(L"https://Example.ORG/a/b"), L"example.org");
    EXPECT_EQ(url_host(L"http://user:pw@Host:8080/x"), L"host");
    EXPECT_EQ(url_host(L"http://a@b@c.d?x=@y"), L"c.d");
    EXPECT_EQ(url_host(L"https://h#frag"), L"h");
    EXPECT_EQ(url_host(L"https://h?q"), L"h");
    EXPECT_EQ(url_host(L"http://127.0.0.1:8000"), L"127.0.0.1");
    EXPECT_EQ(url_host(L"no scheme/here"), L"");
    EXPECT_EQ(url_host(L"https:///path"), L"");

    for (const wchar_t* url : {L"http://user:pw@Host:8080/x", L"https://me@intranet", L"http://:@h/"})
        EXPECT_TRUE(url_has_credentials(url)) << url;
    for (const wchar_t* url : {L"https://h/a@b", L"https://h?mail=a@b", L"https://h#@", L"https://h:8080"})
        EXPECT_FALSE(url_has_credentials(url)) << url;
}

TEST(RedirectTarget, ResolvedAgainstTheAddressUnderTheFirstOnesRules) {
    const std::wstring from = L"http://h:8080/a/b?q";
    for (const auto& [location, target] : {std::pair{L"https://other/x", L"https://other/x"},
                                           {L"//cdn/y", L"http://cdn/y"},
                                           {L" /root?z ", L"http://h:8080/root?z"},
                                           {L"../c/d", L"http://h:8080/c/d"}})
        EXPECT_EQ(redirect_target(from, location), target) << location;
    for (const wchar_t* location : {L"ftp://h/x", L"javascript:alert(1)", L"http://me:pw@h/", L"", L"http:///x"})
        EXPECT_EQ(redirect_target(from, location), L"") << location;
}

TEST(Oembed, EndpointsAndEncoding) {
    const std::wstring yt = L"https://www.youtube.com/oembed?format=json&url=";
    const std::wstring rt = L"https://rutube.ru/api/oembed/?format=json&url=";
    EXPECT_EQ(oembed_endpoint(L"https://youtu.be/abc"), yt);
    EXPECT_EQ(oembed_endpoint(L"https://www.youtube.com/watch?v=abc"), yt);
    EXPECT_EQ(oembed_endpoint(L"https://m.YouTube.com/watch?v=abc"), yt);
    EXPECT_EQ(oembed_endpoint(L"https://youtube.com"), yt);
    EXPECT_EQ(oembed_endpoint(L"https://notyoutube.com/x"), L"");
    EXPECT_EQ(oembed_endpoint(L"https://rutube.ru/video/1/"), rt);
    EXPECT_EQ(oembed_endpoint(L"https://www.rutube.ru/video/1/"), rt);
    EXPECT_EQ(oembed_endpoint(L"https://rutube.ru.evil.com/"), L"");
    EXPECT_EQ(oembed_endpoint(L"youtube.com/watch"), L"");

    EXPECT_EQ(percent_encode(L"https://a.b/c?d=e&f=g h~_-."), L"https%3A%2F%2Fa.b%2Fc%3Fd%3De%26f%3Dg%20h~_-.");
    EXPECT_EQ(percent_encode(L"\u044f\U0001F600"), L"%D1%8F%F0%9F%98%80");
    EXPECT_EQ(percent_encode(L""), L"");
}

TEST(HtmlTitle, MetaTagsComeFirstInPageOrder) {
    EXPECT_EQ(html_title(page("<title>Plain</title><meta property=\"og:title\" content=\"From OG\">")), L"From OG");
    EXPECT_EQ(
        html_title(page("<meta name=\"twitter:title\" content=\"Tw\"><meta property=\"og:title\" content=\"OG\">")),
        L"Tw");
    EXPECT_EQ(
        html_title(page("<meta property=\"og:title\" content=\"OG\"><meta name=\"twitter:title\" content=\"Tw\">")),
        L"OG");
    // Values keep their case though the search is case-blind.
    EXPECT_EQ(html_title(page("<META PROPERTY='OG:TITLE' CONTENT='MiXeD Case'>")), L"MiXeD Case");
    // Tags without a usable value are passed over.
    EXPECT_EQ(html_title(page("<meta property=\"og:title\" content=\"\"><meta property=\"og:title\" content=noquote>"
                              "<meta property=\"og:title\" content = \"spaced\"><title>Fallback</title>")),
              L"Fallback");
    EXPECT_EQ(html_title(page("<meta charset=utf-8><meta name=description content=\"not a title\"><title>T</title>")),
              L"T");
    // An unterminated meta tag ends the search for meta values.
    EXPECT_EQ(html_title("<title>T</title><meta property=\"og:title\" content=\"x\""), L"T");
}

TEST(HtmlTitle, EntitiesBlanksAndLength) {
    EXPECT_EQ(html_title(page("<meta property=\"og:title\" content='It&#39;s &amp; done &copy;'>")),
              L"It's & done &copy;");
    EXPECT_EQ(html_title(page("<title>&lt;b&gt; &QUOT;q&quot; &apos;a&apos; x&nbsp;y</title>")),
              L"<b> \"q\" 'a' x\u00a0y");
    EXPECT_EQ(html_title(page("<title>&#x44f;&#1103;&#X1F600;</title>")), L"\u044f\u044f\U0001F600");
    // Bad numbers, a far semicolon and a missing one stay as written.
    EXPECT_EQ(html_title(page("<title>&#0; &#x110000; &#12a; &#; &verylongname; & ;</title>")),
              L"&#0; &#x110000; &#12a; &#; &verylongname; & ;");
    EXPECT_EQ(html_title(page("<title>a &amp</title>")), L"a &amp");
    EXPECT_EQ(html_title(page("<title>\r\n  two \t\n  words  \n</title>")), L"two words");
    EXPECT_EQ(html_title(page("<title>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</title>")),
              L"\u041f\u0440\u0438\u0432\u0435\u0442");
    // Tags inside the title element are not removed.
    EXPECT_EQ(html_title(page("<title>a <b>b</b></title>")), L"a <b>b</b>");

    const std::wstring cut = html_title(page("<title>" + std::string(400, 'x') + "</title>"));
    EXPECT_EQ(cut, std::wstring(300, L'x') + L"\u2026");
    EXPECT_EQ(html_title(page("<title>" + std::string(300, 'x') + "</title>")), std::wstring(300, L'x'));

    EXPECT_EQ(html_title(""), L"");
    EXPECT_EQ(html_title(page("<title>unclosed")), L"");
    EXPECT_EQ(html_title(page("<title>   </title>")), L"");
    EXPECT_EQ(html_title("<html>no title at all</html>"), L"");
}

TEST(JsonTitle, StringsAndEscapes) {
    EXPECT_EQ(json_title(R"({"type":"video","title":"Caf\u00e9 \"X\" a\/b\\c","author":"z"})"),
              L"Caf\u00e9 \"X\" a/b\\c");
    EXPECT_EQ(json_title(R"({"title" : "Tab\there\nand\r\fthere\b"})"), L"Tab here and \fthere\b");
    EXPECT_EQ(json_title(R"({"title":"\ud83d\ude00 smile"})"), L"\U0001F600 smile");
    EXPECT_EQ(json_title(R"({"title":"zero\u0000dropped\u00zz"})"), L"zerodropped");
    EXPECT_EQ(json_title("{\"title\":\"\xD0\xAF\"}"), L"\u042f");
    // A high surrogate without its partner comes out as replacement
    // characters, never as half a pair.
    const std::wstring lone = json_title(R"({"title":"a\ud83dz"})");
    EXPECT_EQ(lone.front(), L'a');
    EXPECT_EQ(lone.back(), L'z');
    EXPECT_EQ(lone.find(wchar_t(0xD83D)), std::wstring::npos);
    EXPECT_NE(lone.find(L'\ufffd'), std::wstring::npos);

    EXPECT_EQ(json_title(R"({"title":"bad \q escape"})"), L"");
    EXPECT_EQ(json_title(R"({"title":"cut \u00e)"), L"");
    EXPECT_EQ(json_title(R"({"title":"cut \)"), L"");
    EXPECT_EQ(json_title(R"({"title":"no closing quote)"), L"");
    EXPECT_EQ(json_title(R"({"name":"no title key"})"), L"");
    EXPECT_EQ(json_title(R"({"title" 5})"), L"");
    EXPECT_EQ(json_title(""), L"");
    EXPECT_EQ(json_title("{\"title\":\"" + std::string(350, 'y') + "\"}"), std::wstring(300, L'y') + L"\u2026");
}

TEST(NormalizeTitle, BlanksAndCut) {
    EXPECT_EQ(normalize_title(L"  a \r\n\t b  "), L"a b");
    EXPECT_EQ(normalize_title(L"\u00a0a\u00a0"), L"\u00a0a\u00a0");  // no-break space is not a blank
    EXPECT_EQ(normalize_title(L" \t "), L"");
    // The cut never leaves half a surrogate pair.
    const std::wstring t = normalize_title(std::wstring(299, L'a') + L"\U0001F600b");
    EXPECT_EQ(t, std::wstring(299, L'a') + L"\u2026");
}

TEST(CardLinks, LinkUrlRutubeAndSuffixes) {
    EXPECT_EQ(link_url_of(L" https://x.y/ \n", false, L"", L"fb"), L"https://x.y/");
    EXPECT_EQ(link_url_of(L"text", true, L"https://src", L"https://fb"), L"https://fb");
    EXPECT_EQ(link_url_of(L"text", true, L"https://src", L""), L"https://src");
    EXPECT_EQ(link_url_of(L"text", false, L"https://src", L""), L"");
    EXPECT_EQ(link_url_of(L"text", true, L"", L""), L"");

    const std::string id = "0123456789abcdefABCDEF0123456789";
    EXPECT_EQ(rutube_page_url("<img src=\"https://pic.rutube.ru/api/video/x/preview/" + id + "/\">"),
              L"https://rutube.ru/video/0123456789abcdefABCDEF0123456789/");
    EXPECT_EQ(rutube_page_url("<img src=\"https://pic.example/preview/" + id + "\">"), L"");
    EXPECT_EQ(rutube_page_url("rutube.ru/api/video /preview/0123456789abcdef0123456789abcdeg"), L"");
    EXPECT_EQ(rutube_page_url("rutube.ru/api/video /preview/0123"), L"");
    EXPECT_EQ(rutube_page_url("rutube.ru/api/video"), L"");

    EXPECT_EQ(strip_title_suffix(L"News - Google Chrome"), L"News");
    EXPECT_EQ(strip_title_suffix(L"A | RUTUBE video"), L"A");
    EXPECT_EQ(strip_title_suffix(L"Clip \u2014 YouTube  \r\n"), L"Clip");
    EXPECT_EQ(strip_title_suffix(L"Song - YouTube - Google Chrome"), L"Song");
    EXPECT_EQ(strip_title_suffix(L"\u041f\u043e\u0438\u0441\u043a \u2014 \u042f\u043d\u0434\u0435\u043a\u0441"),
              L"\u041f\u043e\u0438\u0441\u043a");
    EXPECT_EQ(strip_title_suffix(L"Plain title  "), L"Plain title");
    EXPECT_EQ(strip_title_suffix(L"   "), L"");
}

TEST(LinkFetch, ADeadlinePassedBetweenTwoCallsEndsTheFetch) {
    // Takes the connection and never answers: a call made with no time-out would wait for ever.
    testsupport::LocalHttpServer silent(std::nullopt);
    ASSERT_NE(silent.port(), 0);
    for (ULONGLONG at = 0; at < 3; ++at) {  // passed at the fetch's first reading of the clock, its second...
        g_ticks = 0;
        EXPECT_EQ(get_within(silent.url(L"/"), {at, tick_per_reading}, std::chrono::seconds(5)), HttpGet::NoAnswer)
            << "passed at reading " << at;
    }
}

// Each worker starts as the one before it ends, half of them having used
// WinINet: a paste made just as a link title's fetch ends.
TEST(LinkFetch, AWorkerStartedAsAFetchingOneEndsRuns) {
    static std::atomic<int> ran;
    for (int round = 0; round < 3000; ++round) {
        const int before = ran;
        ASSERT_TRUE(start_detached([fetching = round % 2 == 1] {
            if (fetching) InternetCloseHandle(InternetOpenW(L"probe", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
            ++ran;
        }));
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ran == before && std::chrono::steady_clock::now() < until) Sleep(1);
        ASSERT_GT(ran, before) << "worker " << round << " never ran";
    }
}

// Servers that would hold a fetch past its limit, or have it ask again after it: one that redirects to itself,
// one whose redirect comes after the deadline, its head a line at a time, each in time for the receive time-out.
TEST(LinkFetch, ARedirectLoopEndsAndNoRequestLeavesAfterTheDeadline) {
    const std::string redirect = "HTTP/1.1 302 Found\r\n", rest = "Location: /again\r\nContent-Length: 0\r\n\r\n";
    const std::pair<std::vector<std::string>, int> servers[] = {
        // its reply, the most requests it may see
        {{redirect + rest}, kMaxRedirects + 1},
        {{redirect, "X-Wait: 1\r\n", "X-Wait: 2\r\n", "X-Wait: 3\r\n", "X-Wait: 4\r\n", rest}, 1}};
    for (const auto& [reply, most] : servers) {
        testsupport::LocalHttpServer server(reply);
        // The slow head ends past twice the limit (1 s), when Wine ends the call it could not end at the limit.
        const auto fetched = get_within(server.url(L"/again"), {GetTickCount64() + 1000}, std::chrono::seconds(4));
        ASSERT_NE(fetched.value_or(HttpGet::Page), HttpGet::Page);
        const int asked = server.requests();
        EXPECT_LE(asked, most);
        Sleep(1000);
        EXPECT_EQ(server.requests(), asked) << "asked after the fetch ended";
    }
}
