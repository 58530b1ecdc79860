// The plain-paste hotkey: the clipboard's text again, without its formatting.

#include "services/clipboard.h"
#include "services/ids.h"
#include "services/keystrokes.h"
#include "services/paste_threads.h"

#include <windows.h>

namespace {

constexpr DWORD kRewriteToPasteMs = 40;
constexpr int kModifierWaitMs = 1200;

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

void plain_paste_thread(HWND main_window) {
    // The hotkey's own modifiers would turn Ctrl+V into something else.
    wait_modifiers_released(kModifierWaitMs);
    if (!repaste_clipboard()) PostMessageW(main_window, kMsgPasteFailed, 0, 0);
    PostMessageW(main_window, kMsgPasteDone, 0, 0);
}
