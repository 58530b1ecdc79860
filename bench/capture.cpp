// What a capture pass of the clipboard watcher costs, and what timer 1 costs
// while nothing is copied. Run it under Wine on a display (xvfb-run +
// scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_capture.exe [passes] [idle-seconds]
// (defaults 50 and 60).
//
// First the memory a capture of a 20 MB text takes: the process's peak
// working set grown by a bare read of it, and by a capture pass over it (a
// second copy of this program owns the text, as another program would).
//
// For each content (a short text, a 100 KB text with HTML, a 3 MB "HTML
// Format" block without SourceURL, a 1920 x 1080 picture) it reports, in the
// same run:
//   read     the bare clipboard read (read_clipboard);
//   new      a pass that takes the content as a new copy (forced: it is read,
//            hashed, tested and stored, or dropped when the picture is too big);
//   same     a pass over content already seen (what most ticks do).
// The history lives in a temporary folder; nothing of the profile is touched.
// Then it runs a window with the 500 ms timer 1 work (foreground test and
// poll) for the idle time and reports the process's CPU time over it.

#include "bench_child.h"
#include "bench_timing.h"

#include "capture/clipboard_watcher.h"
#include "config/settings.h"
#include "services/clipboard.h"
#include "services/focus.h"
#include "services/ids.h"
#include "storage/history_db.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
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

double peak_working_set_mb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Puts a text of the given size on the clipboard and keeps it there for
// seconds, as the clipboard's owner: the child side of owned_text.
int own_text(int megabytes, int seconds) {
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    {
        const std::wstring text(size_t(megabytes) * 1024 * 1024, L'x');
        if (!OpenClipboard(owner)) return 1;
        EmptyClipboard();
        set_clipboard_bytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        CloseClipboard();
    }
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return 0;
}

// Starts this program as the owner of a text of the given size and waits
// until the text is on the clipboard. The handle of the child, or null.
HANDLE owned_text(int megabytes, int seconds) {
    BenchChild child = start_self(L"own-text " + std::to_wstring(megabytes) + L" " + std::to_wstring(seconds));
    if (!child.process) return nullptr;
    char buffer[16] = {};
    DWORD got = 0;
    ReadFile(child.output.get(), buffer, sizeof buffer - 1, &got, nullptr);  // "ready"
    return child.process.release();
}

// What capturing a 20 MB text costs in memory beyond reading it.
void report_large_text(ClipboardWatcher& watcher) {
    constexpr int kMegabytes = 20;
    HANDLE owner = owned_text(kMegabytes, 60);
    if (!owner) {
        std::printf("20 MB text: could not start the owner\n");
        return;
    }
    const double start = peak_working_set_mb();
    { const ClipboardContent read = read_clipboard(); }
    const double read = peak_working_set_mb();
    const auto begin = std::chrono::steady_clock::now();
    watcher.check_clipboard(false);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    const double capture = peak_working_set_mb();
    std::printf(
        "%d MB text (%d MB as UTF-16): peak working set %.0f MB before; bare read +%.0f MB; capture pass "
        "+%.0f MB (%.2f x read), %.0f ms\n",
        kMegabytes, 2 * kMegabytes, start, read - start, capture - start, (capture - start) / (read - start), ms);
    TerminateProcess(owner, 0);
    WaitForSingleObject(owner, 5000);
    CloseHandle(owner);
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
    if (argc > 3 && std::strcmp(argv[1], "own-text") == 0) return own_text(std::atoi(argv[2]), std::atoi(argv[3]));
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
        put_entry_on_clipboard(L"a short copied text", {}, {}, {});
        watcher.init({&db, &settings, &no_category, {}}, nullptr);
        // First, while the peak working set is still the start's.
        report_large_text(watcher);

        put_entry_on_clipboard(L"a short copied text", {}, {}, {});
        report("short text", passes, watcher);

        std::wstring long_text;
        while (long_text.size() < 100 * 1024) long_text += L"A line of a long copied text, 100 KB in all. ";
        const std::string html = "Version:0.9\r\nSourceURL:https://example.org/page\r\n<html><body>" +
                                 std::string(long_text.begin(), long_text.end()) + "</body></html>";
        put_entry_on_clipboard(long_text, {}, html, {});
        report("100 KB text with HTML", passes, watcher);

        // No SourceURL among many lines: the watcher looks for it in every
        // copy with HTML that no browser address came with.
        std::string page = "Version:0.9\r\nStartHTML:0000000105\r\n<html><body>\r\n";
        while (page.size() < 3 * 1024 * 1024) page += "<p class=\"row\">A row of a long table, line after line</p>\r\n";
        page += "</body></html>";
        put_entry_on_clipboard(L"a table copied from a long page", {}, page, {});
        report("3 MB HTML, no SourceURL", std::max(1, passes / 5), watcher);

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
