// Screen capture through GDI.
#include "screenshot/screen_capture.h"

#include "screenshot/screenshot_rules.h"
#include "services/handles.h"

#include <cstring>

SetThreadDpiAwarenessContextFn get_set_thread_dpi_awareness_context() {
    static const SetThreadDpiAwarenessContextFn fn = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<SetThreadDpiAwarenessContextFn>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")))
                      : nullptr;
    }();
    return fn;
}

DpiAwarenessScope::DpiAwarenessScope() {
    if (auto set = get_set_thread_dpi_awareness_context()) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

DpiAwarenessScope::~DpiAwarenessScope() {
    auto set = get_set_thread_dpi_awareness_context();
    if (set && previous_) set(previous_);
}

CapturedImage capture_virtual_screen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    Bytes dib = make_capture_dib(w, h);
    if (dib.empty()) return {};

    ScopedGetDc screen(nullptr);
    if (!screen) return {};
    ScopedDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return {};
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!bitmap) return {};
    {
        ScopedSelect keep(memory.get(), bitmap.get());
        // CAPTUREBLT includes layered windows.
        if (!BitBlt(memory.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY | CAPTUREBLT)) return {};
    }
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, dib.data(), sizeof(BITMAPINFOHEADER));
    if (GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(h), dib.data() + kCaptureHeaderBytes, &info,
                  DIB_RGB_COLORS) != h)
        return {};
    make_opaque(dib.data() + kCaptureHeaderBytes, std::uint64_t(w) * std::uint64_t(h));

    CapturedImage image;
    image.dib = std::move(dib);
    image.width = w;
    image.height = h;
    image.left = x;
    image.top = y;
    image.ok = true;
    return image;
}

RECT foreground_window_rect() {
    HWND window = GetForegroundWindow();
    if (!window) return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) return {};
    RECT r{};
    if (!GetWindowRect(window, &r)) return {};
    if (r.right - r.left <= 7 || r.bottom - r.top <= 7) return {};
    return r;
}

std::wstring screenshot_file_name() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return screenshot_file_name_at(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}
