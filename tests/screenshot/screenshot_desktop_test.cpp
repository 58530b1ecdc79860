// The screenshot tool on the real screen: what the capture reads, and the
// command from the request to the history entry, the file and the clipboard.

#include "app/app.h"
#include "app/settings.h"
#include "screenshot/screen_capture.h"
#include "services/clipboard.h"
#include "services/clipboard_watcher.h"
#include "storage/history_db.h"
#include "support/desktop_input.h"
#include "support/test_support.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

using namespace testsupport;

namespace {

// A top-level window filled with one colour.
LRESULT CALLBACK solid_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(wparam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND solid_window(COLORREF color, int x, int y, int w, int h) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = solid_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KorvaneShotSolid";
        RegisterClassW(&wc);
        registered = true;
    }
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"KorvaneShotSolid", L"", WS_POPUP, x, y, w, h,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    pump_messages(300);
    return hwnd;
}

COLORREF pixel_at(const CapturedImage& image, int x, int y) {
    const std::uint8_t* p = image.dib.data() + kCaptureHeaderBytes + (size_t(y) * image.width + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

std::uint32_t png_side(const Bytes& png, size_t at) {
    return png.size() < at + 4 ? 0 : (std::uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
}

}  // namespace

TEST(ScreenCapture, ReadsAWindowAtItsPlace) {
    HWND window = solid_window(RGB(12, 200, 90), 140, 120, 64, 48);
    const CapturedImage image = capture_virtual_screen();
    DestroyWindow(window);
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(image.height, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    ASSERT_EQ(image.dib.size(), kCaptureHeaderBytes + size_t(image.width) * image.height * 4);
    const int x = 140 - image.left, y = 120 - image.top;
    EXPECT_EQ(pixel_at(image, x, y), RGB(12, 200, 90));
    EXPECT_EQ(pixel_at(image, x + 63, y + 47), RGB(12, 200, 90));
    EXPECT_NE(pixel_at(image, x + 64, y + 48), RGB(12, 200, 90));
    for (size_t i = kCaptureHeaderBytes + 3; i < image.dib.size(); i += 4)
        ASSERT_EQ(image.dib[i], 255) << "every pixel opaque";

    const CapturedImage crop = crop_capture(image, {140, 120, 204, 168});
    ASSERT_TRUE(crop.ok);
    EXPECT_EQ(pixel_at(crop, 0, 0), RGB(12, 200, 90));
    EXPECT_EQ(pixel_at(crop, 63, 47), RGB(12, 200, 90));
}

TEST(ScreenCapture, OwnWindowsAreNeverTheWindowToTake) {
    HWND window = solid_window(RGB(1, 2, 3), 50, 50, 300, 200);
    SetForegroundWindow(window);
    pump_messages(200);
    ASSERT_EQ(GetForegroundWindow(), window);
    const RECT r = foreground_window_rect();
    DestroyWindow(window);
    EXPECT_EQ(r.left | r.top | r.right | r.bottom, 0);
}

// An App with what the command uses: settings, a history in a folder of its
// own, the watcher and a main window (a plain visible window). No tray.
class ScreenshotCommand : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 300, 300, 200, 150, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
        ShowWindow(main_, SW_SHOW);
        app.instance = GetModuleHandleW(nullptr);
        app.settings = new Settings();
        app.settings->screenshot_folder = dir.file(L"shots");
        app.db = new HistoryDb(dir.file(L"history.db"));
        app.watcher = new ClipboardWatcher();
        app.watcher->init(&app, main_);
        app.main_window = new MainWindow();
        app.main_window->hwnd = main_;
    }
    void TearDown() override {
        app.shutdown();
        DestroyWindow(main_);
    }
    std::vector<HistoryEntry> entries() { return app.db->list_entries(L"any", false, false); }

    TempDir dir;
    App app;
    HWND main_ = nullptr;
};

TEST_F(ScreenshotCommand, FullScreenAddsOnePictureAndCopiesIt) {
    set_clipboard_text(L"before the screenshot");
    app.take_screenshot(2);
    EXPECT_FALSE(app.screenshot_busy);
    EXPECT_TRUE(IsWindowVisible(main_)) << "shown again after being hidden";

    const auto rows = entries();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].is_image);
    EXPECT_EQ(png_side(rows[0].image, 16), std::uint32_t(GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    EXPECT_EQ(png_side(rows[0].image, 20), std::uint32_t(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    EXPECT_EQ(rows[0].source_app, L"screenshot_desktop_test.exe");

    const ClipboardContent clip = read_clipboard();
    EXPECT_TRUE(clip.text.empty());
    EXPECT_FALSE(clip.dib.empty());
    app.watcher->check_clipboard(true);
    EXPECT_EQ(entries().size(), 1u) << "the program's own picture is not recorded again";
}
