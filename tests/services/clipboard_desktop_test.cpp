#include "services/clipboard.h"
#include "services/dib.h"
#include "services/handles.h"
#include "services/image.h"
#include "support/desktop_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <thread>

namespace {

Bytes sample_dib() {
    std::vector<std::uint8_t> px(3 * 2 * 4);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint8_t>(i * 11);
    return make_dib32(px.data(), 3, 2);
}

// Puts raw blocks on the clipboard as another program would.
void put_raw(std::initializer_list<std::pair<unsigned, std::string>> blocks) {
    ScopedClipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard.opened());
    ASSERT_TRUE(EmptyClipboard());
    for (const auto& [format, bytes] : blocks) ASSERT_TRUE(set_clipboard_bytes(format, bytes.data(), bytes.size()));
}

std::string wide_block(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

}  // namespace

TEST(Clipboard, EntryRoundTripsByteForByte) {
    const std::wstring text = L"Привет, мир \U0001F600\r\nsecond line";
    // Blocks as programs leave them: a terminator and padding at the end.
    const std::string rtf = std::string("{\\rtf1\\ansi \\u1055?\\par}\0\0\x7F", 26);
    const std::string html =
        "Version:0.9\r\nStartHTML:000000097\r\nEndHTML:000000170\r\nStartFragment:000000131\r\n"
        "EndFragment:000000134\r\nSourceURL:https://example.org/\xD1\x8F\r\n<html><body><!--StartFragment-->"
        "\xD1\x8F<!--EndFragment--></body></html>";
    const Bytes dib = sample_dib();
    put_entry_on_clipboard(text, rtf, html, dib);

    const ClipboardContent got = read_clipboard();
    EXPECT_EQ(got.text, text);
    // The system may round a block up; what we wrote must come back whole, first.
    ASSERT_GE(got.rtf.size(), rtf.size());
    EXPECT_EQ(got.rtf.substr(0, rtf.size()), rtf);
    ASSERT_GE(got.html.size(), html.size());
    EXPECT_EQ(got.html.substr(0, html.size()), html);
    ASSERT_GE(got.dib.size(), dib.size());
    EXPECT_EQ(Bytes(got.dib.begin(), got.dib.begin() + dib.size()), dib);
    EXPECT_EQ(get_clipboard_text(), text);

    // Written back exactly as read, the same bytes come back again.
    put_entry_on_clipboard(got.text, got.rtf, got.html, got.dib);
    const ClipboardContent again = read_clipboard();
    EXPECT_EQ(again.rtf, got.rtf);
    EXPECT_EQ(again.html, got.html);
    EXPECT_EQ(again.dib, got.dib);
}

TEST(Clipboard, WhatAnEntryPutsThere) {
    // Empty text still goes on; empty rich text and HTML do not.
    put_entry_on_clipboard(L"", "", "", {});
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(rtf_clipboard_format()));
    EXPECT_FALSE(IsClipboardFormatAvailable(html_clipboard_format()));
    EXPECT_EQ(read_clipboard().text, L"");

    // A PNG image goes on as a 32-bit bottom-up DIB with opaque alpha.
    Bytes png;
    ASSERT_TRUE(dib_to_png(sample_dib(), png));
    put_entry_on_clipboard(L"picture", "", "", png);
    ClipboardContent got = read_clipboard();
    Bytes expected = sample_dib();
    for (size_t i = 43; i < expected.size(); i += 4) expected[i] = 255;
    ASSERT_GE(got.dib.size(), expected.size());
    EXPECT_EQ(Bytes(got.dib.begin(), got.dib.begin() + expected.size()), expected);

    // A PNG that cannot be decoded puts the text without an image.
    png.resize(png.size() / 2);
    put_entry_on_clipboard(L"broken picture", "", "", png);
    got = read_clipboard();
    EXPECT_EQ(got.text, L"broken picture");
    EXPECT_TRUE(got.dib.empty());

    set_clipboard_text(L"plain only");
    got = read_clipboard();
    EXPECT_EQ(got.text, L"plain only");
    EXPECT_TRUE(got.rtf.empty() && got.html.empty() && got.dib.empty());
}

TEST(Clipboard, ReadsOnlyAnImage) {
    const Bytes dib = sample_dib();
    put_raw({{CF_DIB, std::string(dib.begin(), dib.end())}});
    const ClipboardContent got = read_clipboard();
    EXPECT_TRUE(got.text.empty());
    EXPECT_TRUE(got.rtf.empty());
    EXPECT_TRUE(got.html.empty());
    ASSERT_GE(got.dib.size(), dib.size());
    EXPECT_EQ(Bytes(got.dib.begin(), got.dib.begin() + dib.size()), dib);
}

TEST(Clipboard, UnterminatedTextStaysWithinItsBlock) {
    // Text without a terminating zero: the read stops at the block's end.
    // (Wine terminates text blocks itself by overwriting the last character;
    // Windows leaves them as they are.)
    put_raw({{CF_UNICODETEXT, wide_block(L"abc")}});
    const std::wstring text = read_clipboard().text;
    EXPECT_TRUE(text == L"abc" || text == L"ab") << utf8_from_wide(text);
    EXPECT_EQ(get_clipboard_text(), text);

    // An embedded zero ends the text.
    put_raw({{CF_UNICODETEXT, wide_block(std::wstring(L"ab\0cd", 6))}});
    EXPECT_EQ(read_clipboard().text, L"ab");
}

TEST(Clipboard, ExclusionFormatIsDetected) {
    set_clipboard_text(L"ordinary");
    EXPECT_FALSE(has_exclusion_format());
    const unsigned exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    put_raw({{CF_UNICODETEXT, wide_block(std::wstring(L"secret\0", 7))}, {exclude, std::string(1, '\0')}});
    EXPECT_TRUE(has_exclusion_format());
    EXPECT_EQ(read_clipboard().text, L"secret");
}

TEST(Clipboard, ABusyClipboardReadsAsEmptyAndIsNotWritten) {
    set_clipboard_text(L"before");
    {
        testsupport::ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        const DWORD start = GetTickCount();
        EXPECT_TRUE(read_clipboard().text.empty());
        EXPECT_TRUE(get_clipboard_text().empty());
        EXPECT_FALSE(put_entry_on_clipboard(L"after", "", "", {}));
        EXPECT_FALSE(set_clipboard_text(L"after"));
        EXPECT_LT(GetTickCount() - start, 2000u);  // nothing waited long for the holder
    }
    EXPECT_EQ(get_clipboard_text(), L"before");

    // Held for a moment only, as programs hold it: a write waits that out.
    testsupport::ClipboardHolder brief;
    std::thread releaser([&] {
        Sleep(20);
        brief.release();
    });
    EXPECT_TRUE(put_entry_on_clipboard(L"after a moment", "", "", {}));
    releaser.join();
    EXPECT_EQ(get_clipboard_text(), L"after a moment");
}
