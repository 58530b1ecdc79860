#pragma once
// The window procedure of "KorvaneMain", the hub of the running program, and
// the small functions that belong to it.

#include <windows.h>

#include <string>

class App;

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The shortcut help text: one "keys — description" line per shortcut. The
// open-history keys are the configured ones; the plain-paste and templates
// rows appear only when their texts are given.
std::wstring hotkey_help_text(const std::wstring& open_history_keys, const std::wstring* plain_paste_keys,
                              const std::wstring* templates_keys);
// The shortcut help box of the running program, owned by the given window.
void show_hotkey_help(HWND owner, const App& app);
