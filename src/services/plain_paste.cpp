// The plain-paste hotkey: the clipboard's text again, without its formatting.

#include "services/clipboard.h"
#include "services/keystrokes.h"

#include <windows.h>

namespace {

constexpr DWORD kRewriteToPasteMs = 40;

}  // namespace

bool repaste_clipboard() {
    bool excluded = false;
    const std::wstring text = get_clipboard_text(&excluded);
    if (text.empty()) return true;
    // A copy that asked not to be recorded (a password manager's) asks it
    // still as plain text. Unwritten, the clipboard still holds the
    // formatting: no keys then.
    if (!set_clipboard_text(text, excluded)) return false;
    Sleep(kRewriteToPasteMs);
    send_ctrl_v();
    return true;
}
