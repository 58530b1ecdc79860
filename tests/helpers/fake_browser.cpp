// Stands in for a browser: the tests copy it to a file named like one
// (chrome.exe). Its window in front answers accessibility queries with a
// browser-like tree (an address bar and a page name), and it copies text and
// "HTML Format" with a SourceURL as the owner of the clipboard.
//   fake_browser address=<hex> name=<hex> text=<hex> [url=<hex>] [stay=<ms>]
// Texts are hex-encoded UTF-8. Prints "ready" once the clipboard is set.

#include "helpers/probe_util.h"
#include "services/clipboard.h"
#include "services/com_ptr.h"
#include "services/encoding.h"
#include "support/desktop_input.h"
#include "support/fake_accessible.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <string>

using testsupport::FakeNode;

namespace {

std::shared_ptr<FakeNode> g_tree;

std::string from_hex(const std::wstring& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(std::wstring(hex, i, 2), nullptr, 16));
    return out;
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_GETOBJECT && static_cast<long>(lparam) == OBJID_CLIENT && g_tree) {
        ComPtr<IAccessible> acc(testsupport::make_fake_accessible(g_tree));
        return LresultFromObject(__uuidof(IAccessible), wparam, acc.get());
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

std::string cf_html(const std::string& fragment, const std::string& url) {
    const std::string body = "<html><body><!--StartFragment-->" + fragment + "<!--EndFragment--></body></html>";
    std::string head = "Version:0.9\r\nStartHTML:0000000000\r\nEndHTML:0000000000\r\n";
    if (!url.empty()) head += "SourceURL:" + url + "\r\n";
    return head + body;  // offsets are not read by the program
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    ScopedCoInit com;
    std::wstring address, name, text;
    std::string url;
    DWORD stay = 2500;
    for (const std::wstring& a : testsupport::command_line_args()) {
        const size_t eq = a.find(L'=');
        if (eq == std::wstring::npos) continue;
        const std::wstring key = a.substr(0, eq), value = a.substr(eq + 1);
        if (key == L"address") address = wide_from_utf8(from_hex(value));
        else if (key == L"name") name = wide_from_utf8(from_hex(value));
        else if (key == L"text") text = wide_from_utf8(from_hex(value));
        else if (key == L"url") url = from_hex(value);
        else if (key == L"stay") stay = std::stoul(value);
    }

    g_tree = FakeNode::make(ROLE_SYSTEM_CLIENT, L"", name);
    auto& toolbar = g_tree->add(FakeNode::make(ROLE_SYSTEM_TOOLBAR));
    toolbar.add(FakeNode::make(ROLE_SYSTEM_LINK, L"https://bookmark.example/"));
    toolbar.add(FakeNode::make(ROLE_SYSTEM_TEXT, address));

    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaneTestFakeBrowser";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Fake Page - Google Chrome", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  60, 60, 500, 300, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return probe::give_up(1, "no window");
    SetForegroundWindow(window);

    register_clipboard_formats();
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !(opened = OpenClipboard(window)); ++attempt) Sleep(20);
    if (!opened) return probe::give_up(1, "the clipboard stayed open in another program");
    EmptyClipboard();
    set_clipboard_bytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    const std::string html = cf_html(utf8_from_wide(text), url);
    set_clipboard_bytes(html_clipboard_format(), html.data(), html.size());
    CloseClipboard();
    std::printf("ready\n");
    std::fflush(stdout);

    testsupport::pump_messages(stay);
    DestroyWindow(window);
    return 0;
}
