#include "capture/link_fetch.h"

#include "capture/link_title.h"
#include "services/detached_thread.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/text_util.h"

#include <wininet.h>

#include <algorithm>
#include <initializer_list>
#include <mutex>
#include <set>

namespace {

struct InternetTraits : handle_traits::NullInvalid<HINTERNET> {
    static void close(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
};
using ScopedInternet = UniqueHandle<HINTERNET, InternetTraits>;

constexpr DWORD kTimeoutMs = 6000;
constexpr DWORD kReadPiece = 16384;

// Titles posted by workers and not yet claimed: the receiver frees only
// pointers found here, never a value some other process posted.
std::mutex g_posted_mutex;
std::set<FetchedLinkTitle*> g_posted;

// Gives the calls made on h the time-outs (options) of kTimeoutMs, or what is
// left before the deadline when that is less. False once the deadline has
// passed, and the fetch ends there: WinINet reads a time-out of 0 as none at
// all, and a call made with it could wait for ever.
bool set_timeouts(HINTERNET h, const FetchDeadline& deadline,
                  std::initializer_list<DWORD> options = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                                          INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    const ULONGLONG now = deadline.clock();
    if (now >= deadline.at) return false;
    DWORD ms = static_cast<DWORD>(std::min<ULONGLONG>(deadline.at - now, kTimeoutMs));
    for (DWORD option : options) InternetSetOptionW(h, option, &ms, sizeof ms);
    return true;
}

bool is_success_status(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return false;
    return status >= 200 && status <= 299;
}

// Sends a GET for url on the session. The request is built from its parts
// rather than with InternetOpenUrlW, so that the time-outs can be set on the
// connection and request handles before anything is sent: some WinINet
// builds (Wine's among them) do not pass the session's time-outs on, and a
// server that stops answering would then hold the worker for ever.
struct SentRequest {
    ScopedInternet connection;  // closing it would close the request too
    ScopedInternet request;     // declared last: closed first
};

SentRequest send_get(HINTERNET session, const std::wstring& url, const FetchDeadline& deadline) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength =
        parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), DWORD(url.size()), 0, &parts)) return {};
    if (!parts.lpszHostName || parts.dwHostNameLength == 0) return {};
    // An address with a user in it is not fetched at all (fetch_link_title);
    // none is ever handed on here, whatever this reading of it found.
    if (parts.dwUserNameLength != 0 || parts.dwPasswordLength != 0) return {};
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const size_t fragment = object.find(L'#');  // never sent to the server
    if (fragment != std::wstring::npos) object.erase(fragment);
    if (object.empty()) object = L"/";

    SentRequest sent;
    sent.connection.reset(
        InternetConnectW(session, host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!sent.connection || !set_timeouts(sent.connection.get(), deadline)) return {};

    // A title is worth neither the user's cookies nor their logon.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_AUTH;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    sent.request.reset(
        HttpOpenRequestW(sent.connection.get(), L"GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!sent.request || !set_timeouts(sent.request.get(), deadline)) return {};
    static const wchar_t kHeaders[] = L"Accept-Encoding: identity\r\n";
    if (!HttpSendRequestW(sent.request.get(), kHeaders, DWORD(-1), nullptr, 0)) return {};
    return sent;
}

}  // namespace

HttpGet http_get(DWORD access_type, const std::wstring& url, std::string& body, const FetchDeadline& deadline) {
    body.clear();
    static const std::wstring agent(kLinkUserAgent, kLinkUserAgent + sizeof kLinkUserAgent - 1);
    ScopedInternet session(InternetOpenW(agent.c_str(), access_type, nullptr, nullptr, 0));
    if (!session || !set_timeouts(session.get(), deadline)) return HttpGet::NoAnswer;
    SentRequest sent = send_get(session.get(), url, deadline);
    const HINTERNET request = sent.request.get();
    if (!request) return HttpGet::NoAnswer;
    // Only a successful response is the page: an error page's title is not.
    if (!is_success_status(request)) return HttpGet::Refused;

    char piece[kReadPiece];
    while (body.size() < kMaxBodyBytes) {
        // A read returns only once its buffer is full, however slowly the
        // bytes come: asking for no more than has arrived keeps each call
        // within the receive time-out, and that within the deadline. A body
        // cut off there is no page.
        DWORD ready = 0;
        DWORD got = 0;
        if (!set_timeouts(request, deadline, {INTERNET_OPTION_RECEIVE_TIMEOUT}) ||
            !InternetQueryDataAvailable(request, &ready, 0, 0) ||
            (ready != 0 && !InternetReadFile(request, piece, std::min(ready, kReadPiece), &got))) {
            body.clear();
            return HttpGet::Refused;
        }
        if (got == 0) break;
        body.append(piece, got);
    }
    return body.empty() ? HttpGet::Refused : HttpGet::Page;
}

bool fetch_url(const std::wstring& url, std::string& body, const FetchDeadline& deadline) {
    body.clear();
    // Pick up proxy changes made since the last fetch.
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
    switch (http_get(INTERNET_OPEN_TYPE_PRECONFIG, url, body, deadline)) {
    case HttpGet::Page: return true;
    // Whoever answered, the proxy or the site, has said no: asking again
    // around the proxy would go past a filter the user is behind, and show
    // the site the user's own address.
    case HttpGet::Refused: return false;
    case HttpGet::NoAnswer: break;
    }
    return http_get(INTERNET_OPEN_TYPE_DIRECT, url, body, deadline) == HttpGet::Page;
}

std::wstring fetch_link_title(const std::wstring& address) {
    if (!is_url(address) || url_has_credentials(address)) return {};
    const FetchDeadline deadline{GetTickCount64() + kTitleFetchLimitMs};
    const std::wstring url = trim_blanks(address);
    std::string body;
    const std::wstring endpoint = oembed_endpoint(url);
    if (!endpoint.empty() && fetch_url(endpoint + percent_encode(url), body, deadline)) {
        std::wstring title = json_title(body);
        if (!title.empty()) return title;
    }
    if (!fetch_url(url, body, deadline)) return {};
    return html_title(body);
}

void link_title_thread(HWND main_window, std::int64_t history_id, std::wstring text) {
    std::wstring title = fetch_link_title(text);
    if (title.empty() || !IsWindow(main_window)) return;
    auto* posted = new FetchedLinkTitle{std::move(text), std::move(title)};
    {
        std::lock_guard<std::mutex> lock(g_posted_mutex);
        g_posted.insert(posted);
    }
    if (PostMessageW(main_window, kMsgLinkTitle, static_cast<WPARAM>(history_id), reinterpret_cast<LPARAM>(posted)))
        return;
    // Nobody will receive it: take it back unless, against all odds, the
    // receiver already has.
    std::unique_ptr<FetchedLinkTitle> unclaimed = claim_link_title(reinterpret_cast<LPARAM>(posted));
}

void start_link_title_thread(HWND main_window, std::int64_t history_id, const std::wstring& text) {
    // No thread, no title: the entry simply stays without one.
    start_detached(link_title_thread, main_window, history_id, text);
}

std::unique_ptr<FetchedLinkTitle> claim_link_title(LPARAM lparam) {
    auto* p = reinterpret_cast<FetchedLinkTitle*>(lparam);
    if (!p) return nullptr;
    std::lock_guard<std::mutex> lock(g_posted_mutex);
    auto it = g_posted.find(p);
    if (it == g_posted.end()) return nullptr;
    g_posted.erase(it);
    return std::unique_ptr<FetchedLinkTitle>(p);
}
