// What a capture pass of the clipboard watcher costs, and what timer 1 costs
// while nothing is copied. Run it under Wine on a display (xvfb-run +
// scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_capture.exe [passes] [idle-seconds]
// (defaults 50 and 60).
//
// For each content (a short text, a 100 KB text with HTML, a 1920 x 1080
// picture) it reports, in the same run:
//   read     the bare clipboard read (read_clipboard);
//   new      a pass that takes the content as a new copy (forced: it is read,
//            hashed, tested and stored, or dropped when the picture is too big);
//   same     a pass over content already seen (what most ticks do).
// The history lives in a temporary folder; nothing of the profile is touched.
// Then it runs a window with the 500 ms timer 1 work (foreground test and
// poll) for the idle time and reports the process's CPU time over it.

#include "bench_timing.h"

#include "app/ids.h"
#include "app/settings.h"
#include "services/clipboard.h"
#include "services/clipboard_watcher.h"
#include "services/focus.h"
#include "storage/history_db.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

Bytes picture(int width, int height) {
    Bytes dib(40 + size_t(width) * height * 4);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biSizeImage = DWORD(width) * height * 4;
    std::memcpy(dib.data(), &h, sizeof h);
    for (size_t i = 40; i < dib.size(); ++i) dib[i] = std::uint8_t(i * 13);
    return dib;
}

void report(const char* name, int passes, ClipboardWatcher& watcher) {
    const double read = mean_ms(passes, [] { (void)read_clipboard(); });
    const double fresh = mean_ms(passes, [&] { watcher.check_clipboard(true); });
    const double same = mean_ms(passes, [&] { watcher.check_clipboard(false); });
    std::printf("%-22s read %8.3f ms   new %8.3f ms (%5.2f x read)   same %8.3f ms (%5.2f x read)\n", name, read, fresh,
                fresh / read, same, same / read);
}

double process_cpu_ms() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) { return (double(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

// What timer 1 of the main window touches.
struct TimerWork {
    ClipboardWatcher* watcher = nullptr;
    HWND paste_target = nullptr;
};
TimerWork* g_timer_work = nullptr;

LRESULT CALLBACK timer_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_TIMER && wparam == kTimerPoll && g_timer_work) {
        HWND fg = GetForegroundWindow();
        if (fg && fg != hwnd && !is_own_or_shell_window(fg)) g_timer_work->paste_target = fg;
        g_timer_work->watcher->poll();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void idle_cost(ClipboardWatcher& watcher, int seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = timer_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaneBenchTimer";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    TimerWork work{&watcher};
    g_timer_work = &work;
    SetTimer(window, kTimerPoll, 500, nullptr);
    const double cpu_before = process_cpu_ms();
    const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }
    const double cpu = process_cpu_ms() - cpu_before;
    DestroyWindow(window);
    g_timer_work = nullptr;
    std::printf("timer 1 idle: %.1f ms CPU over %d s (%.3f %% of one core, %.3f ms a tick)\n", cpu, seconds,
                cpu / (seconds * 10.0), cpu / (seconds * 2.0));
}

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const int idle_seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;

    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::filesystem::path folder =
        std::filesystem::path(tmp) / (L"korvane-bench-capture-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    {
        Settings settings;
        HistoryDb db((folder / L"history.db").wstring());
        const std::optional<std::int64_t> no_category;
        ClipboardWatcher watcher;
        watcher.init({&db, &settings, &no_category, {}}, nullptr);

        put_entry_on_clipboard(L"a short copied text", {}, {}, {});
        report("short text", passes, watcher);

        std::wstring long_text;
        while (long_text.size() < 100 * 1024) long_text += L"A line of a long copied text, 100 KB in all. ";
        const std::string html = "Version:0.9\r\nSourceURL:https://example.org/page\r\n<html><body>" +
                                 std::string(long_text.begin(), long_text.end()) + "</body></html>";
        put_entry_on_clipboard(long_text, {}, html, {});
        report("100 KB text with HTML", passes, watcher);

        put_entry_on_clipboard(L"", {}, {}, picture(1920, 1080));
        report("1920 x 1080 picture", std::max(1, passes / 5), watcher);

        put_entry_on_clipboard(L"nothing new after this", {}, {}, {});
        watcher.check_clipboard(false);
        idle_cost(watcher, idle_seconds);
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
