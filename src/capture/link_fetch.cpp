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

DWORD status_code(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
    return status;
}

bool is_redirect_status(DWORD status) {
    return status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD ||
           status == HTTP_STATUS_REDIRECT_KEEP_VERB || status == HTTP_STATUS_PERMANENT_REDIRECT;
}

std::wstring location_header(HINTERNET request) {
    std::wstring location(256, L'\0');
    for (;;) {
        DWORD bytes = DWORD(location.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &bytes, nullptr)) {
            location.resize(bytes / sizeof(wchar_t));
            return location;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        location.resize(bytes / sizeof(wchar_t) + 1);
    }
}

struct TimerTraits : handle_traits::NullInvalid<HANDLE> {
    // Waits for a callback that has begun: it may be using what the timer's owner is about to free.
    static void close(HANDLE h) noexcept { ::DeleteTimerQueueTimer(nullptr, h, INVALID_HANDLE_VALUE); }
};

// The WinINet handles of one GET, each closed once: by the fetch when it is
// done with them, or at the deadline by a timer on a thread of the system's,
// which ends a call still blocking on them. No time-out would: a server that
// sends a header line now and then starts the receive time-out again with
// each. (Wine's WinINet goes on with such a call until the server stops; the
// closed handles still keep the fetch from making any call after it.)
class FetchHandles {
public:
    enum Slot { Session, Connection, Request };  // each the parent of the next

    explicit FetchHandles(const FetchDeadline& deadline) {
        const ULONGLONG now = deadline.clock();
        if (now >= deadline.at) return;
        const DWORD ms = DWORD(std::min<ULONGLONG>(deadline.at - now, MAXDWORD - 1));
        CreateTimerQueueTimer(timer_.put(), nullptr, expire, this, ms, 0, WT_EXECUTEONLYONCE);
    }
    FetchHandles(const FetchHandles&) = delete;
    FetchHandles& operator=(const FetchHandles&) = delete;

    // Takes h into its slot, closing what was there from the slot on. False,
    // with h closed, for no handle, and once the deadline has passed or
    // there is no timer to keep it: no call is made after that.
    bool keep(Slot slot, HINTERNET h) {
        std::lock_guard<std::mutex> lock(mutex_);
        close_from(slot);
        if (expired_ || !timer_) {
            if (h) InternetCloseHandle(h);
            return false;
        }
        handles_[slot].reset(h);
        return h != nullptr;
    }

    // The handle in the slot; null once the deadline has closed it.
    HINTERNET operator[](Slot slot) {
        std::lock_guard<std::mutex> lock(mutex_);
        return handles_[slot].get();
    }

private:
    void close_from(Slot first) {
        for (int slot = Request; slot >= first; --slot) handles_[slot].reset();  // children first
    }

    static void CALLBACK expire(void* self, BOOLEAN) {
        auto* handles = static_cast<FetchHandles*>(self);
        std::lock_guard<std::mutex> lock(handles->mutex_);
        handles->expired_ = true;
        handles->close_from(Session);
    }

    // Destroyed in reverse: the timer first, once its callback is over, then
    // the handles from the request up.
    ScopedInternet handles_[3];
    std::mutex mutex_;
    bool expired_ = false;
    UniqueHandle<HANDLE, TimerTraits> timer_;
};

// Sends a GET for url on the session of handles, the connection and request
// taking the places of the last hop's. The request is built from its parts
// rather than with InternetOpenUrlW, so that the time-outs can be set on the
// connection and request handles before anything is sent: some WinINet
// builds (Wine's among them) do not pass the session's time-outs on, and a
// server that stops answering would then hold the worker for ever. Redirects
// are left to the caller, who follows them one at a time: WinINet follows
// them within the one call, without end if a server says so.
bool send_get(FetchHandles& handles, const std::wstring& url, const FetchDeadline& deadline) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength =
        parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), DWORD(url.size()), 0, &parts)) return false;
    if (!parts.lpszHostName || parts.dwHostNameLength == 0) return false;
    // An address with a user in it is not fetched at all (fetch_link_title,
    // redirect_target); none is ever handed on here, whatever this reading of
    // it found.
    if (parts.dwUserNameLength != 0 || parts.dwPasswordLength != 0) return false;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const size_t fragment = object.find(L'#');  // never sent to the server
    if (fragment != std::wstring::npos) object.erase(fragment);
    if (object.empty()) object = L"/";

    using enum FetchHandles::Slot;
    if (!handles.keep(Connection, InternetConnectW(handles[Session], host.c_str(), parts.nPort, nullptr, nullptr,
                                                   INTERNET_SERVICE_HTTP, 0, 0)) ||
        !set_timeouts(handles[Connection], deadline))
        return false;

    // A title is worth neither the user's cookies nor their logon.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    if (!handles.keep(Request, HttpOpenRequestW(handles[Connection], L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                                flags, 0)) ||
        !set_timeouts(handles[Request], deadline))
        return false;
    static const wchar_t kHeaders[] = L"Accept-Encoding: identity\r\n";
    return HttpSendRequestW(handles[Request], kHeaders, DWORD(-1), nullptr, 0);
}

}  // namespace

std::wstring redirect_target(const std::wstring& from, const std::wstring& location) {
    const std::wstring to = trim_blanks(location);
    if (to.empty()) return {};
    std::wstring target(INTERNET_MAX_URL_LENGTH, L'\0');
    DWORD size = DWORD(target.size());
    if (!InternetCombineUrlW(from.c_str(), to.c_str(), target.data(), &size, 0)) return {};
    target.resize(size);
    // The next address is fetched under the rules of the first.
    if (!is_url(target) || url_has_credentials(target) || url_host(target).empty()) return {};
    return target;
}

HttpGet http_get(DWORD access_type, const std::wstring& url, std::string& body, const FetchDeadline& deadline) {
    body.clear();
    static const std::wstring agent(kLinkUserAgent, kLinkUserAgent + sizeof kLinkUserAgent - 1);
    using enum FetchHandles::Slot;
    FetchHandles handles(deadline);
    if (!handles.keep(Session, InternetOpenW(agent.c_str(), access_type, nullptr, nullptr, 0)) ||
        !set_timeouts(handles[Session], deadline))
        return HttpGet::NoAnswer;
    std::wstring address = url;
    for (int redirects = 0;; ++redirects) {
        // Once a redirect has come, someone has answered: going around the
        // proxy would not be asking the same again.
        if (!send_get(handles, address, deadline)) return redirects == 0 ? HttpGet::NoAnswer : HttpGet::Refused;
        if (!is_redirect_status(status_code(handles[Request]))) break;
        if (redirects == kMaxRedirects) return HttpGet::Refused;
        address = redirect_target(address, location_header(handles[Request]));
        if (address.empty()) return HttpGet::Refused;
    }
    // Only a successful (2xx) response is the page: an error page's title is not.
    const DWORD status = status_code(handles[Request]);
    if (status < HTTP_STATUS_OK || status >= HTTP_STATUS_AMBIGUOUS) return HttpGet::Refused;

    char piece[kReadPiece];
    while (body.size() < kMaxBodyBytes) {
        // A read returns only once its buffer is full, however slowly the
        // bytes come: asking for no more than has arrived keeps each call
        // within the receive time-out, and that within the deadline. A body
        // cut off there is no page.
        const HINTERNET request = handles[Request];
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
