#pragma once
// What the helper programs that look at a running Korvane share: waiting for
// its windows with the lines the Python tests read, and texts as hex.

#include "services/encoding.h"
#include "support/desktop_input.h"
#include "support/remote_window.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace probe {

// A helper that gives up says why, on stderr, beside whatever its stdout
// protocol says: a failure that prints nothing cannot be told from a run
// that never reached the program. Returns the exit code.
inline int give_up(int code, const char* why) {
    std::fprintf(stderr, "%s\n", why);
    return code;
}

// Exit code 2: the command line asks for nothing this helper does.
inline int bad_arguments() { return give_up(2, "unknown command or missing arguments"); }

// Hex of the text's UTF-8, so that blanks and line breaks survive the line
// format; "-" for an empty text, which would otherwise leave a blank field.
inline std::string hex(const std::wstring& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : utf8_from_wide(text)) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

// A list box row's text; LB_GETTEXT carries it across from the other process.
// The program may refill the list between the two messages, so the buffer
// has room to spare: a longer text there must not overrun it.
inline std::wstring row_text(HWND list, int row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) * 2 + 4096, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR || static_cast<size_t>(got) >= text.size() ? 0 : static_cast<size_t>(got));
    return text;
}

// The visible window of a class, or null.
inline HWND visible_window(const wchar_t* window_class) {
    HWND window = FindWindowW(window_class, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// The helpers' "keys" command (testsupport::send_key_names): prints "typed",
// or "unknown-key <item>"; the exit code 0 or 1.
inline int type_keys(int count, char** items) {
    const std::string unknown = testsupport::send_key_names({items, items + count});
    std::printf(unknown.empty() ? "typed\n" : "unknown-key %s\n", unknown.c_str());
    return unknown.empty() ? 0 : 1;
}

// Waits for find() to give a window that answers: prints "<found> <handle>",
// or the line `missing`; the exit code 0 or 1.
inline int wait_shown(const std::function<HWND()>& find, long timeout_ms, const char* found, const char* missing) {
    if (HWND window = testsupport::wait_for_window(find, static_cast<DWORD>(timeout_ms))) {
        std::printf("%s %p\n", found, static_cast<void*>(window));
        return 0;
    }
    std::printf("%s\n", missing);
    return give_up(1, "the window did not come in time");
}

// Waits for find() to give none: prints "gone" or "still-there"; the exit code 0 or 1.
inline int wait_gone(const std::function<HWND()>& find, long timeout_ms) {
    const bool gone = testsupport::wait_until_gone(find, static_cast<DWORD>(timeout_ms));
    std::printf(gone ? "gone\n" : "still-there\n");
    return gone ? 0 : give_up(1, "the window stayed");
}

}  // namespace probe
