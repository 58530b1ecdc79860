#include "services/clipboard.h"

#include "services/handles.h"
#include "services/image.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

// CF_UNICODETEXT up to its first zero, never past the block's end.
std::wstring text_of_block(HANDLE data) {
    ScopedGlobalLock lock(data);
    if (!lock) return {};
    const auto* chars = static_cast<const wchar_t*>(lock.get());
    return std::wstring(chars, wcsnlen(chars, lock.size() / sizeof(wchar_t)));
}

std::wstring read_text_open() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    return data ? text_of_block(data) : std::wstring();
}

bool put_text_open(const std::wstring& text) {
    return set_clipboard_bytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

}  // namespace

void register_clipboard_formats() {
    rtf_clipboard_format();
    html_clipboard_format();
}

unsigned rtf_clipboard_format() {
    static const unsigned format = RegisterClipboardFormatW(L"Rich Text Format");
    return format;
}

unsigned html_clipboard_format() {
    static const unsigned format = RegisterClipboardFormatW(L"HTML Format");
    return format;
}

namespace {

template <typename Out>
void read_block(unsigned format, Out& out) {
    HANDLE data = format ? GetClipboardData(format) : nullptr;
    if (!data) return;
    ScopedGlobalLock lock(data);
    if (!lock || lock.size() == 0) return;
    const auto* bytes = static_cast<const typename Out::value_type*>(lock.get());
    out.assign(bytes, bytes + lock.size());
}

}  // namespace

void clipboard_bytes(unsigned format, std::string& out) { read_block(format, out); }
void clipboard_bytes(unsigned format, Bytes& out) { read_block(format, out); }

bool set_clipboard_bytes(unsigned format, const void* bytes, size_t size) {
    if (!format) return false;
    ScopedHGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return false;
    {
        ScopedGlobalLock lock(block.get());
        if (!lock) return false;
        if (size) std::memcpy(lock.get(), bytes, size);
    }
    if (!SetClipboardData(format, block.get())) return false;  // the block is still ours to free
    block.release();                                           // the system owns it now
    return true;
}

ClipboardContent read_clipboard() {
    register_clipboard_formats();
    ClipboardContent content;
    ScopedClipboard clipboard(nullptr);
    if (!clipboard.opened()) return content;
    content.text = read_text_open();
    if (IsClipboardFormatAvailable(rtf_clipboard_format())) clipboard_bytes(rtf_clipboard_format(), content.rtf);
    if (IsClipboardFormatAvailable(html_clipboard_format())) clipboard_bytes(html_clipboard_format(), content.html);
    if (IsClipboardFormatAvailable(CF_DIB)) clipboard_bytes(CF_DIB, content.dib);
    return content;
}

bool put_entry_on_clipboard(const std::wstring& text, const std::string& rtf, const std::string& html,
                            const Bytes& image) {
    register_clipboard_formats();
    Bytes decoded;
    const bool png = is_png(image);
    if (png) png_to_dib(image, decoded);  // an undecodable PNG puts no image
    const Bytes& dib = png ? decoded : image;

    ScopedClipboard clipboard(nullptr);
    if (!clipboard.opened() || !EmptyClipboard()) return false;
    // Programs that take the first format they know would paste an empty
    // text instead of the picture.
    bool all_put = (text.empty() && !dib.empty()) || put_text_open(text);
    if (!rtf.empty()) all_put = set_clipboard_bytes(rtf_clipboard_format(), rtf.data(), rtf.size()) && all_put;
    if (!html.empty()) all_put = set_clipboard_bytes(html_clipboard_format(), html.data(), html.size()) && all_put;
    if (!dib.empty()) all_put = set_clipboard_bytes(CF_DIB, dib.data(), dib.size()) && all_put;
    return all_put;
}

std::wstring get_clipboard_text() {
    ScopedClipboard clipboard(nullptr);
    if (!clipboard.opened()) return {};
    return read_text_open();
}

bool set_clipboard_text(const std::wstring& text) {
    ScopedClipboard clipboard(nullptr);
    if (!clipboard.opened() || !EmptyClipboard()) return false;
    return put_text_open(text);
}

bool write_clipboard_patiently(const std::function<bool()>& write) {
    constexpr ULONGLONG kPatienceMs = 100;
    constexpr DWORD kRetryMs = 10;
    const ULONGLONG start = GetTickCount64();
    while (!write()) {
        if (GetTickCount64() - start + kRetryMs > kPatienceMs) return false;
        Sleep(kRetryMs);
    }
    return true;
}

bool has_exclusion_format() {
    static const unsigned format = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    return format && IsClipboardFormatAvailable(format);
}
