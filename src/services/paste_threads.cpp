#include "services/paste_threads.h"

#include "services/focus.h"
#include "services/ids.h"
#include "services/keystrokes.h"

namespace {

constexpr DWORD kBeforeFocusMs = 60;
constexpr DWORD kFocusToKeysMs = 80;
constexpr DWORD kSlotAfterModifiersMs = 30;
constexpr DWORD kQuickMenuBeforeKeysMs = 50;
constexpr DWORD kBeforeReopenMs = 200;
constexpr int kModifierWaitMs = 1200;

void paste_from_main_window(const PasteRequest& request) {
    Sleep(kBeforeFocusMs);
    if (request.target) force_foreground(request.target);
    Sleep(kFocusToKeysMs);
    send_ctrl_v();
    if (request.reopen) {
        Sleep(kBeforeReopenMs);
        PostMessageW(request.main_window, kMsgShowMain, 0, 0);
    }
}

}  // namespace

void quick_slot_paste_thread(HWND target) {
    Sleep(kBeforeFocusMs);
    if (target) force_foreground(target);
    // The slot hotkey's Ctrl+Shift would otherwise turn Ctrl+V into Ctrl+Shift+V.
    wait_modifiers_released(kModifierWaitMs);
    Sleep(kSlotAfterModifiersMs);
    send_ctrl_v();
}

void quick_menu_paste_thread() {
    Sleep(kQuickMenuBeforeKeysMs);
    send_ctrl_v();
}

void paste_selected_thread(PasteRequest request) { paste_from_main_window(request); }
void paste_selected_thread_2(PasteRequest request) { paste_from_main_window(request); }
void paste_text_thread(PasteRequest request) { paste_from_main_window(request); }
void paste_multiple_thread(PasteRequest request) { paste_from_main_window(request); }
