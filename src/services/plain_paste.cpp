// The plain-paste hotkey: the clipboard's text again, without its formatting.

#include "services/clipboard.h"
#include "services/keystrokes.h"
#include "services/paste_threads.h"

#include <windows.h>

namespace {

constexpr DWORD kRewriteToPasteMs = 40;
constexpr int kModifierWaitMs = 1200;

}  // namespace

void repaste_clipboard() {
    const std::wstring text = get_clipboard_text();
    if (text.empty()) return;
    set_clipboard_text(text);
    Sleep(kRewriteToPasteMs);
    send_ctrl_v();
}

void plain_paste_thread() {
    // The hotkey's own modifiers would turn Ctrl+V into something else.
    wait_modifiers_released(kModifierWaitMs);
    repaste_clipboard();
}
