// The plain-paste hotkey: the clipboard's text again, without its formatting.

#include "services/ids.h"
#include "services/clipboard.h"
#include "services/keystrokes.h"
#include "services/paste_threads.h"

#include <windows.h>

namespace {

constexpr DWORD kRewriteToPasteMs = 40;
constexpr int kModifierWaitMs = 1200;

}  // namespace

bool repaste_clipboard() {
    const std::wstring text = get_clipboard_text();
    if (text.empty()) return true;
    // Unwritten, the clipboard still holds the formatting: no keys then.
    if (!write_clipboard_patiently([&] { return set_clipboard_text(text); })) return false;
    Sleep(kRewriteToPasteMs);
    send_ctrl_v();
    return true;
}

void plain_paste_thread(HWND main_window) {
    // The hotkey's own modifiers would turn Ctrl+V into something else.
    wait_modifiers_released(kModifierWaitMs);
    if (!repaste_clipboard()) PostMessageW(main_window, kMsgPasteFailed, 0, 0);
}
