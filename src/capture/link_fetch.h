#pragma once
// Fetching the title of a copied web address on a worker thread, over
// WinINet, and handing it to the main window by message: kMsgLinkTitle
// (services/ids.h), wParam the history id, lParam a FetchedLinkTitle* handed
// out by a worker and taken back with claim_link_title.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

constexpr char kLinkUserAgent[] = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) Korvane/1.0";
// Reading stops once this much of a body has arrived (one read more at most).
constexpr size_t kMaxBodyBytes = 512 * 1024;
// One title's whole fetch, every try, redirect and read included, is given up
// after this long: a server that sends a byte now and then would otherwise
// hold its worker for as long as it liked.
constexpr DWORD kTitleFetchLimitMs = 15000;

// Redirects followed one after another before a fetch is given up: a server
// that redirects to itself would otherwise be asked until the deadline.
constexpr int kMaxRedirects = 5;

// What a worker hands over: the title and the text it was fetched for, which
// the entry may no longer hold by the time it arrives.
struct FetchedLinkTitle {
    std::wstring text;
    std::wstring title;
};

// When a fetch is given up: a time on clock, which is GetTickCount64 unless a
// test puts its own there to choose the call at which the deadline passes.
struct FetchDeadline {
    ULONGLONG at = 0;
    ULONGLONG(WINAPI* clock)() = GetTickCount64;
};

enum class HttpGet {
    Page,      // a 2xx response with a non-empty body
    Refused,   // an answer that is no page: another status, an empty or broken body
    NoAnswer,  // no connection, or no response to the request
};

// Where a redirect from the address from leads, its Location resolved
// against from as a browser would; empty when it is not to be followed: it
// is no http or https address, names a user, or names no host.
std::wstring redirect_target(const std::wstring& from, const std::wstring& location);

// One GET with the given WinINet access type, sending no cookies and no
// logon, following up to kMaxRedirects redirects under the same rules, and
// ended at the deadline: no call is begun after it, and one still waiting
// then has its handles closed. The body is handed out only with Page; an
// error page's body never is.
HttpGet http_get(DWORD access_type, const std::wstring& url, std::string& body, const FetchDeadline& deadline);

// GET through the system's proxy settings, then directly only when that
// found nobody to answer. True with a page in body.
bool fetch_url(const std::wstring& url, std::string& body, const FetchDeadline& deadline);

// The title of the page (or video) at the address; empty when there is none,
// and at once for an address that carries credentials.
std::wstring fetch_link_title(const std::wstring& url);

// Worker body: fetch, then post kMsgLinkTitle to the main window when a
// title was found and the window still exists.
void link_title_thread(HWND main_window, std::int64_t history_id, std::wstring text);

// Starts link_title_thread detached. Quietly does nothing when no thread
// can be started.
void start_link_title_thread(HWND main_window, std::int64_t history_id, const std::wstring& text);

// The receiving side of kMsgLinkTitle: the title a worker of this
// process posted with that lParam, now owned by the caller; null for any
// value this process did not hand out (or has handed back already).
std::unique_ptr<FetchedLinkTitle> claim_link_title(LPARAM lparam);
