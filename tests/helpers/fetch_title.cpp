// Fetches through the program's own link-title code and prints what it got,
// for the HTTP tests that serve pages from a local Python server.
//   fetch_title title <url>     the title fetch_link_title finds (UTF-8 line)
//   fetch_title get <url>       "ok <bytes>" or "fail" from fetch_url
//   fetch_title thread <url>    runs the worker against a window of its own and
//                               prints the text and title it posted, or "none"
//                               after 20 s

#include "capture/link_fetch.h"
#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void print_line(const std::wstring& text) {
    const std::string utf8 = utf8_from_wide(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int run_thread(const std::wstring& url) {
    HWND window = CreateWindowExW(0, L"STATIC", L"fetch", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!window) return probe::give_up(2, "no window");
    // A value no worker handed out is never taken as a title.
    if (claim_link_title(reinterpret_cast<LPARAM>(&url)))
        return probe::give_up(4, "a foreign value was taken as a title");
    start_link_title_thread(window, 42, url);
    const DWORD deadline = GetTickCount() + 20000;
    while (static_cast<LONG>(GetTickCount() - deadline) < 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == kMsgLinkTitle) {
                auto fetched = claim_link_title(msg.lParam);
                if (!fetched) return probe::give_up(5, "the posted title could not be claimed");
                if (claim_link_title(msg.lParam)) return probe::give_up(6, "a title was handed over twice");
                std::printf("id %lld\n", static_cast<long long>(msg.wParam));
                print_line(fetched->text);
                print_line(fetched->title);
                return 0;
            }
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    print_line(L"none");
    return 0;
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    const std::vector<std::wstring> args = testsupport::command_line_args();
    if (args.size() < 3) return probe::bad_arguments();
    const std::wstring& mode = args[1];
    const std::wstring& url = args[2];
    if (mode == L"title") {
        print_line(fetch_link_title(url));
        return 0;
    }
    if (mode == L"get") {
        std::string body;
        if (fetch_url(url, body, {GetTickCount64() + kTitleFetchLimitMs})) std::printf("ok %zu\n", body.size());
        else std::printf("fail\n");
        return 0;
    }
    if (mode == L"thread") return run_thread(url);
    return probe::bad_arguments();
}
