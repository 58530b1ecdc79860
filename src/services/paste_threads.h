#pragma once
// The bodies of the detached paste threads. Each gets copies of plain values,
// touches no object of the program and answers only by PostMessageW: each
// posts kMsgPasteDone to the main window once its keys are sent, so that the
// next paste may write the clipboard (services/paste_queue.h).

#include <windows.h>

#include <system_error>
#include <thread>

// What a paste thread started from the main window needs.
struct PasteRequest {
    HWND target = nullptr;  // may be null: the keys then go to the window in front
    HWND main_window = nullptr;
    bool reopen = false;  // show the main window again afterwards (kMsgShowMain)
};

// A quick slot: 60 ms, target to the front, wait for the hotkey's modifiers
// to be released (at most 1.2 s), 30 ms, Ctrl+V (what is still held released).
void quick_slot_paste_thread(HWND target, HWND main_window);

// The quick menu: 50 ms for the program in front to take the focus back, Ctrl+V.
void quick_menu_paste_thread(HWND main_window);

// The plain-paste hotkey: wait for the modifiers (at most 1.2 s), then
// repaste_clipboard into whatever has the focus (what is still held released). When the text could not be written back,
// no keys are sent and kMsgPasteFailed goes to main_window.
void plain_paste_thread(HWND main_window);

// The main window's paste commands: 60 ms, target to the front, 80 ms,
// Ctrl+V; with reopen, 200 ms later kMsgShowMain to the main window.
void paste_selected_thread(PasteRequest request);
void paste_selected_thread_2(PasteRequest request);
void paste_text_thread(PasteRequest request);
void paste_multiple_thread(PasteRequest request);

// Starts fn(args...) on a detached thread; false, and nothing else, when no
// thread can be started.
template <typename Fn, typename... Args>
bool start_detached(Fn fn, Args... args) {
    try {
        std::thread(fn, args...).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
