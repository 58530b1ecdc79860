// A program whose copy the running Korvane should see: it puts any mix of
// formats on the clipboard as the owner, with a window of its own, and stays
// alive a while so that its process can be named.
//   clip_source [text=<hex>] [rtf=<hex>] [html=<hex> [url=<hex>]] [dib=<bytes> [seed=<n>]]
//               [exclude] [visible] [stay=<ms>] [hold=<file>] [hotkey=<id>[,<id>...]]
//               [post=<window class>,<message>,<wparam>]...
// Texts are hex-encoded UTF-8, so no code page stands between the test and
// the clipboard. Prints "ready" once the clipboard holds the content. With
// hold, it then keeps the clipboard open, as a busy program does, until the
// file exists (at most a minute), prints "released" and ends. A clipboard
// that stays open in another program is given up on, with a word on stderr.
// With hotkey, the running Korvane gets that hotkey (or those, one right
// after another) the moment the content is there, before its timer can have
// looked at the clipboard. With post, each message goes to the window of that
// class at the same moment, after the hotkeys.

#include "helpers/probe_util.h"
#include "services/clipboard.h"
#include "services/encoding.h"
#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string from_hex(const std::wstring& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(std::wstring(hex, i, 2), nullptr, 16));
    return out;
}

// The "HTML Format" block: a header with byte offsets, then the document.
std::string make_cf_html(const std::string& fragment, const std::string& source_url) {
    const std::string pre = "<html><body><!--StartFragment-->";
    const std::string post = "<!--EndFragment--></body></html>";
    char header[512];
    const char* layout =
        "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\nEndFragment:%010d\r\n";
    std::string url_line = source_url.empty() ? "" : "SourceURL:" + source_url + "\r\n";
    const int header_len = std::snprintf(header, sizeof header, layout, 0, 0, 0, 0) + int(url_line.size());
    const int start_html = header_len;
    const int start_fragment = start_html + int(pre.size());
    const int end_fragment = start_fragment + int(fragment.size());
    const int end_html = end_fragment + int(post.size());
    std::snprintf(header, sizeof header, layout, start_html, end_html, start_fragment, end_fragment);
    return std::string(header) + url_line + pre + fragment + post;
}

// A 32-bit DIB block of exactly size bytes (header, pixels, padding).
Bytes make_dib(size_t size, unsigned seed) {
    Bytes dib(size, 0);
    if (size < 40 + 1024) return dib;
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 256;
    h.biHeight = static_cast<LONG>((size - 40) / 1024);
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(h.biHeight) * 1024;
    std::memcpy(dib.data(), &h, sizeof h);
    for (size_t i = 40; i < 40 + h.biSizeImage; ++i) dib[i] = static_cast<std::uint8_t>((i * 31 + seed * 7) & 0xFF);
    return dib;
}

bool put(HWND owner, const std::wstring& text, const std::string& rtf, const std::string& html, const Bytes& dib,
         bool exclude) {
    register_clipboard_formats();
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !(opened = OpenClipboard(owner)); ++attempt) Sleep(20);
    if (!opened || !EmptyClipboard()) {
        if (opened) CloseClipboard();
        return false;
    }
    if (!text.empty()) set_clipboard_bytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (!rtf.empty()) set_clipboard_bytes(rtf_clipboard_format(), rtf.data(), rtf.size());
    if (!html.empty()) set_clipboard_bytes(html_clipboard_format(), html.data(), html.size());
    if (!dib.empty()) set_clipboard_bytes(CF_DIB, dib.data(), dib.size());
    if (exclude) {
        const UINT fmt = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
        const char zero = 0;
        set_clipboard_bytes(fmt, &zero, 1);
    }
    return CloseClipboard() != FALSE;
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    std::wstring text;
    std::string rtf, html_fragment, url;
    size_t dib_size = 0;
    unsigned seed = 0;
    bool exclude = false, visible = false, has_html = false;
    DWORD stay = 3000;
    std::wstring hold_until;
    std::vector<int> hotkeys;
    struct Post {
        std::wstring window_class;
        UINT message;
        WPARAM wparam;
    };
    std::vector<Post> posts;
    const std::vector<std::wstring> args = testsupport::command_line_args();
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        const size_t eq = a.find(L'=');
        const std::wstring key = a.substr(0, eq);
        const std::wstring value = eq == std::wstring::npos ? L"" : a.substr(eq + 1);
        if (key == L"text") text = wide_from_utf8(from_hex(value));
        else if (key == L"rtf") rtf = from_hex(value);
        else if (key == L"html") html_fragment = from_hex(value), has_html = true;
        else if (key == L"url") url = from_hex(value);
        else if (key == L"dib") dib_size = std::stoul(value);
        else if (key == L"seed") seed = std::stoul(value);
        else if (key == L"exclude") exclude = true;
        else if (key == L"visible") visible = true;
        else if (key == L"stay") stay = std::stoul(value);
        else if (key == L"hold") hold_until = value;
        else if (key == L"hotkey") {
            std::wistringstream ids(value);
            for (std::wstring id; std::getline(ids, id, L',');) hotkeys.push_back(std::stoi(id));
        } else if (key == L"post") {
            std::wistringstream parts(value);
            std::wstring window_class, message, wparam;
            if (!std::getline(parts, window_class, L',') || !std::getline(parts, message, L',') ||
                !std::getline(parts, wparam))
                return probe::bad_arguments();
            posts.push_back({window_class, static_cast<UINT>(std::stoul(message)), std::stoull(wparam)});
        } else return probe::bad_arguments();
    }

    HWND window = CreateWindowExW(0, L"STATIC", L"Clip source", WS_OVERLAPPEDWINDOW, 40, 40, 300, 120, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return probe::give_up(1, "no window");
    if (visible) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }
    if (!put(window, text, rtf, has_html ? make_cf_html(html_fragment, url) : std::string(),
             dib_size ? make_dib(dib_size, seed) : Bytes(), exclude))
        return probe::give_up(1, "the clipboard stayed open in another program");
    for (int hotkey : hotkeys) PostMessageW(FindWindowW(kMainWindowClass, nullptr), WM_HOTKEY, hotkey, 0);
    for (const Post& post : posts)
        PostMessageW(FindWindowW(post.window_class.c_str(), nullptr), post.message, post.wparam, 0);
    if (!hold_until.empty()) {
        for (int attempt = 0; attempt < 50 && !OpenClipboard(window); ++attempt) Sleep(20);
        std::printf("ready\n");
        std::fflush(stdout);
        for (int waited = 0; waited < 60000 && !testsupport::file_exists(hold_until); waited += 20)
            testsupport::pump_messages(20);
        CloseClipboard();
        std::printf("released\n");
        std::fflush(stdout);
        DestroyWindow(window);
        return 0;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    testsupport::pump_messages(stay);
    DestroyWindow(window);
    return 0;
}
