// The main window answering what the system and the user send it from
// outside: the end of the Windows session, a request to close, a new time
// zone, a new taskbar, and the ways that ask for the window back.

#include "app/app.h"
#include "app/program.h"
#include "config/file_locations.h"
#include "config/language.h"
#include "services/tray_icon.h"
#include "support/box_script.h"
#include "support/main_window_fixture.h"
#include "ui/settings/settings_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace testsupport;

TEST(MainWindowSession, TheEndOfTheSessionKeepsWhatQuittingKeeps) {
    MainWindowFixture fx;
    ASSERT_TRUE(fx.open(40, 40, 760, 560));
    HWND hwnd = fx.hwnd();
    // Changed from the main window, none of it through the settings window.
    SendMessageW(hwnd, WM_COMMAND, kCmdWatchClipboard, 0);
    SendMessageW(hwnd, WM_COMMAND, kCmdDarkMode, 0);
    SendMessageW(hwnd, WM_COMMAND, kCmdShowTime, 0);
    fx.main_window().set_view(kViewPinned, -1);
    SetWindowPos(hwnd, nullptr, 130, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // Typed into the settings window, and neither Enter nor another field yet.
    fx.app().open_settings();
    ASSERT_NE(fx.app().settings_window, nullptr);
    SetDlgItemTextW(fx.app().settings_window->window, kIdSettingsTtlDays, L"30");
    DeleteFileW(ini_path().c_str());

    EXPECT_TRUE(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    Settings stored;
    Settings::load(stored, ini_path());
    const Settings defaults;
    EXPECT_NE(stored.watch_clipboard, defaults.watch_clipboard);
    EXPECT_NE(stored.dark_mode, defaults.dark_mode);
    EXPECT_NE(stored.show_time, defaults.show_time);
    EXPECT_EQ(stored.last_view_filter, kViewPinned);
    EXPECT_EQ(stored.ttl_days, 30);
    EXPECT_EQ(stored.window_x, 130);
    EXPECT_EQ(stored.window_y, 90);

    // Ended minimised, the window keeps its place and the view is kept too.
    fx.main_window().set_view(kViewImages, -1);
    ShowWindow(hwnd, SW_MINIMIZE);
    SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::string at_the_end = read_bytes(ini_path());
    Settings::load(stored, ini_path());
    EXPECT_EQ(stored.last_view_filter, kViewImages);
    EXPECT_EQ(stored.window_x, 130);

    // An installer asks the program to close while the session goes on: it
    // quits as the user would, taking its tray icon along.
    NOTIFYICONDATAW icon = tray_icon_record(hwnd, nullptr);
    icon.uFlags = NIF_TIP;
    SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &icon));
    EXPECT_TRUE(read_bytes(ini_path()) == at_the_end) << "quitting keeps the same";
}

// Wine offers no way to change the system's time zone: the runtime's TZ stands in for it.
TEST(MainWindowSession, ACopyAfterTheTimeZoneChangedIsStampedInTheNewZone) {
    MainWindowFixture fx;
    ASSERT_TRUE(fx.open(40, 40, 760, 560, false));
    for (UINT message : {WM_TIMECHANGE, WM_SETTINGCHANGE}) {
        _putenv("TZ=UTC0");
        _tzset();  // the zone the runtime read first
        _putenv("TZ=XYZ-7");
        SendMessageW(fx.hwnd(), message, 0, 0);
        const std::int64_t id = add_text_entry(fx.db(), L"copied at " + std::to_wstring(message));
        std::tm stamp{};
        std::istringstream(utf8_from_wide(fx.db().find_entry(id)->created_at)) >>
            std::get_time(&stamp, "%Y-%m-%dT%H:%M:%S");
        EXPECT_NEAR(double(_mkgmtime(&stamp) - std::time(nullptr)), 7 * 3600, 5) << message;
    }
    _putenv("TZ=");
    _tzset();
}

TEST(MainWindowSession, TheTrayIconComesBackWithTheNoticesThatWaitedForIt) {
    MainWindowFixture fx;
    ASSERT_TRUE(fx.open(40, 40, 760, 560, false));
    HWND hwnd = fx.hwnd();
    NOTIFYICONDATAW icon = tray_icon_record(hwnd, nullptr);
    icon.uFlags = NIF_TIP;
    auto icon_shown = [&] { return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; };
    // Explorer ends, and the icon goes with it.
    auto lose_icon = [&] { ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon)); };
    ASSERT_TRUE(icon_shown());

    lose_icon();
    SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(icon_shown()) << "the new taskbar shows it at once";

    // Lost without a word: the failed paste that finds no icon brings it back.
    lose_icon();
    PostMessageW(hwnd, kMsgPasteFailed, 0, 0);
    const std::wstring notice = tr(L"tray.paste_failed");
    EXPECT_TRUE(pump_until(
        [&] {
            for (const TooltipText& tip : tooltip_texts())
                if (tip.text.find(notice) != std::wstring::npos) return true;
            return false;
        },
        15000));
    EXPECT_TRUE(icon_shown());
}

namespace {

// Whether the window stands on the work area of the one screen here; a
// minimised one where it will be restored.
bool on_work_area(HWND window) {
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    WINDOWPLACEMENT placement{sizeof placement};
    GetWindowPlacement(window, &placement);
    if (IsIconic(window)) r = placement.rcNormalPosition;
    else GetWindowRect(window, &r);
    return PtInRect(&work, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}) != FALSE;
}

// Where a monitor right of the screen stood before it was unplugged.
void leave_where_no_screen_is(HWND window) {
    SetWindowPos(window, nullptr, GetSystemMetrics(SM_CXVIRTUALSCREEN) + 600, 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TEST(MainWindowSession, EveryWayThatShowsAWindowBringsItBackAsItWasLeft) {
    MainWindowFixture fx;
    ASSERT_TRUE(fx.open(40, 40, 760, 560));
    HWND hwnd = fx.hwnd();
    auto from_tray_menu = [hwnd](int row) {
        BoxScript script({[row] { click_menu_row(row); }});
        SendMessageW(hwnd, kMsgTray, 0, WM_RBUTTONUP);
    };
    const struct {
        const char* name;
        std::function<void()> ask;
    } ways[] = {
        {"open-history hotkey", [&] { SendMessageW(hwnd, WM_HOTKEY, kHotkeyOpenHistory, 0); }},
        {"templates hotkey", [&] { SendMessageW(hwnd, WM_HOTKEY, kHotkeyTemplates, 0); }},
        {"tray click", [&] { SendMessageW(hwnd, kMsgTray, 0, WM_LBUTTONUP); }},
        {"tray menu, open history", [&] { from_tray_menu(0); }},
        {"tray menu, templates", [&] { from_tray_menu(3); }},
        {"second start", [&] { show_running_instance(hwnd); }},
    };
    const struct {
        const char* name;
        bool maximised;
        int then;  // how the user left it
        bool screen_gone = false;
    } left[] = {
        {"minimised", false, SW_MINIMIZE},
        {"maximised, minimised", true, SW_MINIMIZE},
        {"maximised", true, SW_SHOW},
        {"maximised, in the tray", true, SW_HIDE},
        {"in the tray on a monitor since unplugged", false, SW_HIDE, true},
        {"maximised, in the tray on a monitor since unplugged", true, SW_HIDE, true},
        {"minimised on a monitor since unplugged", false, SW_MINIMIZE, true},
    };
    for (const auto& state : left) {
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(way.name) + " on a window left " + state.name);
            ShowWindow(hwnd, state.maximised ? SW_MAXIMIZE : SW_SHOWNORMAL);
            if (state.screen_gone) leave_where_no_screen_is(hwnd);
            ShowWindow(hwnd, state.then);
            // The window manager answers a moment later, and a menu open by
            // then would lose the activation to that answer.
            pump_messages(300);
            ASSERT_EQ(IsIconic(hwnd) != FALSE, state.then == SW_MINIMIZE) << "the setup did not take";
            ASSERT_EQ(IsWindowVisible(hwnd) != FALSE, state.then != SW_HIDE) << "the setup did not take";
            ASSERT_NE(on_work_area(hwnd), state.screen_gone) << "the setup did not take";
            way.ask();
            pump_messages(100);
            EXPECT_TRUE(IsWindowVisible(hwnd));
            EXPECT_FALSE(IsIconic(hwnd));
            EXPECT_EQ(IsZoomed(hwnd) != FALSE, state.maximised);
            if (state.screen_gone) EXPECT_TRUE(on_work_area(hwnd));
            EXPECT_EQ(GetFocus(), fx.app().main_window->entry_list) << "Down and Enter would reach nothing";
        }
    }
    // Left from the search field, the window gives the keyboard back there.
    SetFocus(fx.app().main_window->search_edit);
    ShowWindow(hwnd, SW_HIDE);
    pump_messages(100);
    SendMessageW(hwnd, kMsgShowMain, 0, 0);
    pump_messages(100);
    EXPECT_EQ(GetFocus(), fx.app().main_window->search_edit);
    // A click on a frame button gives the keyboard back to the control that
    // had it, also once the box or menu it opened has closed.
    HWND list = fx.app().main_window->entry_list, search = fx.app().main_window->search_edit;
    const std::tuple<int, HWND, std::vector<std::function<void()>>> clicks[] = {
        {kIdPinButton, search, {}},
        {kIdClearButton, list, {[] { click_control(IDNO); }}},
        {kIdFirstMenuButton + 1, list, {[] { send_key(VK_ESCAPE); }}},
    };
    for (const auto& [button, had, answer] : clicks) {
        SetFocus(had == list ? search : list);  // where the window was last left from
        ShowWindow(hwnd, SW_HIDE);
        SendMessageW(hwnd, kMsgShowMain, 0, 0);
        pump_messages(300);
        SetFocus(had);
        BoxScript script(answer);
        click_at(client_center(GetDlgItem(hwnd, button)));
        pump_until([&] { return script.done() && !open_box() && !open_menu(); }, 5000);
        EXPECT_EQ(settled_window(GetFocus), had) << "button " << button;
    }
    // The settings window, left open there, comes back the same way.
    fx.app().open_settings();
    ASSERT_NE(fx.app().settings_window, nullptr);
    HWND settings = fx.app().settings_window->window;
    leave_where_no_screen_is(settings);
    ASSERT_FALSE(on_work_area(settings));
    SendMessageW(hwnd, WM_COMMAND, kCmdOpenSettings, 0);
    EXPECT_TRUE(on_work_area(settings));
}

TEST(SecondStart, HandsTheForegroundToTheRunningInstance) {
    // Only Windows enforces the right to the foreground: here the hand-over is seen as it is made, by a
    // second start in a process of its own, which must hand it on to this one rather than to itself.
    ScopedWindow running(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    std::wstring command = L"\"" + binary_dir() + L"\\tests\\helpers\\app_probe.exe\" second-start " +
                           std::to_wstring(reinterpret_cast<intptr_t>(running.get()));
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    const ScopedHandle process(started.hProcess), thread(started.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD granted = 0;
    GetExitCodeProcess(process.get(), &granted);
    EXPECT_EQ(granted, GetCurrentProcessId());
}
