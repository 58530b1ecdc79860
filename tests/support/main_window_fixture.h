#pragma once
// The program's main window inside a test process: an App with its own
// settings and a history database in a temporary folder, and a window of the
// class "KorvaneMain" run by the program's own window procedure. Used by the
// desktop tests, the screenshot gallery and the benchmarks.

#include "app/app.h"
#include "config/settings.h"
#include "services/encoding.h"
#include "storage/history_db.h"
#include "support/test_support.h"
#include "ui/main_window/main_window.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace testsupport {

class MainWindowFixture {
public:
    // The language is loaded from the source tree's lang folder.
    explicit MainWindowFixture(const std::wstring& language = L"en");
    ~MainWindowFixture();
    MainWindowFixture(const MainWindowFixture&) = delete;
    MainWindowFixture& operator=(const MainWindowFixture&) = delete;

    // Change before open(): the window reads them while it is created.
    Settings& settings() { return *app_.settings; }
    HistoryDb& db() { return *app_.db; }
    // The history's file, for another connection to write as another program would.
    std::wstring history_file() const { return dir_.file(L"history.db"); }

    // Creates the main window at the given screen rectangle (client size
    // follows from the frame) and shows it when asked; false when it fails.
    bool open(int x, int y, int width, int height, bool show = true);
    // Destroys the window; the profile's settings file is left as it was.
    void close();

    App& app() { return app_; }
    MainWindow& main_window() { return *app_.main_window; }
    HWND hwnd() const { return hwnd_; }

private:
    TempDir dir_;
    App app_;
    HWND hwnd_ = nullptr;
    bool had_profile_settings_ = false;
    std::string profile_settings_;
};

// History content for the tests: a text entry, and an image entry holding a
// PNG of the given size filled with a colour (a COLORREF) and a darker band.
std::int64_t add_text_entry(HistoryDb& db, const std::wstring& text,
                            std::optional<std::int64_t> category = std::nullopt);
std::int64_t add_image_entry(HistoryDb& db, int width, int height, COLORREF colour,
                             std::optional<std::int64_t> category = std::nullopt, const std::wstring& source_app = L"",
                             const std::wstring& source_title = L"");
Bytes sample_png(int width, int height, COLORREF colour);

// The rows of a list box: texts and item data, in order.
std::vector<std::wstring> list_texts(HWND list);
std::vector<std::int64_t> list_data(HWND list);

}  // namespace testsupport
