// The confirm, input and view boxes under real input. Each box is driven by
// a thread timer that plays steps while the box's own modal run waits; what
// it returns, what becomes of its owner, a quit in the middle of it, and its
// look in both themes (saved under screenshots/ in the build folder).

#include "app/app.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/dib.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "support/box_script.h"
#include "support/desktop_input.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/dialogs/confirm_box.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/dialogs/input_box.h"
#include "ui/dialogs/json_file_dialogs.h"
#include "ui/dialogs/view_dialog.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

using namespace testsupport;

namespace {

constexpr COLORREF kPictureColour = RGB(0, 160, 80);

RECT client_on_screen(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A control's rectangle in the client coordinates of its box.
RECT rect_in(HWND box, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The lines of text on the screen in a band of a box's client area: runs of
// pixel rows that hold anything but the colour at the band's top left.
int text_lines_in(HWND box, const RECT& band) {
    RECT on_screen = band;
    MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&on_screen), 2);
    PixelImage image(band.right - band.left, band.bottom - band.top);
    capture_screen(on_screen, image);
    const COLORREF background = image.at(0, 0);
    int lines = 0;
    bool in_line = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) ink = image.at(x, y) != background;
        if (ink && !in_line) ++lines;
        in_line = ink;
    }
    return lines;
}

// Pixels of the picture's colour now on the screen inside the box.
int picture_pixels() {
    const RECT r = client_on_screen(open_box());
    PixelImage image(r.right - r.left, r.bottom - r.top);
    capture_screen(r, image);
    return image.count(RECT{0, 0, image.width(), image.height()}, kPictureColour);
}

HistoryEntry text_entry() {
    HistoryEntry e;
    e.text = L"First line of a copied note\r\nand its second line";
    e.created_at = L"2024-03-05T07:09:41";
    e.source_app = L"notepad.exe";
    return e;
}

// A text copied from a browser: its program, page title (long enough to wrap
// once), address and time make five lines.
HistoryEntry page_entry() {
    HistoryEntry e = text_entry();
    e.is_browser_page = true;
    e.source_title =
        L"Harbour news: the summer timetable of the ferries to the islands, with every new departure, "
        L"the fares and the harbour's opening hours";
    e.source_url = L"http://example.com/harbour/timetable";
    return e;
}

HistoryEntry picture_entry() {
    std::vector<std::uint8_t> pixels(40 * 30 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = GetBValue(kPictureColour);
        pixels[i + 1] = GetGValue(kPictureColour);
        pixels[i + 2] = GetRValue(kPictureColour);
    }
    HistoryEntry e = text_entry();
    e.text.clear();
    e.is_image = true;
    e.image = make_dib32(pixels.data(), 40, 30);
    return e;
}

// The file dialog's stand-in: it answers g_answer, after switching the
// language as the settings window can while the dialog is open when asked to.
FileDialogAnswer g_answer;
bool g_switch_language = false;
FileDialogAnswer answer_file_dialog(const FileDialogRequest&) {
    if (g_switch_language) set_language(L"ru");
    return g_answer;
}

class DialogsDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        app_.settings = new Settings();
        load_language(L"en", source_dir() + L"\\lang");
        // The owner stands for the main window, whose parts give the boxes their theme.
        register_window_class(
            {.name = kMainWindowClass, .background = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))});
        owner_ = CreateWindowExW(0, kMainWindowClass, L"owner", WS_POPUP | WS_VISIBLE, 40, 40, 900, 700, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(owner_);
        bind_state<AppParts>(owner_, &app_);
        main_.hwnd = owner_;
        main_.app = &app_;
        SetForegroundWindow(owner_);
        move_mouse(POINT{1200, 1000});
        pump_messages(100);
    }
    void TearDown() override {
        DestroyWindow(owner_);
        pump_messages(50);
        EXPECT_EQ(open_box(), nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    bool confirm() { return confirm_box(owner_, L"Delete", L"Delete the selected entry?", L"Delete"); }

    // The box is open, its owner disabled; the focus is where a box puts it.
    std::function<void()> expect_modal_with_focus_on(int id) {
        return [this, id] {
            ASSERT_TRUE(open_box());
            EXPECT_FALSE(IsWindowEnabled(owner_));
            EXPECT_EQ(GetFocus(), GetDlgItem(open_box(), id));
        };
    }

    // The message box after an export or import whose file dialog answers given.
    struct Told {
        std::wstring title, text;
    };
    Told told(HistoryDb& db, FileDialogAnswer given, bool exporting) {
        g_answer = std::move(given);
        Told box;
        BoxScript script({[&] {
            box = {window_text(open_box()), message_box_text(open_box())};
            PostMessageW(open_box(), WM_COMMAND, IDOK, 0);
        }});
        const FileDialog before = set_file_dialog(answer_file_dialog);
        if (exporting) export_history_json(owner_, db);
        else import_history_json(owner_, db);
        set_file_dialog(before);
        return box;
    }

    App app_;
    MainWindow main_;
    HWND owner_ = nullptr;
};

}  // namespace

TEST_F(DialogsDesktop, ConfirmBoxIsTrueOnlyForOk) {
    {
        BoxScript s({expect_modal_with_focus_on(IDCANCEL), [] { click_control(IDOK); }});
        EXPECT_TRUE(confirm());
    }
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetForegroundWindow(), owner_);
    {
        BoxScript s({[] { click_control(IDCANCEL); }});
        EXPECT_FALSE(confirm());
    }
    {
        // Space presses the focused button, Cancel; Enter and Esc mean nothing.
        BoxScript s({[] { send_key(VK_RETURN); }, [] { send_key(VK_ESCAPE); }, [] { ASSERT_TRUE(open_box()); },
                     [] { send_key(VK_SPACE); }});
        EXPECT_FALSE(confirm());
    }
    {
        BoxScript s({[] { PostMessageW(open_box(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
        EXPECT_FALSE(confirm());
    }
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(DialogsDesktop, InputBoxGivesBackEverythingTyped) {
    // More than an edit field takes by default, then typed at the end: a line
    // break and more text must all come back. (Short lines keep Wine's edit
    // control from wrapping one long line again at every key.)
    std::wstring long_text;
    while (long_text.size() < 40000) long_text += L"a line of an entry's text\r\n";
    std::wstring text = long_text;
    {
        BoxScript s({expect_modal_with_focus_on(kIdInputField),
                     [] {
                         send_key_down(VK_CONTROL);
                         send_key(VK_END);
                         send_key_up(VK_CONTROL);
                         send_key('X');
                         send_key(VK_RETURN);
                         send_key('Y');
                     },
                     [] { click_control(IDOK); }});
        EXPECT_TRUE(input_box(owner_, L"Edit", L"Text", text));
    }
    ASSERT_EQ(text.size(), long_text.size() + 4);
    EXPECT_TRUE(text.compare(0, long_text.size(), long_text) == 0);
    EXPECT_EQ(text.substr(long_text.size()), L"x\r\ny");
    EXPECT_TRUE(IsWindowEnabled(owner_));

    // Cancel and the caption's close button leave the caller's text alone.
    std::wstring name = L"Work";
    for (auto close : {std::function<void()>([] { click_control(IDCANCEL); }),
                       std::function<void()>([] { PostMessageW(open_box(), WM_CLOSE, 0, 0); })}) {
        BoxScript s({[] { send_key('Q'); }, close});
        EXPECT_FALSE(input_box(owner_, L"Rename", L"New name", name));
        EXPECT_EQ(name, L"Work");
    }
}

TEST_F(DialogsDesktop, AQuitEndsEachBoxAndReachesTheProgramsLoop) {
    const std::vector<std::function<bool()>> boxes = {
        [this] { return confirm(); },
        [this] {
            std::wstring text = L"kept";
            const bool ok = input_box(owner_, L"Edit", L"Text", text);
            EXPECT_EQ(text, L"kept");
            return ok;
        },
        [this] { return !show_view_dialog(&main_, text_entry()); },
    };
    for (const auto& box : boxes) {
        {
            BoxScript s({[] { ASSERT_TRUE(open_box()); }, [] { PostQuitMessage(5); }});
            EXPECT_FALSE(box());
        }
        EXPECT_EQ(open_box(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(owner_));
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 5u);
    }
}

TEST_F(DialogsDesktop, ViewDialogShowsTextAndZoomsPictures) {
    const HistoryEntry text = text_entry();
    // A text imported or edited with bare line feeds shows its lines as CR LF does.
    HistoryEntry lf_text = text;
    lf_text.text = L"First line of a copied note\nand its second line";
    for (const HistoryEntry& entry : {text, lf_text}) {
        BoxScript s({[&] {
                         HWND field = FindWindowExW(open_box(), nullptr, L"EDIT", nullptr);
                         ASSERT_TRUE(field);
                         wchar_t shown[128] = {};
                         GetWindowTextW(field, shown, 128);
                         EXPECT_EQ(std::wstring(shown), text.text);
                         EXPECT_EQ(SendMessageW(field, EM_GETLINECOUNT, 0, 0), 2);
                         EXPECT_EQ(GetFocus(), field);
                     },
                     [] { click_control(kIdViewClose); }});
        EXPECT_TRUE(show_view_dialog(&main_, entry));
    }
    EXPECT_TRUE(IsWindowEnabled(owner_));

    // The picture is fitted to the window; ten notches towards the user make
    // it a quarter of that each way, enough notches away fill the whole area,
    // and the fit button brings the fitted size back.
    int fitted = 0;
    // The real wheel over the box: its notches are taken before the next step.
    auto wheel = [](int notches) {
        move_mouse(client_center(open_box()));
        send_wheel(notches);
    };
    BoxScript s({[&] { fitted = picture_pixels(); }, [&] { wheel(-12); },
                 [&] {
                     EXPECT_NEAR(picture_pixels(), fitted / 16.0, fitted / 16.0 * 0.15);
                     wheel(20);
                 },
                 [&] {
                     const RECT area = view_image_area(client_on_screen(open_box()), 0);  // two short lines
                     EXPECT_EQ(picture_pixels(), (area.right - area.left) * (area.bottom - area.top));
                 },
                 [] { click_control(kIdViewFit); }, [&] { EXPECT_EQ(picture_pixels(), fitted); },
                 [] { click_control(kIdViewClose); }});
    EXPECT_TRUE(show_view_dialog(&main_, picture_entry()));
    EXPECT_GT(fitted, 100 * 100);
    EXPECT_FALSE(show_view_dialog(nullptr, text));
}

TEST_F(DialogsDesktop, ViewDialogShowsEveryLineAboutAWebPage) {
    int lines = 0;
    BoxScript s({[&] {
                     HWND box = open_box();
                     const RECT field = rect_in(box, FindWindowExW(box, nullptr, L"EDIT", nullptr));
                     const RECT close = rect_in(box, GetDlgItem(box, kIdViewClose));
                     lines = text_lines_in(box, RECT{0, field.bottom, close.left, close.top});
                 },
                 [] { click_control(kIdViewClose); }});
    EXPECT_TRUE(show_view_dialog(&main_, page_entry()));
    EXPECT_EQ(lines, 5);
}

// The folder the user saves to stays theirs to remove (a USB stick): the
// dialog leaves the process's current folder where it was.
TEST_F(DialogsDesktop, TheFileDialogGivesTheFileAndLeavesTheCurrentFolder) {
    TempDir start, elsewhere;
    SetCurrentDirectoryW(start.path().c_str());
    BoxScript script({[] {
        SendMessageW(GetDlgItem(open_box(), cmb13), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"chosen.json"));
        PostMessageW(open_box(), WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(
        ask_for_file({.owner = owner_, .save = true, .filter = L"JSON\0*.json\0", .folder = elsewhere.path()}).path,
        elsewhere.file(L"chosen.json"));
    EXPECT_EQ(std::filesystem::current_path().wstring(), start.path());
    // The Open dialog of Windows leaves the folder browsed to current, whatever its flags.
    const FileDialog before = set_file_dialog([](const FileDialogRequest&) {
        SetCurrentDirectoryW(L"C:\\");
        return FileDialogAnswer{};
    });
    ask_for_file({.owner = owner_});
    set_file_dialog(before);
    EXPECT_EQ(std::filesystem::current_path().wstring(), start.path());
    SetCurrentDirectoryW(L"C:\\");
}

// A count of 0 would read as an empty history: a file that cannot be written
// or read is told by name, and so is a dialog that failed.
TEST_F(DialogsDesktop, AFailedExportOrImportSaysSo) {
    TempDir dir;
    HistoryDb db(dir.file(L"history.db"));
    // Held open by another program (Wine run as root writes over a read-only file).
    const std::wstring locked = dir.file(L"locked.json"), not_json = dir.file(L"notes.json");
    write_bytes(locked, "[]");
    write_bytes(not_json, "notes, not a history");
    ScopedHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    using Outcome = FileDialogAnswer::Outcome;
    EXPECT_EQ(told(db, {Outcome::Chosen, locked}, true).text, tr_format(L"status.export_failed", locked));
    EXPECT_EQ(told(db, {Outcome::Chosen, not_json}, false).text, tr_format(L"status.import_failed", not_json));
    EXPECT_EQ(told(db, {Outcome::Failed, {}, FNERR_BUFFERTOOSMALL}, false).text,
              file_dialog_failure(FNERR_BUFFERTOOSMALL));
}

// The settings window stays usable while a file dialog is open: a language
// chosen there meanwhile titles the box that follows. Beside the test no
// language file is found, so every key then shows as itself.
TEST_F(DialogsDesktop, ALanguageChosenDuringTheFileDialogTitlesTheBoxAfterIt) {
    TempDir dir;
    HistoryDb db(dir.file(L"history.db"));
    g_switch_language = true;
    using Outcome = FileDialogAnswer::Outcome;
    // Each box first, then the title of the language in place after the dialog.
    const std::wstring exported = told(db, {Outcome::Chosen, dir.file(L"saved.json")}, true).title;
    EXPECT_EQ(exported, tr(L"title.export"));
    load_language(L"en", source_dir() + L"\\lang");
    const std::wstring failed = told(db, {Outcome::Failed, {}, FNERR_BUFFERTOOSMALL}, false).title;
    EXPECT_EQ(failed, tr(L"title.import"));
    g_switch_language = false;
}

TEST_F(DialogsDesktop, ScreenshotsInBothThemes) {
    CreateDirectoryW((binary_dir() + L"\\screenshots").c_str(), nullptr);
    for (bool dark : {true, false}) {
        app_.settings->dark_mode = dark;
        const std::wstring theme = dark ? L"dark" : L"light";
        // name, what opens the box, colours it must show
        struct Shot {
            const wchar_t* name;
            std::function<void()> open;
            std::vector<COLORREF> colours;
        };
        const COLORREF window = ui_color(UiColor::WindowBackground, dark);
        const COLORREF field = ui_color(UiColor::FieldBackground, dark);
        const COLORREF text = ui_color(UiColor::Text, dark);
        const std::vector<Shot> shots = {
            {L"confirm",
             [this] {
                 confirm_box(owner_, L"Delete",
                             L"Delete the 3 selected entries? They go to the trash and can be restored from there.",
                             L"Delete");
             },
             {window, text, ui_color(UiColor::Highlight, dark), round_button_colors(dark, false).normal}},
            {L"input",
             [this] {
                 std::wstring name = L"Work notes";
                 input_box(owner_, L"Rename category", L"New name", name);
             },
             {window, field, text, round_button_colors(dark, true).normal}},
            {L"view_text", [this] { show_view_dialog(&main_, text_entry()); }, {window, field, text}},
            {L"view_page", [this] { show_view_dialog(&main_, page_entry()); }, {window, field, text}},
            {L"view_picture",
             [this] { show_view_dialog(&main_, picture_entry()); },
             {window, text, kPictureColour, round_button_colors(dark, true).normal}},
        };
        for (const Shot& shot : shots) {
            SCOPED_TRACE(testing::Message() << "dialog_" << std::string(shot.name, shot.name + wcslen(shot.name))
                                            << (dark ? " dark" : " light"));
            BoxScript s({[] {},
                         [&] {
                             RECT r;
                             GetWindowRect(open_box(), &r);
                             PixelImage image(r.right - r.left, r.bottom - r.top);
                             capture_screen(r, image);
                             const RECT all{0, 0, image.width(), image.height()};
                             for (COLORREF c : shot.colours) EXPECT_GT(image.count(all, c), 0) << std::hex << c;
                             EXPECT_TRUE(image.save_png(binary_dir() + L"\\screenshots\\dialog_" + shot.name + L"_" +
                                                        theme + L".png"));
                         },
                         [] { PostMessageW(open_box(), WM_CLOSE, 0, 0); }});
            shot.open();
        }
    }
}
