// The screenshot tool on the real screen: what the capture reads, and the
// command from the request to the history entry, the file and the clipboard.

#include "app/app.h"
#include "capture/clipboard_watcher.h"
#include "config/language.h"
#include "config/settings.h"
#include "screenshot/capture_overlay.h"
#include "screenshot/screen_capture.h"
#include "screenshot/screenshot.h"
#include "screenshot/screenshot_rules.h"
#include "services/clipboard.h"
#include "services/focus.h"
#include "services/ids.h"
#include "services/image.h"
#include "services/tray_icon.h"
#include "storage/history_db.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/kit/window_class.h"
#include "ui/main_window/main_window.h"

#include <sqlite3.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <new>
#include <thread>

using namespace testsupport;

namespace {

// Wine's stand-in for the notification area, shown at the first icon and hidden at the last, may be activated a
// moment after it shows, over what a case has put in front: an icon held for the whole run keeps it up.
class TrayWindowShown : public ::testing::Environment {
    void SetUp() override {
        owner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
        tray_.add(owner_.get());
        settled_window(GetForegroundWindow);
    }
    void TearDown() override { tray_.remove(); }
    ScopedWindow owner_;
    TrayIcon tray_;
};
const auto* const kTrayWindowShown = ::testing::AddGlobalTestEnvironment(new TrayWindowShown);

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
    register_window_class({.name = L"KorvaneShotSolid", .procedure = solid_proc});
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
    return png.size() < at + 4
               ? 0
               : (std::uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
}

// The image_path column of the newest row, read through a connection of its own.
std::wstring stored_image_path(const std::wstring& db_file) {
    sqlite3* db = nullptr;
    std::wstring path;
    if (sqlite3_open16(db_file.c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare16_v2(db, L"SELECT image_path FROM history ORDER BY id DESC LIMIT 1", -1, &st, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text16(st, 0))
            path = static_cast<const wchar_t*>(sqlite3_column_text16(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return path;
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

namespace {

// Runs input on a thread of its own once the overlay shows, while the
// screenshot command runs its loop on the test's thread.
class OverlayInput {
public:
    explicit OverlayInput(std::function<void()> steps)
        : thread_([steps] {
              if (!wait_overlay(true)) return;
              HWND shown = overlay();
              has_focus(shown);
              steps();
              // A step that went astray must fail the test, not hang it.
              if (!wait_overlay(false) && overlay()) PostMessageW(overlay(), WM_CLOSE, 0, 0);
          }) {}
    ~OverlayInput() { thread_.join(); }

    static HWND overlay() {
        HWND hwnd = FindWindowW(kCaptureOverlayClass, nullptr);
        return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
    }
    static bool has_focus(HWND hwnd) {
        for (int i = 0; i < 20; ++i, Sleep(50))
            if (GetForegroundWindow() == hwnd) return true;
        return false;
    }
    static bool wait_overlay(bool shown) {
        for (int i = 0; i < 200; ++i, Sleep(50))
            if ((overlay() != nullptr) == shown) return true;
        return false;
    }

private:
    std::thread thread_;
};

// Clicks a button of the toolbar the overlay shows for a full-screen selection,
// one that closes it. A click that came while the window manager was still
// putting the overlay in place is lost, as it would be for a user, who would
// click again: so is this one, while the overlay stays open.
void click_closing_button(int id) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        HWND hwnd = OverlayInput::overlay();
        if (!hwnd) return;
        RECT r{};
        GetWindowRect(hwnd, &r);
        const PixelRect whole{0, 0, r.right - r.left, r.bottom - r.top};
        for (const ToolbarButton& b : layout_toolbar_for(whole, whole.w, whole.h).buttons)
            if (b.id == id)
                click_at({r.left + (b.rect.left + b.rect.right) / 2, r.top + (b.rect.top + b.rect.bottom) / 2});
        for (int i = 0; i < 60 && OverlayInput::overlay(); ++i) Sleep(50);
    }
}

void key(WORD vk, bool ctrl = false) {
    if (ctrl) send_key_down(VK_CONTROL);
    send_key(vk);
    if (ctrl) send_key_up(VK_CONTROL);
    Sleep(80);
}

std::vector<std::wstring> files_in(const std::wstring& folder) {
    std::vector<std::wstring> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) out.push_back(e.path().wstring());
    return out;
}

// What the Save dialog answers in these tests.
struct SaveAnswer {
    bool called = false;
    bool confirm = false;
    DWORD error = 0;        // the dialog's own failure
    std::wstring path;      // what the user picks
    std::wstring proposed;  // what the dialog was given
};
SaveAnswer answer;

FileDialogAnswer answer_dialog(const FileDialogRequest& request) {
    answer.called = true;
    answer.proposed = request.name;
    if (answer.error) return {FileDialogAnswer::Outcome::Failed, {}, answer.error};
    if (answer.confirm) return {FileDialogAnswer::Outcome::Chosen, answer.path};
    return {};
}

// An App with what the command uses: settings, a history in a folder of its
// own, the watcher and a main window (a plain visible window), and the tray
// icon. The Save dialog answers what the test says.
class ScreenshotCommand : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 300, 300, 200, 150, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
        app.instance = GetModuleHandleW(nullptr);
        app.settings = new Settings();
        app.settings->screenshot_folder = dir.file(L"shots");
        CreateDirectoryW(app.settings->screenshot_folder.c_str(), nullptr);
        app.db = new HistoryDb(dir.file(L"history.db"));
        app.watcher = new ClipboardWatcher();
        app.watcher->init(app.capture_sink(), main_);
        app.main_window = new MainWindow();
        app.main_window->hwnd = main_;
        app.tray = new TrayIcon();
        app.tray->add(main_);
        answer = SaveAnswer{};
        load_language(L"en", source_dir() + L"\\lang");
        previous_dialog = set_file_dialog(answer_dialog);
    }
    void TearDown() override {
        set_file_dialog(previous_dialog);
        if (app.tray) app.tray->remove();
        app.shutdown();
        DestroyWindow(main_);
    }
    std::vector<HistoryEntry> entries() { return app.db->list_entries(L"any", false, false); }
    // What the user copied a while ago: on the clipboard, and seen by the
    // watcher (which takes what is there as seen when it starts).
    void copied_long_ago(const std::wstring& text) {
        set_clipboard_text(text);
        app.watcher->init(app.capture_sink(), main_);
    }
    // Full screen, finished with the keys given.
    void screenshot_with(std::function<void()> keys) {
        OverlayInput input(keys);
        app.take_screenshot(kShotFullScreen);
    }
    static HWND settled_foreground() { return settled_window(GetForegroundWindow); }

    TempDir dir;
    TempDir elsewhere;
    App app;
    HWND main_ = nullptr;
    FileDialog previous_dialog = nullptr;
};

}  // namespace

TEST_F(ScreenshotCommand, FullScreenDoneAddsOnePictureCopiesItAndLeavesTheWindowInFront) {
    set_clipboard_text(L"before the screenshot");
    // The main window open behind the program the user works in.
    ShowWindow(main_, SW_SHOW);
    ScopedWindow work(CreateWindowExW(0, L"EDIT", L"work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 340, 340, 200, 150,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetForegroundWindow(work.get());
    ASSERT_TRUE(pump_until([&] { return GetForegroundWindow() == work.get(); }, 2000));
    // By mouse: under Wine the main window hidden a moment before can take
    // the keyboard focus away from the overlay again, late.
    screenshot_with([] { click_closing_button(kCaptureDone); });
    EXPECT_FALSE(app.screenshot_busy);
    EXPECT_TRUE(IsWindowVisible(main_)) << "shown again after being hidden";
    EXPECT_EQ(settled_foreground(), work.get()) << "the keyboard went back to the program in front before";

    // The text copied just before, not yet seen, is recorded before the
    // picture replaces it on the clipboard.
    auto rows = entries();
    ASSERT_EQ(rows.size(), 2u);
    std::stable_partition(rows.begin(), rows.end(), [](const HistoryEntry& e) { return e.is_image; });
    EXPECT_EQ(rows[1].text, L"before the screenshot");
    EXPECT_TRUE(rows[0].is_image);
    EXPECT_EQ(png_side(rows[0].image, 16), std::uint32_t(GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    EXPECT_EQ(png_side(rows[0].image, 20), std::uint32_t(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    EXPECT_EQ(rows[0].source_app, L"screenshot_desktop_test.exe");
    EXPECT_TRUE(files_in(app.settings->screenshot_folder).empty()) << "autosave is off";

    const ClipboardContent clip = read_clipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT)) << "no empty text ahead of the picture";
    EXPECT_FALSE(clip.dib.empty());
    app.watcher->check_clipboard(true);
    EXPECT_EQ(entries().size(), 2u) << "the program's own picture is not recorded again";

    // Taken from the main window in front of that program: it stays in front.
    SetForegroundWindow(main_);
    ASSERT_TRUE(pump_until([&] { return GetForegroundWindow() == main_; }, 2000));
    screenshot_with([] { click_closing_button(kCaptureDone); });
    EXPECT_EQ(entries().size(), 3u);
    EXPECT_EQ(settled_foreground(), main_);
}

// Right after a shot, the user goes elsewhere: another program, the main window asked for, clicked or switched to
// by keys, a paste (what it brings forward, even the main window), the program below the main window the shot was
// taken from, clicked. Where they went, the keyboard stays. The release of the key that ended the shot is no such
// choice: what the desktop brings up after it goes back behind the window the shot was taken from.
TEST(ScreenshotHandBack, EndsWhereTheUserGoes) {
    MainWindowFixture fx;
    ASSERT_TRUE(fx.open(40, 40, 500, 400));
    const HWND main = fx.hwnd();
    ScopedWindow work_window(CreateWindowExW(0, L"EDIT", L"work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 100, 300, 200,
                                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    const HWND work = work_window.get();
    ScopedWindow other(CreateWindowExW(0, L"EDIT", L"other", WS_OVERLAPPEDWINDOW, 600, 400, 200, 150, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    const std::function<void()> by_click = [] { click_closing_button(kCaptureDone); };
    // Return, let go after the shot, pressed in the overlay: the main window's hiding may move the keyboard late.
    const std::function<void()> by_key = [] { SetForegroundWindow(OverlayInput::overlay()), send_key_down(VK_RETURN); };
    const POINT in_work = client_center(work);
    // As it does with a window shown again, or at Alt+Tab.
    const auto window_manager_brings_up = [](HWND window) { ASSERT_TRUE(window_manager_activates(window)); };
    const struct {
        HWND from;
        std::function<void()> end, go;
        HWND to;
    } roads[] = {
        {work, by_click, [&] { ShowWindow(other.get(), SW_SHOW), SetForegroundWindow(other.get()); }, other.get()},
        {work, by_click, [&] { fx.main_window().bring_back(); }, main},
        {work, by_click, [&] { click_at(client_center(main)); }, main},
        {work, by_click, [&] { fx.app().queue_paste({}, [&](unsigned) { return force_foreground(main) && false; }); },
         main},
        {work, by_click, [&] { send_key_names({"alt+tab"}), window_manager_brings_up(main); }, main},
        {main, by_click,
         [&] {
             ASSERT_TRUE(
                 xdotool(L"mousemove " + std::to_wstring(in_work.x) + L" " + std::to_wstring(in_work.y) + L" click 1"));
         },
         work},
        {work, by_key, [&] { send_key_up(VK_RETURN), window_manager_brings_up(main); }, work},
        {main, by_key, [&] { send_key_up(VK_RETURN), window_manager_brings_up(work); }, main},
    };
    for (const auto& road : roads) {
        // From the main window, the program is right below it.
        for (HWND window : {work, road.from}) {
            SetForegroundWindow(window);
            ASSERT_TRUE(pump_until([&] { return GetForegroundWindow() == window; }, 2000));
        }
        {
            OverlayInput input(road.end);
            fx.app().take_screenshot(kShotFullScreen);
        }
        road.go();
        EXPECT_EQ(settled_window(GetForegroundWindow), road.to) << "road " << &road - roads;
    }
}

TEST_F(ScreenshotCommand, ClipboardFollowsTheWayOut) {
    app.settings->screenshot_copy_to_clipboard = false;
    copied_long_ago(L"marker");
    screenshot_with([] { key(VK_RETURN); });
    EXPECT_EQ(read_clipboard().text, L"marker") << "Done with copying off";
    screenshot_with([] { key('S', true); });
    EXPECT_TRUE(answer.called);
    EXPECT_EQ(read_clipboard().text, L"marker") << "Save never copies";
    screenshot_with([] { key('C', true); });
    EXPECT_FALSE(read_clipboard().dib.empty()) << "Copy always copies";
    EXPECT_EQ(entries().size(), 3u);
}

TEST_F(ScreenshotCommand, WithoutTheEditorADraggedAreaIsCopiedAtOnce) {
    app.settings->screenshot_editor_enabled = false;
    app.settings->screenshot_copy_to_clipboard = false;
    copied_long_ago(L"marker");
    OverlayInput input([] {
        HWND hwnd = OverlayInput::overlay();
        testsupport::move_mouse(to_screen(hwnd, {100, 100}));
        Sleep(60);
        mouse_button(false, true);
        for (int i = 1; i <= 5; ++i, Sleep(30)) testsupport::move_mouse(to_screen(hwnd, {100 + 40 * i, 100 + 30 * i}));
        mouse_button(false, false);
    });
    app.take_screenshot(kShotArea);
    const auto rows = entries();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(png_side(rows[0].image, 16), 200u);
    EXPECT_EQ(png_side(rows[0].image, 20), 150u);
    EXPECT_FALSE(read_clipboard().dib.empty()) << "finished as a copy";
}

// With the mouse, an edge of the selection drawn out stretches it whatever the
// tool, and with the move tool a drag inside carries it over the screen.
TEST_F(ScreenshotCommand, TheMouseStretchesAndCarriesTheSelection) {
    constexpr COLORREF kMark = RGB(20, 160, 60);
    HWND mark = solid_window(kMark, 600, 150, 300, 200);
    OverlayInput input([] {
        HWND hwnd = OverlayInput::overlay();
        auto drag = [hwnd](POINT from, POINT to) {
            testsupport::move_mouse(to_screen(hwnd, from));
            Sleep(60);
            mouse_button(false, true);
            for (int i = 1; i <= 5; ++i, Sleep(30))
                testsupport::move_mouse(
                    to_screen(hwnd, {from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5}));
            mouse_button(false, false);
            Sleep(60);
        };
        drag({100, 100}, {300, 250});  // 200 x 150
        testsupport::move_mouse(to_screen(hwnd, {300, 175}));
        Sleep(100);
        CURSORINFO cursor{sizeof cursor};
        GetCursorInfo(&cursor);
        EXPECT_EQ(cursor.hCursor, LoadCursorW(nullptr, IDC_SIZEWE)) << "the pointer over an edge shows it can stretch";
        drag({300, 175}, {360, 175});  // the right edge: 260 wide
        drag({200, 100}, {200, 140});  // the top edge: 110 high
        RECT r{};
        GetWindowRect(hwnd, &r);
        for (const ToolbarButton& b :
             layout_toolbar_for({100, 140, 260, 110}, r.right - r.left, r.bottom - r.top).buttons)
            if (b.id == kCaptureToolFirst)  // the move tool
                click_at(to_screen(hwnd, {(b.rect.left + b.rect.right) / 2, (b.rect.top + b.rect.bottom) / 2}));
        Sleep(60);
        drag({200, 200}, {700, 260});  // over the mark
        key(VK_RETURN);
    });
    app.take_screenshot(kShotArea);
    DestroyWindow(mark);
    const auto rows = entries();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(png_side(rows[0].image, 16), 260u);
    EXPECT_EQ(png_side(rows[0].image, 20), 110u);
    Bytes dib;
    ASSERT_TRUE(png_to_dib(rows[0].image, dib));
    const std::uint8_t* centre = dib.data() + sizeof(BITMAPINFOHEADER) + (55 * 260 + 130) * 4;
    EXPECT_EQ(RGB(centre[2], centre[1], centre[0]), kMark);
}

TEST_F(ScreenshotCommand, CancelKeepsTheToolSettingsAndAddsNothing) {
    app.settings->screenshot_thickness = 5;
    screenshot_with([] {
        send_wheel(3);
        key(VK_ESCAPE);
    });
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(app.settings->screenshot_thickness, 5);
    EXPECT_EQ(app.settings->screenshot_color, 0);

    screenshot_with([] {
        send_wheel(1);
        key(VK_RETURN);
    });
    EXPECT_EQ(entries().size(), 1u);
    EXPECT_EQ(app.settings->screenshot_thickness, 6) << "the next overlay starts where this one ended";
    EXPECT_EQ(app.settings->screenshot_color, 0x004646E6);
}

TEST_F(ScreenshotCommand, ASecondRequestWhileTheOverlayIsOpenDoesNothing) {
    static App* running = nullptr;
    static int overlays_seen = 0;
    running = &app;
    overlays_seen = 0;
    // Fires inside the overlay's own loop, as a hotkey would.
    const UINT_PTR timer = SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        running->take_screenshot(kShotArea);
        overlays_seen = static_cast<int>(visible_thread_windows(kCaptureOverlayClass).size());
    });
    ASSERT_NE(timer, 0u);
    screenshot_with([] {
        Sleep(600);
        key(VK_ESCAPE);
    });
    EXPECT_EQ(overlays_seen, 1);
    EXPECT_TRUE(entries().empty());
}

TEST_F(ScreenshotCommand, AQuitWhileTheOverlayIsOpenEndsItAndIsKeptForTheMainLoop) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostQuitMessage(7);
    });
    ASSERT_NE(timer, 0u);
    app.take_screenshot(kShotFullScreen);
    EXPECT_EQ(OverlayInput::overlay(), nullptr);
    EXPECT_TRUE(entries().empty()) << "a quit cancels";
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ScreenshotCommand, SaveAndAutosaveDecideTheFiles) {
    const std::wstring folder = app.settings->screenshot_folder;
    auto last_path = [&] { return stored_image_path(dir.file(L"history.db")); };

    // Dialog cancelled, autosave on: one file, in the screenshot folder.
    app.settings->screenshot_autosave = true;
    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    screenshot_with([] { key('S', true); });
    GetLocalTime(&after);
    ASSERT_TRUE(answer.called);
    // The name proposed is the clock's moment of the save.
    auto name_at = [](const SYSTEMTIME& t) {
        return screenshot_file_name_at(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    };
    EXPECT_TRUE(name_at(before) <= answer.proposed && answer.proposed <= name_at(after)) << answer.proposed;
    auto files = files_in(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(last_path(), files[0]);
    DeleteFileW(files[0].c_str());

    // Saved into the screenshot folder itself: that one file, and the entry points at it.
    answer.confirm = true;
    answer.path = folder + L"\\chosen.png";
    screenshot_with([] { key('S', true); });
    files = files_in(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(last_path(), answer.path);
    DeleteFileW(answer.path.c_str());

    // Saved elsewhere with autosave on: that file, and a copy in the folder the entry points at.
    answer.path = elsewhere.file(L"outside.png");
    screenshot_with([] { key('S', true); });
    EXPECT_TRUE(file_exists(answer.path));
    files = files_in(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(last_path(), files[0]);
    DeleteFileW(files[0].c_str());
    DeleteFileW(answer.path.c_str());

    // Saved elsewhere with autosave off: that file only, and no path on the entry.
    app.settings->screenshot_autosave = false;
    screenshot_with([] { key('S', true); });
    EXPECT_TRUE(file_exists(answer.path));
    EXPECT_TRUE(files_in(folder).empty());
    EXPECT_EQ(last_path(), L"");
    EXPECT_EQ(entries().size(), 4u);
}

TEST_F(ScreenshotCommand, AFileSavedUnderTheNameOfAnEntryTheCapRemovesStays) {
    // The oldest of a full history records the name the user saves under.
    answer.confirm = true;
    answer.path = app.settings->screenshot_folder + L"\\again.png";
    const auto oldest = app.db->add_entry(L"the oldest", {}, {}, {}, L"", false, true, std::nullopt, L"", L"", false);
    app.db->set_image_path(oldest, answer.path);
    for (int i = 1; i < 200; ++i)
        app.db->add_entry(L"entry " + std::to_wstring(i), {}, {}, {}, L"", false, true, std::nullopt, L"", L"", false);

    screenshot_with([] { key('S', true); });
    EXPECT_FALSE(app.db->find_entry(oldest)) << "the cap took it";
    EXPECT_TRUE(file_exists(answer.path));
    EXPECT_EQ(stored_image_path(dir.file(L"history.db")), answer.path);
}

namespace {

// Whether the tray shows a balloon holding every one of the texts; it shows
// one a moment after it is asked.
bool balloon_says(std::vector<std::wstring> parts) {
    return pump_until(
        [&] {
            for (const auto& tip : tooltip_texts()) {
                bool all = true;
                for (const auto& part : parts) all = all && tip.text.find(part) != std::wstring::npos;
                if (all) return true;
            }
            return false;
        },
        15000);
}

}  // namespace

TEST_F(ScreenshotCommand, AFileThatCannotBeWrittenIsReported) {
    // Autosave into a folder that cannot be made, a file standing in its way.
    const std::wstring blocked = dir.file(L"blocked");
    ASSERT_TRUE(write_bytes(blocked, "a file, not a folder"));
    app.settings->screenshot_folder = blocked + L"\\shots";
    app.settings->screenshot_autosave = true;
    screenshot_with([] { key(VK_RETURN); });
    EXPECT_TRUE(balloon_says({L"could not be saved in the folder", L"blocked\\shots"}));

    // And a file chosen in the Save dialog that cannot be written: both told.
    answer.confirm = true;
    answer.path = elsewhere.file(L"no such folder\\shot.png");
    screenshot_with([] { key('S', true); });
    EXPECT_EQ(entries().size(), 2u) << "the history still gets the pictures";
    EXPECT_TRUE(balloon_says({L"could not be written", L"no such folder\\shot.png", L"blocked\\shots"}));

    // The dialog's own failure (a path too long for it) is no cancel.
    answer.error = FNERR_BUFFERTOOSMALL;
    screenshot_with([] { key('S', true); });
    EXPECT_TRUE(balloon_says({file_dialog_failure(FNERR_BUFFERTOOSMALL)}));
    answer.error = 0;

    // A copy while another program holds the clipboard.
    copied_long_ago(L"marker");
    testsupport::ClipboardHolder holder;
    screenshot_with([] { key('C', true); });
    holder.release();
    EXPECT_TRUE(balloon_says({L"could not be put on the clipboard"}));
    EXPECT_EQ(read_clipboard().text, L"marker");
}

TEST_F(ScreenshotCommand, RunningOutOfMemoryEndsTheScreenshotAndSaysSo) {
    ShowWindow(main_, SW_SHOW);
    const ScreenCapturer before = set_screen_capturer([]() -> CapturedImage { throw std::bad_alloc(); });
    app.take_screenshot(kShotFullScreen);
    set_screen_capturer(before);
    EXPECT_FALSE(app.screenshot_busy);
    EXPECT_TRUE(IsWindowVisible(main_)) << "shown again after being hidden";
    EXPECT_TRUE(balloon_says({L"not enough memory"}));

    // Out of memory in a timer of another window, dispatched by the
    // overlay's loop: the overlay's window goes with the overlay.
    register_window_class({.name = L"KorvaneShotThrower", .procedure = [](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                               if (m == WM_TIMER) throw std::bad_alloc();
                               return DefWindowProcW(w, m, wp, lp);
                           }});
    HWND thrower = CreateWindowExW(0, L"KorvaneShotThrower", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SetTimer(thrower, 1, 300, nullptr);
    {
        OverlayInput watchdog([] {});
        app.take_screenshot(kShotFullScreen);
        EXPECT_EQ(FindWindowW(kCaptureOverlayClass, nullptr), nullptr);
    }
    DestroyWindow(thrower);
    EXPECT_FALSE(app.screenshot_busy);

    // The next screenshot is not turned away. By mouse, as the main window
    // is hidden again a moment before (see the first test).
    screenshot_with([] { click_closing_button(kCaptureDone); });
    EXPECT_EQ(entries().size(), 1u);
}
