#include "services/paste_threads.h"

#include "services/focus.h"
#include "services/ids.h"
#include "services/keystrokes.h"

#include <atomic>

namespace {

constexpr DWORD kBeforeFocusMs = 60;
constexpr DWORD kMainFocusToKeysMs = 80;
constexpr DWORD kSlotAfterKeysReleasedMs = 30;
constexpr DWORD kQuickMenuBeforeKeysMs = 50;
constexpr DWORD kBeforeReopenMs = 200;

// How one road times its paste.
struct Steps {
    DWORD before_focus_ms = 0;
    DWORD before_keys_ms = 0;
    bool plain = false;  // repaste_clipboard instead of Ctrl+V alone
};

std::atomic<unsigned> g_paste_turn{0};

// The paste's keys, unless it was given up on while it hung: the clipboard
// holds the next paste's content then.
void send_keys(const PasteRequest& request, const Steps& steps) {
    if (request.paste != g_paste_turn) return;
    if (!steps.plain) {
        send_ctrl_v();
    } else if (!repaste_clipboard()) {
        PostMessageW(request.main_window, kMsgPasteFailed, 0, 0);
    }
}

// The one road of every paste. No key the user holds is ever released or
// pressed here: the keys wait until the user has let go of them.
void run_paste(const PasteRequest& request, const Steps& steps) {
    Sleep(steps.before_focus_ms);
    if (request.target) force_foreground(request.target);
    if (wait_modifiers_released(kPasteKeysWaitMs, request.key)) {
        Sleep(steps.before_keys_ms);
        // While the keys were awaited, a window may have come forward (one
        // the window manager activates late): the keys are the target's.
        if (request.target && GetForegroundWindow() != request.target && force_foreground(request.target))
            Sleep(steps.before_keys_ms);
        send_keys(request, steps);
    }
    // The main window's return belongs to this paste, so it comes before the
    // paste's end: the next paste starts there and brings its own target
    // forward, which a later return would take from it.
    if (request.reopen) {
        Sleep(kBeforeReopenMs);
        PostMessageW(request.main_window, kMsgShowMain, 0, 0);
    }
    PostMessageW(request.main_window, kMsgPasteDone, request.paste, 0);
}

constexpr Steps kMainWindowSteps{kBeforeFocusMs, kMainFocusToKeysMs};

}  // namespace

void set_paste_turn(unsigned paste) { g_paste_turn = paste; }

void quick_slot_paste_thread(PasteRequest request) { run_paste(request, {kBeforeFocusMs, kSlotAfterKeysReleasedMs}); }

void quick_menu_paste_thread(PasteRequest request) { run_paste(request, {0, kQuickMenuBeforeKeysMs}); }

void plain_paste_thread(PasteRequest request) { run_paste(request, {0, 0, true}); }

void paste_selected_thread(PasteRequest request) { run_paste(request, kMainWindowSteps); }
void paste_selected_thread_2(PasteRequest request) { run_paste(request, kMainWindowSteps); }
void paste_text_thread(PasteRequest request) { run_paste(request, kMainWindowSteps); }
void paste_multiple_thread(PasteRequest request) { run_paste(request, kMainWindowSteps); }
