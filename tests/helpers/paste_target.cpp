// A program to paste into: a window with an edit control that takes the
// foreground (or starts minimized, as a window the user put away earlier),
// then after the given time prints what the edit holds.
//   paste_target [ms=<duration>] [title=<window title>] [class=<window class>] [minimized] [hung]
// Prints "ready" once it is shown, then at the end "text <hex of UTF-8>" and
// "pastes <n>", the Ctrl+V presses the edit received (also those that found
// nothing to paste). hung: once shown, it answers no message for the time.

#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "services/window_util.h"
#include "support/desktop_input.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HWND g_edit = nullptr;
WNDPROC g_edit_proc = nullptr;
int g_pastes = 0;

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_KEYDOWN && wparam == 'V' && (GetKeyState(VK_CONTROL) & 0x8000)) ++g_pastes;
    return CallWindowProcW(g_edit_proc, hwnd, msg, wparam, lparam);
}

// Like any editor, the window hands the keyboard focus to its edit control
// whenever it gets it, so keys reach the edit after a switch of windows.
LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_SETFOCUS && g_edit) {
        SetFocus(g_edit);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    DWORD duration = 5000;
    std::wstring title = L"Paste target", window_class = L"KorvaneTestPasteTarget";
    bool minimized = false, hung = false;
    for (const std::wstring& a : testsupport::command_line_args()) {
        if (a.rfind(L"ms=", 0) == 0) duration = std::stoul(a.substr(3));
        if (a.rfind(L"title=", 0) == 0) title = a.substr(6);
        if (a.rfind(L"class=", 0) == 0) window_class = a.substr(6);
        if (a == L"minimized") minimized = true;
        if (a == L"hung") hung = true;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = frame_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = window_class.c_str();
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, window_class.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 200, 200, 420, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 5, 5, 400, 150,
                                frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame || !edit) return probe::give_up(1, "no window");
    g_edit = edit;
    g_edit_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(edit_proc)));
    // Shown minimized from the start, the window manager learns it as iconic
    // with its first sight of it: a minimize requested later could still be
    // on its way to the window manager when a test restores the window, and
    // would then undo the restore.
    if (minimized) {
        ShowWindow(frame, SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(frame, SW_SHOW);
        SetForegroundWindow(frame);
        SetFocus(edit);
    }
    std::printf("ready\n");
    std::fflush(stdout);

    if (hung) Sleep(duration);
    else testsupport::pump_messages(duration);
    const std::string text = utf8_from_wide(window_text(edit));
    std::printf("text ");
    for (unsigned char c : text) std::printf("%02x", c);
    std::printf("\npastes %d\n", g_pastes);
    std::fflush(stdout);
    DestroyWindow(frame);
    return 0;
}
