#pragma once
// Real keyboard and mouse input for desktop tests (SendInput), and a message
// pump that waits without blocking the windows under test.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

void send_key(WORD vk);  // press and release
void send_key_down(WORD vk);
void send_key_up(WORD vk);
// Real key presses, one item after the other: "text:<characters>" types the
// characters; any other item is key names and letters joined by "+"
// (ctrl+shift+k, tab, enter, esc, back, del, f12, home, end, space, up,
// down), held in order and let go in reverse. Returns the first item with a
// name it does not know (nothing of it is sent), or an empty text.
std::string send_key_names(const std::vector<std::string>& items);
void move_mouse(POINT screen);
void mouse_button(bool right, bool down);
void click_at(POINT screen, bool right = false);
// Starts xdotool (input through the X server, as the user's); Wine gives no handle to wait on for it.
bool xdotool(const std::wstring& arguments);
// The window manager activates the window by itself, with no input.
bool window_manager_activates(HWND window);
// Turns the mouse wheel by notches (negative: toward the user), 30 ms apart.
void send_wheel(int notches);

// Dispatches the thread's messages for about ms milliseconds.
void pump_messages(DWORD ms);
// Pumps until done() holds or ms pass; returns done().
bool pump_until(const std::function<bool()>& done, DWORD ms);
// Where a window state (the window in front, the keyboard's control) has
// settled: what read() gives after a second of messages, when it then stays
// so for half a second; null while it still moves.
HWND settled_window(HWND (*read)());

// The visible windows of this thread with the given class, topmost first.
std::vector<HWND> visible_thread_windows(const wchar_t* window_class);

// The tooltip windows of every process that hold a text (the tray's balloons
// among them), read with WM_GETTEXT, which reaches into other processes.
struct TooltipText {
    bool visible = false;
    std::wstring text;
};
std::vector<TooltipText> tooltip_texts();

// A window on a thread of its own holds the clipboard open, as a busy
// program does, from construction until release() or the end of the scope.
class ClipboardHolder {
public:
    ClipboardHolder();
    ~ClipboardHolder() { release(); }
    bool holding() const { return holding_; }
    void release();

private:
    std::atomic<bool> started_{false}, holding_{false}, release_{false};
    std::thread thread_;
};

// The centre of a window's client area in screen coordinates.
POINT client_center(HWND window);
// A client point of a window in screen coordinates.
POINT to_screen(HWND window, POINT client);

}  // namespace testsupport
