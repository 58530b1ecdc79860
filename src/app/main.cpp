// The entry point of Korvane.exe: one instance per user, then the App.

#include "app/app.h"
#include "app/ids.h"
#include "config/file_locations.h"
#include "services/handles.h"
#include "ui/kit/theme.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ScopedHandle mutex(CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs: bring its window up instead of starting twice.
        mutex.reset();
        if (HWND running = FindWindowW(kMainWindowClass, nullptr)) PostMessageW(running, kMsgShowMain, 0, 0);
        return 0;
    }

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    // Menus and themed parts may follow the dark mode where the system offers it.
    set_preferred_app_mode(2);
    CreateDirectoryW(data_dir().c_str(), nullptr);

    App app;
    if (!app.init(instance)) {
        MessageBoxW(nullptr, L"Failed to initialize Korvane", L"Error", MB_ICONERROR);
        app.shutdown();
        return 1;
    }
    const int code = app.run();
    app.shutdown();
    return code;
}
