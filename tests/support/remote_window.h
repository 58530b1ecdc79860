#pragma once
// Windows of another process (the running program), as the helper programs
// see them: waiting for one to come or go, and reading its text.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The window answers messages (it is not hung).
bool answers(HWND window);

// Polls find() until it gives a window that answers; null when timeout_ms pass first.
HWND wait_for_window(const std::function<HWND()>& find, DWORD timeout_ms);
// Polls find() until it gives none; false when timeout_ms pass first.
bool wait_until_gone(const std::function<HWND()>& find, DWORD timeout_ms);

// The visible top-level windows of a class that belong to the process of `owner`.
std::vector<HWND> windows_of_process(HWND owner, const std::wstring& window_class);

// WM_GETTEXT, which reaches into the other process where GetWindowTextW does not.
std::wstring remote_text(HWND window);

}  // namespace testsupport
