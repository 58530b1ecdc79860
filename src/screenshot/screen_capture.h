#pragma once
// Taking the picture: the whole virtual screen (every monitor at once), the
// foreground window's rectangle for window screenshots, the name the Save
// dialog proposes, and the per-monitor DPI awareness the capture and the
// overlay run under, so that every coordinate counts physical pixels.

#include "screenshot/captured_image.h"

#include <windows.h>

#include <string>
#include <vector>

using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// user32's SetThreadDpiAwarenessContext, or null where the system lacks it;
// looked up once for the life of the process.
SetThreadDpiAwarenessContextFn get_set_thread_dpi_awareness_context();

// Makes the calling thread per-monitor DPI aware (v2) for the scope's life
// and gives it back its previous awareness after.
class DpiAwarenessScope {
public:
    DpiAwarenessScope();
    ~DpiAwarenessScope();
    DpiAwarenessScope(const DpiAwarenessScope&) = delete;
    DpiAwarenessScope& operator=(const DpiAwarenessScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The whole virtual screen, alpha 255; not ok on any failure.
CapturedImage capture_virtual_screen();

// What the screenshot command captures with: capture_virtual_screen, or what
// a test puts in its place. Returns the one that was in place; null brings
// back capture_virtual_screen.
using ScreenCapturer = CapturedImage (*)();
ScreenCapturer screen_capturer();
ScreenCapturer set_screen_capturer(ScreenCapturer capturer);

// The visible frame of the window in front (its outer rectangle where the
// system cannot say), or all zeros when there is none, it is one of this
// program's, it is minimized, or it is smaller than 8 × 8.
RECT foreground_window_rect();

// Every monitor with its work area, the primary one first, in the coordinates
// of a picture whose top-left pixel is at screen (left, top).
std::vector<MonitorArea> monitor_areas(int left, int top);

// "Скриншот YYYY-MM-DD hh-mm-ss.png" at the local time, without a folder.
std::wstring screenshot_file_name();
