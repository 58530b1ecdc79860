// Screen capture through GDI.
#include "screenshot/screen_capture.h"

#include "screenshot/screenshot_rules.h"
#include "services/handles.h"
#include "services/proc_address.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

SetThreadDpiAwarenessContextFn get_set_thread_dpi_awareness_context() {
    static const SetThreadDpiAwarenessContextFn fn = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return proc_address<SetThreadDpiAwarenessContextFn>(user32, "SetThreadDpiAwarenessContext");
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
    if (capture_dib_bytes(w, h) == 0) return {};

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
    // Only now: the copy may have needed a passing buffer of the screen's size.
    Bytes dib = make_capture_dib(w, h);
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

namespace {

ScreenCapturer g_capturer = capture_virtual_screen;

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

DwmGetWindowAttributeFn dwm_get_window_attribute() {
    static const DwmGetWindowAttributeFn fn = [] {
        // Loaded once and kept for the life of the process.
        HMODULE dwmapi = LoadLibraryW(L"dwmapi.dll");
        return proc_address<DwmGetWindowAttributeFn>(dwmapi, "DwmGetWindowAttribute");
    }();
    return fn;
}

// The frame the user sees: on Windows 10 and 11 the outer rectangle also
// holds invisible resize borders, which would show what lies behind.
std::optional<EdgeRect> visible_frame(HWND window) {
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    auto get = dwm_get_window_attribute();
    RECT r{};
    if (!get || FAILED(get(window, kExtendedFrameBounds, &r, sizeof r))) return std::nullopt;
    return EdgeRect{r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK add_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    auto* out = reinterpret_cast<std::vector<std::pair<MONITORINFO, bool>>*>(param);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) out->push_back({info, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

ScreenCapturer screen_capturer() { return g_capturer; }

ScreenCapturer set_screen_capturer(ScreenCapturer capturer) {
    const ScreenCapturer before = g_capturer;
    g_capturer = capturer ? capturer : capture_virtual_screen;
    return before;
}

RECT foreground_window_rect() {
    HWND window = GetForegroundWindow();
    if (!window) return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) return {};
    RECT r{};
    if (!GetWindowRect(window, &r)) return {};
    const EdgeRect shot =
        window_shot_rect({r.left, r.top, r.right, r.bottom}, visible_frame(window), IsIconic(window) != FALSE);
    return {shot.left, shot.top, shot.right, shot.bottom};
}

std::vector<MonitorArea> monitor_areas(int left, int top) {
    std::vector<std::pair<MONITORINFO, bool>> found;
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&found));
    std::stable_partition(found.begin(), found.end(), [](const auto& m) { return m.second; });
    std::vector<MonitorArea> out;
    for (const auto& [info, primary] : found) {
        const RECT& m = info.rcMonitor;
        const RECT& w = info.rcWork;
        out.push_back({{m.left - left, m.top - top, m.right - left, m.bottom - top},
                       {w.left - left, w.top - top, w.right - left, w.bottom - top}});
    }
    return out;
}

std::wstring screenshot_file_name() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return screenshot_file_name_at(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}
