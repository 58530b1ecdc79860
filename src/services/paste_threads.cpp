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
    PostMessageW(request.main_window, kMsgPasteDone, 0, 0);
    if (request.reopen) {
        Sleep(kBeforeReopenMs);
        PostMessageW(request.main_window, kMsgShowMain, 0, 0);
    }
}

}  // namespace

void quick_slot_paste_thread(HWND target, HWND main_window) {
    Sleep(kBeforeFocusMs);
    if (target) force_foreground(target);
    // Released, the slot hotkey's Ctrl+Shift stays as the user has it.
    wait_modifiers_released(kModifierWaitMs);
    Sleep(kSlotAfterModifiersMs);
    send_ctrl_v();
    PostMessageW(main_window, kMsgPasteDone, 0, 0);
}

void quick_menu_paste_thread(HWND main_window) {
    Sleep(kQuickMenuBeforeKeysMs);
    send_ctrl_v();
    PostMessageW(main_window, kMsgPasteDone, 0, 0);
}

void paste_selected_thread(PasteRequest request) { paste_from_main_window(request); }
void paste_selected_thread_2(PasteRequest request) { paste_from_main_window(request); }
void paste_text_thread(PasteRequest request) { paste_from_main_window(request); }
void paste_multiple_thread(PasteRequest request) { paste_from_main_window(request); }
