#pragma once
// The input box "KorvaneInputBox": a prompt over a multi-line text field
// (Enter starts a new line) with OK and Cancel. The call returns when the
// box has closed.

#include <windows.h>

#include <string>

// Offers text for editing. On OK returns true with text replaced by the
// field's whole contents, however long (line breaks as CR LF); on Cancel,
// the caption's close button, a quit or a failure to create the box returns
// false and leaves text as it was.
bool input_box(HWND parent, const std::wstring& title, const std::wstring& prompt, std::wstring& text);

LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
