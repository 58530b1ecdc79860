// How long Korvane takes to come up, where that time goes, and how much
// memory it holds once it is up: with an empty history and with 200 texts and
// 20 pictures, hidden in the tray and shown. Run it from the build folder
// under Wine:
//   build/wine-run.sh build/bench/bench_startup.exe [rounds]     (default 15)
// (on a display: xvfb-run + scripts/lib/desktop-session.sh, as the tests do).
//
// Start-up is the time from CreateProcessW until the program's message loop
// first finds nothing to do: everything the start does before the window can
// take the user's input has run (WM_CREATE with the tray icon and the hotkeys,
// and for a shown window its children, its list and its first paint). Each
// started program reads the time on the performance counter that this
// benchmark read just before CreateProcessW. Korvane's start path runs as
// bench_startup_steps.exe (the start of Korvane.exe with a recorder of its
// steps), beside an empty Win32 program that creates one window (this
// executable with --empty-window), started the same way in the same run, so
// the ratio leaves out what Wine itself costs. (Asking the window from
// outside cannot tell: a thread answers a sent message also while it waits
// inside a call of its own, such as adding the tray icon, long before its loop
// runs.)
//
// The goal: at most 1.3 x the empty program in every row.
//
// The profile's history database and settings file are moved aside while the
// benchmark runs and put back afterwards.

#include "config/file_locations.h"
#include "services/dib.h"
#include "services/ids.h"
#include "storage/history_db.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
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

long long counter_now() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

double ms_since(long long start) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(counter_now() - start) / static_cast<double>(f.QuadPart);
}

// Writes the steps as bench_startup_steps.exe does: "<milliseconds> <step>"
// lines, to a second file first and then renamed, so that the file is whole
// when seen.
void write_steps(const char* out, const char* text) {
    const std::string part = std::string(out) + ".part";
    FILE* f = std::fopen(part.c_str(), "w");
    if (!f) return;
    std::fputs(text, f);
    std::fclose(f);
    MoveFileExA(part.c_str(), out, MOVEFILE_REPLACE_EXISTING);
}

// The reference program: one window and a message loop, nothing else. Its
// steps are timed from start (a counter reading) as Korvane's are.
int run_empty_window(long long start, const char* out) {
    const double entry = ms_since(start);
    WNDCLASSW wc{};
    wc.lpfnWndProc = empty_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kEmptyClass;
    RegisterClassW(&wc);
    const double registered = ms_since(start);
    CreateWindowExW(0, kEmptyClass, L"empty", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 620, 440,
                    nullptr, nullptr, wc.hInstance, nullptr);
    const double created = ms_since(start);
    MSG msg;
    for (bool started = true;;) {
        // The start is over once nothing waits to be done: the window is painted.
        if (started && GetQueueStatus(QS_ALLINPUT) == 0) {
            char text[256];
            std::snprintf(text, sizeof text,
                          "%.3f process start, libraries\n%.3f window class\n%.3f window\n%.3f until idle\n", entry,
                          registered - entry, created - registered, ms_since(start) - created);
            write_steps(out, text);
            started = false;
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        DispatchMessageW(&msg);
    }
    return 0;
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

std::wstring steps_program_path() {
    const std::wstring p = module_path();
    return p.substr(0, p.find_last_of(L'\\')) + L"\\bench_startup_steps.exe";
}

struct Started {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;
};

// Starts the command and waits until a window of the class exists and
// answers, so that it can be closed.
Started start_and_wait(const std::wstring& command, const wchar_t* window_class) {
    Started s;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = command;
    const long long start = counter_now();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi)) return s;
    for (;;) {
        HWND w = FindWindowW(window_class, nullptr);
        DWORD_PTR r = 0;
        if (w && SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r)) {
            s.window = w;
            return s;
        }
        if (WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0 || ms_since(start) > 60000) return s;
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
    {"empty history, shown", 0, 0, true},
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

struct Step {
    std::string name;
    double ms;
};

// Starts program (with the counter reading and an output file as its last
// arguments), waits until its start is over (it writes its steps then) and
// closes it; returns the steps, none when it failed.
std::vector<Step> run_recorded(const std::wstring& program, const std::wstring& arguments, const wchar_t* window_class,
                               bool korvane) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring out = std::wstring(folder) + L"korvane-startup-steps.txt";
    DeleteFileW(out.c_str());
    const std::wstring command =
        L"\"" + program + L"\" " + arguments + std::to_wstring(counter_now()) + L" \"" + out + L"\"";
    Started s = start_and_wait(command, window_class);
    for (int waited = 0; s.window && waited < 30000; ++waited) {
        if (GetFileAttributesW(out.c_str()) != INVALID_FILE_ATTRIBUTES ||
            WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    finish(s, korvane);
    std::vector<Step> steps;
    FILE* in = _wfopen(out.c_str(), L"r");
    if (!in) return steps;
    double ms = 0;
    char name[128];
    while (std::fscanf(in, "%lf %127[^\n]", &ms, name) == 2) steps.push_back({name, ms});
    std::fclose(in);
    DeleteFileW(out.c_str());
    return steps;
}

constexpr std::size_t kProfileCount = std::size(kProfiles);

// The times of each step, per profile; printed as medians, the steps in the
// order they ran and a step a profile does not take as "-".
struct StepTable {
    std::vector<std::string> names;
    std::map<std::string, std::vector<double>> times[kProfileCount];

    void add(std::size_t profile, const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            if (std::find(names.begin(), names.end(), step.name) == names.end()) names.push_back(step.name);
            times[profile][step.name].push_back(step.ms);
        }
    }

    void print(const char* title) const {
        std::printf("%s\n  %-30s %12s %12s %12s %12s\n", title, "", "empty/hidden", "empty/shown", "full/hidden",
                    "full/shown");
        for (const std::string& name : names) {
            std::printf("  %-30s", name.c_str());
            for (const auto& profile : times) {
                const auto found = profile.find(name);
                if (found == profile.end()) std::printf(" %12s", "-");
                else std::printf(" %12.2f", median(found->second));
            }
            std::printf("\n");
        }
    }
};

double total_ms(const std::vector<Step>& steps) {
    double total = 0;
    for (const Step& step : steps) total += step.ms;
    return total;
}

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
    if (argc > 3 && std::string(argv[1]) == "--empty-window") return run_empty_window(std::atoll(argv[2]), argv[3]);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    if (GetFileAttributesW(korvane_path().c_str()) == INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesW(steps_program_path().c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("Korvane.exe or bench_startup_steps.exe not found in the build folder\n");
        return 1;
    }
    if (FindWindowW(kMainWindowClass, nullptr)) {
        std::printf("Korvane is running already; quit it first\n");
        return 1;
    }
    move_profile(true);

    std::printf("start-up until the program first waits with nothing to do (median of %d rounds)\n", rounds);
    std::printf("  %-36s %10s %10s %7s\n", "", "Korvane", "empty", "ratio");
    StepTable korvane_steps, empty_steps;
    for (std::size_t p = 0; p < kProfileCount; ++p) {
        prepare_profile(kProfiles[p]);
        std::vector<double> korvane_ms, empty_ms;
        // One warm-up of each, then alternate so that both see the same machine.
        for (int i = -1; i < rounds; ++i) {
            const std::vector<Step> k = run_recorded(steps_program_path(), L"", kMainWindowClass, true);
            const std::vector<Step> e = run_recorded(module_path(), L"--empty-window ", kEmptyClass, false);
            if (i < 0 || k.empty() || e.empty()) continue;
            korvane_ms.push_back(total_ms(k));
            empty_ms.push_back(total_ms(e));
            korvane_steps.add(p, k);
            empty_steps.add(p, e);
        }
        const double k = median(korvane_ms), e = median(empty_ms);
        std::printf("  %-36s %7.1f ms %7.1f ms %7.2f\n", kProfiles[p].name, k, e, e > 0 ? k / e : -1.0);
        std::fflush(stdout);
    }
    korvane_steps.print("where Korvane's start goes, step by step (ms, median of each)");
    empty_steps.print("the empty program's, for comparison");

    const Memory empty_history = memory_after_start(kProfiles[0]);
    const Memory full_history = memory_after_start(kProfiles[2]);
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
