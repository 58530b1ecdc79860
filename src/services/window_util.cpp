#include "services/window_util.h"

#include "services/proc_address.h"

#include <vector>

std::wstring window_text(HWND window) {
    const int len = GetWindowTextLengthW(window);
    if (len <= 0) return {};
    std::vector<wchar_t> buf(size_t(len) + 1, L'\0');
    const int got = GetWindowTextW(window, buf.data(), len + 1);
    return std::wstring(buf.data(), got > 0 ? size_t(got) : 0);
}

RECT work_area_at(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::wstring window_class_name(HWND window) {
    wchar_t buf[256] = {};
    const int n = GetClassNameW(window, buf, 256);
    return std::wstring(buf, n > 0 ? size_t(n) : 0);
}

int window_width_for_client(HWND window, int client_width) {
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    static const auto adjust_for_dpi = proc_address<AdjustForDpi>(user32, "AdjustWindowRectExForDpi");
    static const auto dpi_for_window = proc_address<DpiForWindow>(user32, "GetDpiForWindow");

    const DWORD style = window ? DWORD(GetWindowLongPtrW(window, GWL_STYLE)) : WS_OVERLAPPEDWINDOW;
    const DWORD ex_style = window ? DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)) : 0;
    RECT rc{0, 0, client_width < 0 ? 0 : client_width, 100};
    if (adjust_for_dpi) {
        UINT dpi = 96;
        if (window && dpi_for_window) {
            const UINT d = dpi_for_window(window);
            if (d != 0) dpi = d;
        }
        RECT r = rc;
        if (adjust_for_dpi(&r, style, FALSE, ex_style, dpi)) return r.right - r.left;
    }
    AdjustWindowRectEx(&rc, style, FALSE, ex_style);
    return rc.right - rc.left;
}

void show_window_animated(HWND window) {
    if (!window) return;
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
        return;
    }
    BOOL animate = FALSE;
    SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animate, 0);
    if (animate && !IsWindowVisible(window)) {
        AnimateWindow(window, 120, AW_BLEND | AW_ACTIVATE);
    } else {
        ShowWindow(window, SW_SHOW);
    }
}

void flush_and_wait() {
    using DwmFlushFn = HRESULT(WINAPI*)();
    static const DwmFlushFn dwm_flush = [] {
        // Loaded once and kept for the life of the process.
        return proc_address<DwmFlushFn>(LoadLibraryW(L"dwmapi.dll"), "DwmFlush");
    }();
    if (dwm_flush) dwm_flush();
    Sleep(60);
}
