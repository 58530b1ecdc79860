#include "services/clipboard.h"

#include "services/handles.h"
#include "services/image.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

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

unsigned exclusion_clipboard_format() {
    static const unsigned format = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    return format;
}

// A movable block of global memory holding a copy of the bytes; empty when
// memory could not be had.
ScopedHGlobal global_copy(const void* bytes, size_t size) {
    ScopedHGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    {
        ScopedGlobalLock lock(block.get());
        if (!lock) return {};
        if (size) std::memcpy(lock.get(), bytes, size);
    }
    return block;
}

// One write's formats, each copied into global memory of its own before the
// clipboard is touched: a write whose memory cannot be had leaves the user's
// clipboard as it was, and a try that finds the clipboard taken keeps every
// block for the next try.
class PreparedWrite {
public:
    void add(unsigned format, const void* bytes, size_t size) {
        if (!complete_) return;
        ScopedHGlobal block = format ? global_copy(bytes, size) : ScopedHGlobal();
        if (block) blocks_.emplace_back(format, std::move(block));
        else complete_ = false;
    }
    void add_text(const std::wstring& text) { add(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }

    // One try: open, empty, hand every block over. Once the clipboard has
    // been emptied the write is spent, whatever came of it.
    bool put() {
        if (!complete_ || spent_) return false;
        ScopedClipboard clipboard(nullptr);
        if (!clipboard.opened() || !EmptyClipboard()) return false;
        spent_ = true;
        bool all_put = true;
        for (auto& [format, block] : blocks_) {
            if (SetClipboardData(format, block.get())) block.release();  // the system owns it now
            else all_put = false;
        }
        return all_put;
    }

    // Tried again while another program holds the clipboard; nothing is
    // tried when memory was short.
    bool put_patiently() {
        return complete_ && write_clipboard_patiently([this] { return put(); });
    }

private:
    std::vector<std::pair<unsigned, ScopedHGlobal>> blocks_;
    bool complete_ = true;
    bool spent_ = false;
};

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
    ScopedHGlobal block = format ? global_copy(bytes, size) : ScopedHGlobal();
    if (!block) return false;
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

    PreparedWrite write;
    // Programs that take the first format they know would paste an empty
    // text instead of the picture.
    if (!text.empty() || dib.empty()) write.add_text(text);
    if (!rtf.empty()) write.add(rtf_clipboard_format(), rtf.data(), rtf.size());
    if (!html.empty()) write.add(html_clipboard_format(), html.data(), html.size());
    if (!dib.empty()) write.add(CF_DIB, dib.data(), dib.size());
    return write.put_patiently();
}

std::wstring get_clipboard_text(bool* excluded) {
    ScopedClipboard clipboard(nullptr);
    if (excluded) *excluded = clipboard.opened() && has_exclusion_format();
    if (!clipboard.opened()) return {};
    return read_text_open();
}

bool set_clipboard_text(const std::wstring& text, bool excluded) {
    PreparedWrite write;
    write.add_text(text);
    if (excluded) {
        const char marker = 0;
        write.add(exclusion_clipboard_format(), &marker, 1);
    }
    return write.put_patiently();
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
    const unsigned format = exclusion_clipboard_format();
    return format && IsClipboardFormatAvailable(format);
}
