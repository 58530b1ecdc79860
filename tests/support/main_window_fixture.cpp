#include "support/main_window_fixture.h"

#include "app/main_window_proc.h"
#include "capture/clipboard_watcher.h"
#include "config/file_locations.h"
#include "config/language.h"
#include "services/dib.h"
#include "services/image.h"
#include "services/tray_icon.h"
#include "ui/kit/list_box.h"

#include <commctrl.h>

#include <vector>

namespace testsupport {

namespace {

void register_main_class() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kMainWindowClass, &wc)) return;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMainWindowClass;
    RegisterClassExW(&wc);
}

}  // namespace

MainWindowFixture::MainWindowFixture(const std::wstring& language) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    load_language(language, source_dir() + L"\\lang");
    app_.instance = GetModuleHandleW(nullptr);
    app_.settings = new Settings();
    app_.settings->always_on_top = false;
    app_.db = new HistoryDb(history_file());
    app_.main_window = new MainWindow();
    app_.watcher = new ClipboardWatcher();
    app_.tray = new TrayIcon();
    // The window writes the profile's settings file when it goes; the test's must not stay there.
    had_profile_settings_ = file_exists(ini_path());
    if (had_profile_settings_) profile_settings_ = read_bytes(ini_path());
}

MainWindowFixture::~MainWindowFixture() {
    close();
    app_.shutdown();
}

bool MainWindowFixture::open(int x, int y, int width, int height, bool show) {
    register_main_class();
    hwnd_ = CreateWindowExW(0, kMainWindowClass, L"Korvane", WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), static_cast<AppParts*>(&app_));
    if (!hwnd_) return false;
    if (show) {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        UpdateWindow(hwnd_);
    }
    return true;
}

void MainWindowFixture::close() {
    if (!hwnd_) return;
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    if (had_profile_settings_) {
        write_bytes(ini_path(), profile_settings_);
    } else {
        DeleteFileW(ini_path().c_str());
    }
    // The WM_QUIT that the window posts is for the program's loop, not the test's.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

std::int64_t add_text_entry(HistoryDb& db, const std::wstring& text, std::optional<std::int64_t> category) {
    return db.add_entry(text, {}, {}, {}, L"notepad.exe", false, false, category, L"", L"", false);
}

Bytes sample_png(int width, int height, COLORREF colour) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool band = y > height / 3 && y < 2 * height / 3;
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(GetBValue(colour) >> (band ? 1 : 0));
            p[1] = static_cast<std::uint8_t>(GetGValue(colour) >> (band ? 1 : 0));
            p[2] = static_cast<std::uint8_t>(GetRValue(colour) >> (band ? 1 : 0));
            p[3] = 255;
        }
    }
    Bytes png;
    dib_to_png(make_dib32(pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)), png);
    return png;
}

std::int64_t add_image_entry(HistoryDb& db, int width, int height, COLORREF colour,
                             std::optional<std::int64_t> category, const std::wstring& source_app,
                             const std::wstring& source_title) {
    return db.add_entry(L"", {}, {}, sample_png(width, height, colour), source_app, true, true, category, source_title,
                        L"", false);
}

std::vector<std::wstring> list_texts(HWND list) {
    std::vector<std::wstring> texts;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) texts.push_back(list_box_text(list, static_cast<int>(row)));
    return texts;
}

std::vector<std::int64_t> list_data(HWND list) {
    std::vector<std::int64_t> data;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        data.push_back(static_cast<std::int64_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)));
    return data;
}

}  // namespace testsupport
