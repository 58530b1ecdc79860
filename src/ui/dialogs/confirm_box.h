#pragma once
// The confirm box "KorvaneConfirmBox": a question with a warning sign and
// two buttons, OK (with the caller's text) and Cancel, which has the focus
// when it opens. The call returns when the box has closed.

#include <windows.h>

#include <string>

// True only when the user pressed OK; false for Cancel, the caption's close
// button, a quit of the program, or when the box cannot be created.
bool confirm_box(HWND parent, const std::wstring& title, const std::wstring& message, const std::wstring& ok_text);

LRESULT CALLBACK ConfirmBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
