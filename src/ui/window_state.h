#pragma once
// The state object a window procedure works on, kept in the window's user
// data from its creation until WM_NCDESTROY.

#include <windows.h>

template <typename T>
void bind_state(HWND window, T* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

// WM_CREATE: the state handed to CreateWindowExW as its creation parameter.
template <typename T>
T* bind_created_state(HWND window, LPARAM create_struct) {
    T* state = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(create_struct)->lpCreateParams);
    bind_state(window, state);
    return state;
}

template <typename T>
T* state_of(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

inline void unbind_state(HWND window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }
