#include "services/link_fetch.h"

#include "services/link_title.h"
#include "services/scoped.h"
#include "services/text_util.h"

#include <wininet.h>

#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace {

constexpr DWORD kTimeoutMs = 6000;
constexpr DWORD kReadPiece = 16384;

// Titles posted by workers and not yet claimed: the receiver frees only
// pointers found here, never a value some other process posted.
std::mutex g_posted_mutex;
std::set<std::wstring*> g_posted;

void set_timeouts(HINTERNET h) {
    DWORD ms = kTimeoutMs;
    InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
    InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
    InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

bool is_success_status(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return false;
    return status >= 200 && status <= 299;
}

}  // namespace

bool http_get(DWORD access_type, const std::wstring& url, std::string& body) {
    body.clear();
    static const std::wstring agent(kLinkUserAgent, kLinkUserAgent + sizeof kLinkUserAgent - 1);
    ScopedInternet session(InternetOpenW(agent.c_str(), access_type, nullptr, nullptr, 0));
    if (!session) return false;
    set_timeouts(session.get());

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI;
    if (url.compare(0, 8, L"https://") == 0) flags |= INTERNET_FLAG_SECURE;
    static const wchar_t kHeaders[] = L"Accept-Encoding: identity\r\n";
    ScopedInternet request(InternetOpenUrlW(session.get(), url.c_str(), kHeaders, DWORD(-1), flags, 0));
    if (!request) return false;
    // Some WinINet builds take time-outs only from the request handle; the
    // body reads below are bounded by these either way.
    set_timeouts(request.get());
    if (!is_success_status(request.get())) return false;

    char piece[kReadPiece];
    while (body.size() < kMaxBodyBytes) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), piece, kReadPiece, &got)) {
            body.clear();
            return false;
        }
        if (got == 0) break;
        body.append(piece, got);
    }
    return !body.empty();
}

bool fetch_url(const std::wstring& url, std::string& body) {
    body.clear();
    // Pick up proxy changes made since the last fetch.
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
    if (http_get(INTERNET_OPEN_TYPE_PRECONFIG, url, body)) return true;
    return http_get(INTERNET_OPEN_TYPE_DIRECT, url, body);
}

std::wstring fetch_link_title(const std::wstring& address) {
    if (!is_url(address)) return {};
    const std::wstring url = trim_blanks(address);
    std::string body;
    const std::wstring endpoint = oembed_endpoint(url);
    if (!endpoint.empty() && fetch_url(endpoint + percent_encode(url), body)) {
        std::wstring title = json_title(body);
        if (!title.empty()) return title;
    }
    if (!fetch_url(url, body)) return {};
    return html_title(body);
}

void link_title_thread(HWND main_window, std::int64_t history_id, std::wstring text) {
    const std::wstring title = fetch_link_title(text);
    if (title.empty() || !IsWindow(main_window)) return;
    auto* posted = new std::wstring(title);
    {
        std::lock_guard<std::mutex> lock(g_posted_mutex);
        g_posted.insert(posted);
    }
    if (PostMessageW(main_window, WM_APP_LINK_TITLE, static_cast<WPARAM>(history_id),
                     reinterpret_cast<LPARAM>(posted)))
        return;
    // Nobody will receive it: take it back unless, against all odds, the
    // receiver already has.
    std::unique_ptr<std::wstring> unclaimed = claim_link_title(reinterpret_cast<LPARAM>(posted));
}

void start_link_title_thread(HWND main_window, std::int64_t history_id, const std::wstring& text) {
    try {
        std::thread(link_title_thread, main_window, history_id, text).detach();
    } catch (const std::system_error&) {
        // No thread, no title: the entry simply stays without one.
    }
}

std::unique_ptr<std::wstring> claim_link_title(LPARAM lparam) {
    auto* p = reinterpret_cast<std::wstring*>(lparam);
    if (!p) return nullptr;
    std::lock_guard<std::mutex> lock(g_posted_mutex);
    auto it = g_posted.find(p);
    if (it == g_posted.end()) return nullptr;
    g_posted.erase(it);
    return std::unique_ptr<std::wstring>(p);
}
