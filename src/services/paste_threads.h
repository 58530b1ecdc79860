#pragma once
// The bodies of the detached paste threads. Every paste takes the same road
// (paste_threads.cpp): the program it goes to brought to the front, a wait
// until the user has let go of the keys that asked for it, then Ctrl+V.
// Each thread gets copies of plain values, touches no object of the program
// and answers only by PostMessageW: each posts kMsgPasteDone, with its
// paste's number, to the main window once its keys are sent or it gave up
// waiting for the user's, so that the next paste may write the clipboard
// (services/paste_queue.h). A worker whose paste is no longer the pending
// one (given up on while it hung) sends no keys: they would paste what the
// next paste put on the clipboard.

#include "services/detached_thread.h"

#include <windows.h>

// What a paste thread needs.
struct PasteRequest {
    HWND target = nullptr;  // may be null: the keys then go to the window in front
    HWND main_window = nullptr;
    bool reopen = false;  // show the main window again afterwards (kMsgShowMain)
    int key = 0;          // the key that asked for the paste besides its modifiers (a hotkey's, Enter); 0: none
    unsigned paste = 0;   // its number in the paste queue
};

// The number of the pending paste (PasteQueue::current), told by the UI
// thread whenever it changes: a worker of another paste sends no keys.
void set_paste_turn(unsigned paste);

// A quick slot: 60 ms, target to the front, the user's keys released, 30 ms, Ctrl+V.
void quick_slot_paste_thread(PasteRequest request);

// The quick menu, whose choice has brought its target to the front already:
// the user's keys released, 50 ms, Ctrl+V.
void quick_menu_paste_thread(PasteRequest request);

// The plain-paste hotkey: the user's keys released, then repaste_clipboard
// into whatever has the focus. When the text could not be written back, no
// keys are sent and kMsgPasteFailed goes to the main window.
void plain_paste_thread(PasteRequest request);

// The main window's paste commands: 60 ms, target to the front, the user's
// keys released, 80 ms, Ctrl+V; with reopen, 200 ms later kMsgShowMain, ahead
// of kMsgPasteDone. Every road with a target finds it in front again right
// before its keys.
void paste_selected_thread(PasteRequest request);
void paste_selected_thread_2(PasteRequest request);
void paste_text_thread(PasteRequest request);
void paste_multiple_thread(PasteRequest request);
