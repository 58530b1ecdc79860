// How long Korvane.exe takes to come up, and how much memory it holds once it
// is up: with an empty history and with 200 texts and 20 pictures, hidden in
// the tray and shown. Run it from the build folder under Wine:
//   build/wine-run.sh build/bench/bench_startup.exe [rounds]
// (on a display: xvfb-run + scripts/lib/desktop-session.sh, as the tests do).
//
// Start-up is the time from CreateProcessW until the main window exists and
// answers a message: its WM_CREATE, which adds the tray icon and registers the
// hotkeys, has run and the message loop turns. It is set against the same
// measure for an empty Win32 program that creates one window, started the
// same way in the same run (this executable with --empty-window), so the
// ratio leaves out what Wine itself costs.
//
// The profile's history database and settings file are moved aside while the
// benchmark runs and put back afterwards.

#include "app/ids.h"
#include "config/file_locations.h"
#include "services/dib.h"
#include "storage/history_db.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kEmptyClass[] = L"KorvaneBenchEmptyWindow";
const wchar_t* const kProfileSuffixes[] = {L"", L"-wal", L"-shm", L".ini"};

LRESULT CALLBACK empty_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

// The reference program: one window and a message loop, nothing else.
int run_empty_window() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = empty_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kEmptyClass;
    RegisterClassW(&wc);
    CreateWindowExW(0, kEmptyClass, L"empty", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 620, 440,
                    nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

double now_ms() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::wstring module_path() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring korvane_path() {
    std::wstring p = module_path();
    p = p.substr(0, p.find_last_of(L'\\'));  // bench
    p = p.substr(0, p.find_last_of(L'\\'));  // the build folder
    return p + L"\\Korvane.exe";
}

struct Started {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;
    double ms = -1;
};

// Starts the command and waits until a window of the class answers.
Started start_and_wait(const std::wstring& command, const wchar_t* window_class) {
    Started s;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = command;
    const double t0 = now_ms();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi)) return s;
    for (;;) {
        HWND w = FindWindowW(window_class, nullptr);
        DWORD_PTR r = 0;
        if (w && SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r)) {
            s.ms = now_ms() - t0;
            s.window = w;
            return s;
        }
        if (WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0 || now_ms() - t0 > 60000) return s;
        Sleep(1);
    }
}

void finish(Started& s, bool korvane) {
    if (s.window) PostMessageW(s.window, korvane ? WM_COMMAND : WM_CLOSE, korvane ? kCmdClose : 0, 0);
    if (s.pi.hProcess) {
        if (WaitForSingleObject(s.pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(s.pi.hProcess, 1);
        CloseHandle(s.pi.hProcess);
        CloseHandle(s.pi.hThread);
    }
}

void remove_profile_files() {
    for (const wchar_t* suffix : kProfileSuffixes) DeleteFileW((db_path() + suffix).c_str());
}

void move_profile(bool aside) {
    for (const wchar_t* suffix : kProfileSuffixes) {
        const std::wstring file = db_path() + suffix;
        const std::wstring saved = file + L".bench-saved";
        if (aside) {
            MoveFileExW(file.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING);
        } else {
            DeleteFileW(file.c_str());
            MoveFileExW(saved.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
}

void write_settings(bool shown) {
    const std::wstring ini = ini_path();
    WritePrivateProfileStringW(L"Settings", L"start_in_tray", shown ? L"false" : L"true", ini.c_str());
    WritePrivateProfileStringW(L"Settings", L"window_x", L"40", ini.c_str());
    WritePrivateProfileStringW(L"Settings", L"window_y", L"40", ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
}

// A picture as the clipboard gives it (a DIB, which the history keeps as
// it is). Made here without the imaging libraries, which would load with this
// program and slow down the empty program it measures against.
Bytes picture(int width, int height, int seed) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return make_dib32(pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
}

// Texts, and pictures pinned so that the 200-entry cap spares them.
void seed_history(int texts, int pictures) {
    HistoryDb db(db_path());
    for (int i = 0; i < pictures; ++i) {
        const std::int64_t id =
            db.add_entry(L"", {}, {}, picture(320, 200, i), L"mspaint.exe", true, true, std::nullopt, L"", L"", false);
        db.set_pinned_many({id}, true);
    }
    for (int i = 0; i < texts; ++i) {
        std::wstring text = L"History entry number " + std::to_wstring(i) + L": " + std::wstring(80, L'x');
        db.add_entry(text, {}, {}, {}, L"notepad.exe", false, false, std::nullopt, L"", L"", false);
    }
}

struct Profile {
    const char* name;
    int texts, pictures;
    bool shown;
};
const Profile kProfiles[] = {
    {"empty history, hidden in the tray", 0, 0, false},
    {"200 texts + 20 pictures, hidden", 200, 20, false},
    {"200 texts + 20 pictures, shown", 200, 20, true},
};

void prepare_profile(const Profile& profile) {
    remove_profile_files();
    if (profile.texts + profile.pictures > 0) seed_history(profile.texts, profile.pictures);
    write_settings(profile.shown);
}

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Memory {
    double working_set_mb = -1, peak_mb = -1, private_mb = -1;
};

Memory memory_after_start(const Profile& profile) {
    prepare_profile(profile);
    Started s = start_and_wait(L"\"" + korvane_path() + L"\"", kMainWindowClass);
    Memory m;
    if (s.window) {
        Sleep(2000);  // a few ticks of the 500 ms timer
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(s.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
            m.working_set_mb = pmc.WorkingSetSize / 1048576.0;
            m.peak_mb = pmc.PeakWorkingSetSize / 1048576.0;
            m.private_mb = pmc.PrivateUsage / 1048576.0;
        }
    }
    finish(s, true);
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--empty-window") return run_empty_window();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    if (GetFileAttributesW(korvane_path().c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("Korvane.exe not found next to the bench folder\n");
        return 1;
    }
    if (FindWindowW(kMainWindowClass, nullptr)) {
        std::printf("Korvane is running already; quit it first\n");
        return 1;
    }
    move_profile(true);

    const std::wstring empty_cmd = L"\"" + module_path() + L"\" --empty-window";
    std::printf("start-up until the main window answers (median of %d rounds, beside an empty Win32 program)\n",
                rounds);
    std::printf("  %-36s %10s %10s %7s\n", "", "Korvane", "empty", "ratio");
    for (const Profile& profile : kProfiles) {
        prepare_profile(profile);
        std::vector<double> korvane_ms, empty_ms;
        // One warm-up of each, then alternate so that both see the same machine.
        for (int i = -1; i < rounds; ++i) {
            Started k = start_and_wait(L"\"" + korvane_path() + L"\"", kMainWindowClass);
            finish(k, true);
            Started e = start_and_wait(empty_cmd, kEmptyClass);
            finish(e, false);
            if (i >= 0 && k.ms >= 0 && e.ms >= 0) {
                korvane_ms.push_back(k.ms);
                empty_ms.push_back(e.ms);
            }
        }
        const double k = median(korvane_ms), e = median(empty_ms);
        std::printf("  %-36s %7.1f ms %7.1f ms %7.2f\n", profile.name, k, e, e > 0 ? k / e : -1.0);
    }
    const Memory empty_history = memory_after_start(kProfiles[0]);
    const Memory full_history = memory_after_start(kProfiles[1]);
    remove_profile_files();
    move_profile(false);

    std::printf("memory after start, hidden in the tray    working set   peak   private (MB)\n");
    // Wine reports no private bytes (0): read that column on Windows only.
    std::printf("  empty history                          %8.1f %8.1f %8.1f\n", empty_history.working_set_mb,
                empty_history.peak_mb, empty_history.private_mb);
    std::printf("  200 texts + 20 pictures                %8.1f %8.1f %8.1f\n", full_history.working_set_mb,
                full_history.peak_mb, full_history.private_mb);
    return 0;
}
