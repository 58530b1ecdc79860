#include "ui/kit/window_class.h"

bool register_window_class(const WindowClass& window_class) {
    HINSTANCE instance = window_class.instance ? window_class.instance : GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, window_class.name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = window_class.style;
    wc.lpfnWndProc = window_class.procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, window_class.cursor);
    wc.hbrBackground = window_class.background;
    wc.hIcon = window_class.icon;
    wc.hIconSm = window_class.small_icon;
    wc.lpszClassName = window_class.name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
