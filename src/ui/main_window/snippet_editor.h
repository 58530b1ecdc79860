#pragma once
// The template editor "KorvaneSnippetEditor": a modal window with the title,
// the group, the text and the variable buttons.

#include <windows.h>

#include <string>

class MainWindow;

// Runs the editor over `owner` (disabled meanwhile). On OK the three strings
// hold what was entered (the group already mapped to its stored name) and the
// result is true; on Cancel or close they are unchanged and the result false.
bool show_snippet_editor(HWND owner, MainWindow* main_window, std::wstring& title, std::wstring& group,
                         std::wstring& text);
