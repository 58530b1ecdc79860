#pragma once
// The Windows clipboard in the four formats the history keeps: Unicode text,
// "Rich Text Format", "HTML Format" and CF_DIB. A read never waits for a
// clipboard another program holds open: it reads as empty. A write waits a
// moment for it (write_clipboard_patiently).
// Blocks other programs put there are never trusted to be terminated: every
// read stays within the block's size.

#include "services/encoding.h"

#include <functional>
#include <string>

struct ClipboardContent {
    std::wstring text;  // CF_UNICODETEXT up to its first zero
    // Whole memory blocks, byte for byte as the system reports their size
    // (so possibly with a terminating zero and padding), written back as read.
    std::string rtf;
    std::string html;
    Bytes dib;
};

// The registered numbers of "Rich Text Format" and "HTML Format" (0 when
// registration failed). Registered on first use.
void register_clipboard_formats();
unsigned rtf_clipboard_format();
unsigned html_clipboard_format();

ClipboardContent read_clipboard();

// With the clipboard already open: the format's whole block into out, or out
// unchanged when the format is missing, empty or cannot be locked.
void clipboard_bytes(unsigned format, std::string& out);
void clipboard_bytes(unsigned format, Bytes& out);
// With the clipboard already open and emptied: puts a copy of the bytes under
// format. False when memory could not be had or the system refused it.
bool set_clipboard_bytes(unsigned format, const void* bytes, size_t size);

// Replaces the clipboard with an entry: the text (even empty, unless there is
// a picture), the rich text and HTML when not empty, and the image when there
// is one (a PNG goes on as a 32-bit DIB; other bytes are taken to be a DIB as
// they are). Every part is copied before the clipboard is emptied, so memory
// too short for a large picture leaves the clipboard as it was. False when
// the clipboard could not be had or a part could not be put.
bool put_entry_on_clipboard(const std::wstring& text, const std::string& rtf, const std::string& html,
                            const Bytes& image);

// excluded (may be null): whether the text came with the "do not record"
// marker of has_exclusion_format.
std::wstring get_clipboard_text(bool* excluded = nullptr);
// As put_entry_on_clipboard, for a text alone; excluded puts the "do not
// record" marker beside it.
bool set_clipboard_text(const std::wstring& text, bool excluded = false);

// How every write above gets the clipboard: a write that failed would have a
// paste send, or a copy leave, whatever the clipboard held before. Another
// program holds the clipboard open only for moments, so write runs again
// every few milliseconds while it fails, for about 100 ms in all; false when
// it never succeeded.
bool write_clipboard_patiently(const std::function<bool()>& write);

// The clipboard holds "ExcludeClipboardContentFromMonitorProcessing": the
// program that put it there (a password manager) asks not to be recorded.
bool has_exclusion_format();
