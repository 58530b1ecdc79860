#include "app/program.h"

#include "app/app.h"
#include "app/startup_steps.h"
#include "config/file_locations.h"
#include "services/handles.h"
#include "services/ids.h"
#include "ui/kit/theme.h"

void show_running_instance(HWND running, AllowForeground allow) {
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    if (process != 0) allow(process);
    PostMessageW(running, kMsgShowMain, 0, 0);
}

int run_program(HINSTANCE instance, StartupSteps* steps) {
    ScopedHandle mutex(CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs: bring its window up instead of starting twice.
        mutex.reset();
        if (HWND running = FindWindowW(kMainWindowClass, nullptr)) show_running_instance(running);
        return 0;
    }
    mark_step(steps, "single-instance mutex");

    // The common controls are set up once the start has settled (App::finish_start):
    // loading their library is a good part of a start that shows no window.
    // Menus and themed parts may follow the dark mode where the system offers it.
    set_preferred_app_mode(2);
    mark_step(steps, "dark app mode");
    CreateDirectoryW(data_dir().c_str(), nullptr);
    mark_step(steps, "data folder");

    App app;
    app.startup_steps = steps;
    if (!app.init(instance)) {
        MessageBoxW(nullptr, L"Failed to initialize Korvane", L"Error", MB_ICONERROR);
        app.shutdown();
        return 1;
    }
    const int code = app.run();
    app.shutdown();
    return code;
}
