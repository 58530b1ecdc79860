#pragma once
// The one way a window reaches its state object: a pointer in the window's
// user data (GWLP_USERDATA), bound once and cleared before the window goes.
// The window never owns the state. Long-lived windows point at state owned
// by the App or the MainWindow; modal windows at state on the stack of the
// call that runs their loop, which outlives the window.
//
// A window procedure starts with
//     T* state = window_state<T>(hwnd, message, lparam);
// which binds the creation parameter (CreateWindowExW's last argument) at
// WM_NCCREATE, returns the state for every later message, and clears it at
// WM_NCDESTROY, the window's last message. Before WM_NCCREATE (a few sizing
// messages) and without a creation parameter the state is null. A window
// whose state must not see the non-client creation messages binds at
// WM_CREATE instead (the last argument).

#include <windows.h>

// Attaches state to the window; for windows whose state is known only at
// WM_CREATE or after CreateWindowExW returns.
template <typename T>
void bind_state(HWND window, T* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

// The attached state, or null.
template <typename T>
T* state_of(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Detaches the state; later messages find none.
inline void clear_state(HWND window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

// The state for one message of a window procedure (see above).
template <typename T>
T* window_state(HWND window, UINT message, LPARAM lparam, UINT bind_at = WM_NCCREATE) {
    if (message == bind_at) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        if (create && create->lpCreateParams) bind_state(window, static_cast<T*>(create->lpCreateParams));
    }
    T* state = state_of<T>(window);
    if (message == WM_NCDESTROY) clear_state(window);
    return state;
}
