// The preview popup and the templates under real input, in a main window of
// the test process: the popup follows the selection beside the window, takes
// a link title that arrives later, scrolls with the wheel, closes on a click
// elsewhere and never leaves its mouse hook behind, nor keeps it while the
// paste tone holds the thread; the template editor and
// the group commands driven through their boxes by a thread timer; the font
// spin of the settings window; screenshots of both in both themes.

#include "capture/link_fetch.h"
#include "config/language.h"
#include "services/clipboard.h"
#include "services/ids.h"
#include "services/sound.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "support/box_script.h"
#include "support/desktop_input.h"
#include "support/local_http_server.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/kit/theme.h"
#include "ui/main_window/snippet_editor.h"
#include "ui/settings/settings_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>

using namespace testsupport;

namespace {

std::wstring long_text(int lines) {
    std::wstring text;
    for (int i = 1; i <= lines; ++i) text += L"Line " + std::to_wstring(i) + L" of a long copied text\r\n";
    return text;
}

std::int64_t find_snippet_id(HistoryDb& db, const std::wstring& title) {
    for (const Snippet& s : db.list_snippets())
        if (s.title == title) return s.id;
    return 0;
}

const Snippet* find_stored(const std::vector<Snippet>& all, const std::wstring& title) {
    const auto found = std::find_if(all.begin(), all.end(), [&](const Snippet& s) { return s.title == title; });
    return found == all.end() ? nullptr : &*found;
}

HWND top_window(const wchar_t* cls) {
    const std::vector<HWND> windows = visible_thread_windows(cls);
    return windows.empty() ? nullptr : windows.front();
}

void dismiss_message_box() { PostMessageW(top_window(kMessageBoxClass), WM_COMMAND, IDOK, 0); }
std::wstring editor_text(int id) { return window_text(GetDlgItem(top_window(kSnippetEditorClass), id)); }
void set_editor_text(int id, const std::wstring& text) {
    SetWindowTextW(GetDlgItem(top_window(kSnippetEditorClass), id), text.c_str());
}

// What the tone player heard: how many tones, on which thread (never the
// window's, which would freeze meanwhile), and whether any found the
// preview's mouse hook live.
struct ToneEar {
    const MainWindow* window = nullptr;
    std::atomic<int> tones = 0;
    std::atomic<DWORD> thread = 0;
    std::atomic<bool> hook_live = false;
};
ToneEar g_ear;
void hear_tone(unsigned, unsigned) {
    ++g_ear.tones;
    g_ear.thread = GetCurrentThreadId();
    g_ear.hook_live = g_ear.hook_live || (g_ear.window && g_ear.window->preview_hook);
}

class PreviewDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        HistoryDb& db = fx_.db();
        long_id_ = add_text_entry(db, long_text(80));
        image_id_ = add_image_entry(db, 300, 160, RGB(40, 120, 220), std::nullopt, L"mspaint.exe");
        second_id_ = add_text_entry(db, L"Second entry");
        short_id_ = add_text_entry(db, L"A short copied line");
        db.create_snippet_group(L"Replies");
        db.add_snippet(L"Thanks", L"Thank you, {user}.", L"Replies");
        db.add_snippet(L"Zebra", L"Stripes", L"Replies");
        // Room on both sides: the popup goes left of the window.
        ASSERT_TRUE(fx_.open(620, 60, 560, 640));
        mw_ = &fx_.main_window();
        mw_->set_view(kViewAll, -1);
        pump_messages(100);
    }

    HWND popup() const { return mw_->preview_window.get(); }
    bool shown() const { return popup() && IsWindowVisible(popup()); }
    std::wstring popup_text() const { return popup() ? window_text(popup()) : L""; }

    POINT row_point(std::int64_t data) const {
        RECT r{};
        SendMessageW(mw_->entry_list, LB_GETITEMRECT, static_cast<WPARAM>(mw_->index_of(data)),
                     reinterpret_cast<LPARAM>(&r));
        return to_screen(mw_->entry_list, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    void click_row(std::int64_t data, bool with_ctrl = false) {
        if (with_ctrl) send_key_down(VK_CONTROL);
        click_at(row_point(data));
        if (with_ctrl) send_key_up(VK_CONTROL);
    }
    void show_for(std::int64_t data) {
        click_row(data);
        ASSERT_TRUE(pump_until([&] { return shown() && mw_->preview_id == (data < 0 ? -data : data); }, 3000));
    }

    MainWindowFixture fx_;
    MainWindow* mw_ = nullptr;
    std::int64_t long_id_ = 0, image_id_ = 0, second_id_ = 0, short_id_ = 0;
};

}  // namespace

TEST_F(PreviewDesktop, OneSelectedRowShowsItBesideTheWindowAndMoreRowsHideIt) {
    show_for(short_id_);
    RECT main{}, pop{};
    GetWindowRect(fx_.hwnd(), &main);
    GetWindowRect(popup(), &pop);
    EXPECT_EQ(pop.right, main.left - 8);
    EXPECT_GE(pop.right - pop.left, 120);
    EXPECT_TRUE(popup_text().starts_with(L"A short copied line\nProgram: Notepad\nCopied: ")) << popup_text();
    EXPECT_NE(mw_->preview_hook, nullptr);
    EXPECT_EQ(GetForegroundWindow(), fx_.hwnd());  // the popup never takes the focus

    click_row(second_id_, true);
    ASSERT_TRUE(pump_until([&] { return !shown(); }, 3000));
    EXPECT_EQ(mw_->preview_hook, nullptr);

    // At the screen's left edge it opens on the right.
    SetWindowPos(fx_.hwnd(), nullptr, 4, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    mw_->show_images_view();
    show_for(image_id_);
    GetWindowRect(fx_.hwnd(), &main);
    GetWindowRect(popup(), &pop);
    EXPECT_EQ(pop.left, main.right + 8);
    EXPECT_NE(mw_->preview_bitmap.get(), nullptr);
    EXPECT_TRUE(popup_text().starts_with(L"\nProgram: ")) << popup_text();  // no text, only the lines

    // A template shows its text unexpanded and when it was made.
    mw_->show_template_group(L"Replies");
    const std::int64_t thanks = -find_snippet_id(fx_.db(), L"Thanks");
    show_for(thanks);
    EXPECT_TRUE(popup_text().starts_with(L"Thank you, {user}.\nCopied: "));
    EXPECT_EQ(popup_text().find(L"Program"), std::wstring::npos);

    // With previews switched off a selection shows none.
    fx_.settings().show_hints = false;
    click_row(-find_snippet_id(fx_.db(), L"Zebra"));
    pump_messages(300);
    EXPECT_FALSE(shown());
}

TEST_F(PreviewDesktop, ItStandsLevelWithItsRowAndGoesWhereTheWindowGoes) {
    show_for(short_id_);
    RECT pop{}, row{};
    GetWindowRect(popup(), &pop);
    SendMessageW(mw_->entry_list, LB_GETITEMRECT, static_cast<WPARAM>(mw_->index_of(short_id_)),
                 reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(mw_->entry_list, nullptr, reinterpret_cast<POINT*>(&row), 2);
    EXPECT_NEAR(pop.top, row.top, 8);

    RECT main{};
    GetWindowRect(fx_.hwnd(), &main);
    SetWindowPos(fx_.hwnd(), nullptr, main.left + 40, main.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT moved{};
    GetWindowRect(popup(), &moved);
    EXPECT_EQ(moved.left - pop.left, 40);
    EXPECT_EQ(moved.top - pop.top, 30);
    EXPECT_TRUE(shown());

    // Minimized, the window takes the popup along out of sight, and a refill
    // meanwhile does not put it up in a corner of the screen.
    ShowWindow(fx_.hwnd(), SW_MINIMIZE);
    EXPECT_FALSE(shown());
    mw_->refresh_list();
    EXPECT_FALSE(shown());
    ShowWindow(fx_.hwnd(), SW_RESTORE);
}

TEST_F(PreviewDesktop, ACopyMadeWhileItIsClosedLeavesItClosed) {
    show_for(short_id_);
    RECT pop{};
    GetWindowRect(popup(), &pop);
    click_at(POINT{pop.left + 2, pop.bottom + 40});  // the bare desktop: the user turns to another program
    ASSERT_TRUE(pump_until([&] { return !shown(); }, 3000));

    SetTimer(fx_.hwnd(), kTimerPoll, 100, nullptr);
    const int rows = mw_->row_count();
    set_clipboard_text(L"Copied in another program " + std::to_wstring(GetTickCount()));
    ASSERT_TRUE(pump_until([&] { return mw_->row_count() == rows + 1; }, 10000));
    KillTimer(fx_.hwnd(), kTimerPoll);
    EXPECT_EQ(mw_->selected_ids(), std::vector<std::int64_t>{short_id_});
    pump_messages(200);
    EXPECT_FALSE(shown());
}

TEST_F(PreviewDesktop, ALinkTitleArrivingAddsItsLineAndTheLinkCanBeCopied) {
    LocalHttpServer server("<html><head><title>Harbour news</title></head><body>x</body></html>");
    ASSERT_NE(server.port(), 0);
    const std::wstring url = server.url(L"/article");
    const std::int64_t id = add_text_entry(fx_.db(), url);
    mw_->refresh_list();
    show_for(id);
    EXPECT_EQ(popup_text().find(L"Title:"), std::wstring::npos);
    EXPECT_NE(popup_text().find(L"Address: " + url), std::wstring::npos);
    RECT before{};
    GetWindowRect(popup(), &before);

    start_link_title_thread(fx_.hwnd(), id, url);
    ASSERT_TRUE(pump_until([&] { return popup_text().find(L"Title: Harbour news") != std::wstring::npos; }, 15000));
    RECT after{};
    GetWindowRect(popup(), &after);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);  // one more line
    EXPECT_EQ(fx_.db().list_entries(L"all", false, true).front().link_title, L"Harbour news");

    // The address line opens the link menu; the popup stays while it is open.
    pump_messages(100);
    const RECT link = mw_->preview_link_rect;
    ASSERT_FALSE(IsRectEmpty(&link));
    set_clipboard_text(L"something else");
    bool stayed = false;
    BoxScript script({[&] { stayed = shown(); }, [] { click_menu_row(1); }});  // "Copy"
    click_at(to_screen(popup(), POINT{(link.left + link.right) / 2, (link.top + link.bottom) / 2}));
    ASSERT_TRUE(pump_until([&] { return script.done() && !open_menu(); }, 5000));
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(pump_until([&] { return get_clipboard_text() == url; }, 2000));
}

TEST_F(PreviewDesktop, TheWheelScrollsTenPixelsANotchAndStopsAtBothEnds) {
    show_for(long_id_);
    ASSERT_TRUE(mw_->preview_layout.clipped);
    const int max_scroll = mw_->preview_layout.content_height - mw_->preview_layout.shown_height;
    auto wheel = [&](int delta) {
        SendMessageW(popup(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
    };
    wheel(-120);
    EXPECT_EQ(mw_->preview_scroll, 10);
    wheel(-60);
    EXPECT_EQ(mw_->preview_scroll, 10);  // half a notch waits for the other half
    wheel(-60);
    EXPECT_EQ(mw_->preview_scroll, 20);
    for (int i = 0; i < 50; ++i) wheel(-1200);
    EXPECT_EQ(mw_->preview_scroll, max_scroll);
    for (int i = 0; i < 50; ++i) wheel(1200);
    EXPECT_EQ(mw_->preview_scroll, 0);

    // The scroll survives a refill of the same entry and resets for another.
    wheel(-240);
    mw_->refresh_list();
    EXPECT_EQ(mw_->preview_scroll, 20);
    show_for(short_id_);
    show_for(long_id_);
    EXPECT_EQ(mw_->preview_scroll, 0);

    // The real wheel with the pointer over it.
    move_mouse(client_center(popup()));
    send_wheel(-1);
    EXPECT_TRUE(pump_until([&] { return mw_->preview_scroll == 10; }, 2000));
}

TEST_F(PreviewDesktop, AClickElsewhereClosesItButNotAClickInItOrOnTheWindow) {
    show_for(short_id_);
    click_at(client_center(popup()));
    pump_messages(300);
    EXPECT_TRUE(shown());

    RECT client{};
    GetClientRect(fx_.hwnd(), &client);
    const POINT window_background = to_screen(fx_.hwnd(), POINT{client.right - 3, client.bottom - 3});
    ASSERT_EQ(WindowFromPoint(window_background), fx_.hwnd());
    click_at(window_background);
    pump_messages(300);
    EXPECT_TRUE(shown());

    RECT pop{};
    GetWindowRect(popup(), &pop);
    click_at(POINT{pop.left + 2, pop.bottom + 40});  // the bare desktop under the popup
    ASSERT_TRUE(pump_until([&] { return !shown(); }, 3000));
    EXPECT_EQ(mw_->preview_hook, nullptr);
}

TEST_F(PreviewDesktop, TheMouseHookNeverOutlivesThePopupOrTheWindow) {
    show_for(short_id_);
    ASSERT_NE(mw_->preview_hook, nullptr);
    DestroyWindow(popup());
    EXPECT_EQ(mw_->preview_hook, nullptr);
    EXPECT_EQ(popup(), nullptr);

    show_for(second_id_);  // a new popup is made
    ASSERT_NE(mw_->preview_hook, nullptr);
    fx_.close();
    EXPECT_EQ(mw_->preview_hook, nullptr);
    EXPECT_EQ(popup(), nullptr);
}

TEST_F(PreviewDesktop, ThePasteToneWaitsUntilThePopupHasLetGoOfTheMouse) {
    fx_.settings().sound_on_paste = true;
    show_for(short_id_);
    ASSERT_NE(mw_->preview_hook, nullptr);
    g_ear.window = mw_;
    const TonePlayer previous = set_tone_player(hear_tone);
    mw_->on_paste_selected();
    set_tone_player(previous);
    EXPECT_TRUE(pump_until([] { return g_ear.tones > 0; }, 3000));
    pump_messages(400);  // the paste's keys are sent, and a second tone would be heard, by now
    EXPECT_EQ(g_ear.tones, 1);
    EXPECT_NE(g_ear.thread, GetCurrentThreadId());
    EXPECT_FALSE(g_ear.hook_live);
    EXPECT_FALSE(shown());
}

TEST_F(PreviewDesktop, TheFontSpinResizesTheListAndAShownPreviewFollowsTheSize) {
    fx_.settings().font_size = 14;
    fx_.app().open_settings();
    SettingsWindow* sw = fx_.app().settings_window;
    ASSERT_TRUE(sw && sw->window);
    show_settings_page(*sw, 2);
    HWND spin = nullptr;
    for (HWND w = FindWindowExW(sw->window, nullptr, UPDOWN_CLASSW, nullptr); w && !spin;
         w = FindWindowExW(sw->window, w, UPDOWN_CLASSW, nullptr))
        if (GetDlgCtrlID(w) == kIdSettingsFontSizeSpin && IsWindowVisible(w)) spin = w;
    ASSERT_NE(spin, nullptr);
    RECT r{};
    GetWindowRect(spin, &r);
    click_at(POINT{(r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4});  // the upper arrow
    ASSERT_TRUE(pump_until([&] { return mw_->list_font_size == 15; }, 3000));
    EXPECT_EQ(fx_.settings().font_size, 15);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw_->entry_list, WM_GETFONT, 0, 0)), mw_->list_font.get());
    // The page row under the pointer is lit, and none once it has left.
    HWND nav = GetDlgItem(sw->window, kIdSettingsNav);
    RECT row{};
    SendMessageW(nav, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    move_mouse(to_screen(nav, {(row.left + row.right) / 2, (row.top + row.bottom) / 2}));
    EXPECT_TRUE(pump_until([&] { return sw->hovered_nav_row == 3; }, 2000));
    move_mouse(POINT{r.right + 200, r.bottom + 200});
    EXPECT_TRUE(pump_until([&] { return sw->hovered_nav_row == -1; }, 3000));
    DestroyWindow(sw->window);
    pump_messages(100);

    show_for(short_id_);
    const int line_before = mw_->preview_layout.line_height;
    fx_.settings().font_size = 18;
    mw_->apply_font_size();
    EXPECT_TRUE(shown());
    EXPECT_GT(mw_->preview_layout.line_height, line_before);
}

// ---------------------------------------------------------------- templates

TEST_F(PreviewDesktop, TheEditorKeepsWhatWasTypedUntilItCanBeStoredInItsGroup) {
    mw_->show_template_group(L"Replies");
    const std::size_t templates_before = fx_.db().list_snippets().size();
    bool group_preset = false;
    std::wstring after_insert, after_replace, kept_title;
    BoxScript script({[&] {
                          group_preset = editor_text(kIdEditorGroup) == L"Replies";
                          click_control(kIdEditorOk);  // nothing typed yet
                      },
                      [] { dismiss_message_box(); },
                      [] {
                          set_editor_text(kIdEditorTitle, L"Thanks");  // taken
                          set_editor_text(kIdEditorText, L"Hello world");
                          SendMessageW(GetDlgItem(top_window(kSnippetEditorClass), kIdEditorText), EM_SETSEL, 6, 6);
                          click_control(kIdEditorVarDate);
                      },
                      [&] {
                          after_insert = editor_text(kIdEditorText);
                          HWND text = GetDlgItem(top_window(kSnippetEditorClass), kIdEditorText);
                          SendMessageW(text, EM_SETSEL, 12, 17);  // "world"
                          click_control(kIdEditorVarUser);
                      },
                      [&] {
                          after_replace = editor_text(kIdEditorText);
                          click_control(kIdEditorOk);
                      },
                      [] { dismiss_message_box(); },
                      [&] {
                          kept_title = editor_text(kIdEditorTitle);
                          // The title comes back chosen: what is typed replaces it.
                          for (WORD key : {'G', 'R', 'E', 'E', 'T', 'I', 'N', 'G'}) send_key(key);
                      },
                      [] { click_control(kIdEditorOk); }});
    mw_->new_template_in_group(L"Replies");
    EXPECT_TRUE(group_preset);
    EXPECT_EQ(after_insert, L"Hello {date}world");
    EXPECT_EQ(after_replace, L"Hello {date}{user}");
    EXPECT_EQ(kept_title, L"Thanks");
    const std::vector<Snippet> stored = fx_.db().list_snippets();
    const Snippet* greeting = find_stored(stored, L"greeting");
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(greeting->grp, L"Replies");
    EXPECT_EQ(greeting->text, L"Hello {date}{user}");
    EXPECT_EQ(stored.size(), templates_before + 1);
    EXPECT_NE(mw_->index_of(-greeting->id), -1);  // the templates view shows it
    EXPECT_TRUE(IsWindowEnabled(fx_.hwnd()));
}

TEST_F(PreviewDesktop, TheEditorEndsOnAQuitAndLeavesTheStringsAlone) {
    std::wstring title = L"Kept", group = L"Gone group", text = L"line one\nline two";
    std::wstring shown_group, shown_text;
    BoxScript script({[&] {
        shown_group = editor_text(kIdEditorGroup);
        shown_text = editor_text(kIdEditorText);
        set_editor_text(kIdEditorTitle, L"Changed");
        PostQuitMessage(7);
    }});
    EXPECT_FALSE(show_snippet_editor(fx_.hwnd(), mw_, title, group, text));
    EXPECT_EQ(title, L"Kept");
    EXPECT_EQ(shown_group, L"Gone group");  // a group no longer stored is shown as it was
    EXPECT_EQ(shown_text, L"line one\r\nline two");
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(IsWindowEnabled(fx_.hwnd()));
    EXPECT_EQ(open_box(), nullptr);
}

// The settings window stays usable while the editor is open. Beside the test
// no language file is found, so the language chosen there shows every key as
// itself: a label other than the one the group box was filled with.
TEST_F(PreviewDesktop, NoGroupChosenInTheEditorOutlivesALanguageSwitch) {
    fx_.app().open_settings();
    SettingsWindow* sw = fx_.app().settings_window;
    ASSERT_TRUE(sw && sw->window);
    BoxScript script({[&] {
                          set_editor_text(kIdEditorTitle, L"Signature");
                          set_editor_text(kIdEditorText, L"Regards");
                          HWND language = GetDlgItem(sw->window, kIdSettingsLanguage);
                          SendMessageW(language, CB_SETCURSEL, 0, 0);
                          SendMessageW(sw->window, WM_COMMAND, MAKEWPARAM(kIdSettingsLanguage, CBN_SELCHANGE),
                                       reinterpret_cast<LPARAM>(language));
                      },
                      // The settings window may stand over the editor's button.
                      [] { PostMessageW(top_window(kSnippetEditorClass), WM_COMMAND, kIdEditorOk, 0); }});
    mw_->new_template();
    ASSERT_NE(tr(L"editor.ungrouped_group"), L"Without group") << "the language was switched";
    const std::vector<Snippet> stored = fx_.db().list_snippets();
    const Snippet* signature = find_stored(stored, L"Signature");
    ASSERT_NE(signature, nullptr);
    EXPECT_EQ(signature->grp, L"");
}

TEST_F(PreviewDesktop, GroupCommandsChangeTheStoredGroups) {
    auto groups = [&] { return fx_.db().list_snippet_groups(); };
    auto has = [&](const std::wstring& name) {
        const std::vector<std::wstring> all = groups();
        return std::find(all.begin(), all.end(), name) != all.end();
    };
    auto type_into_box = [](const std::wstring& text) {
        return [text] {
            SetWindowTextW(GetDlgItem(top_window(kInputBoxClass), kIdInputField), text.c_str());
            click_control(IDOK);
        };
    };
    {
        BoxScript script({type_into_box(L"  Letters\r\n")});
        mw_->new_template_group();
    }
    EXPECT_TRUE(has(L"Letters"));
    {
        bool told = false;
        BoxScript script({type_into_box(L"Letters"), [&] { told = top_window(kMessageBoxClass) != nullptr; },
                          [] { dismiss_message_box(); }});
        mw_->new_template_group();
        EXPECT_TRUE(told);
        const std::vector<std::wstring> all = groups();
        EXPECT_EQ(std::count(all.begin(), all.end(), L"Letters"), 1);
    }
    mw_->show_template_group(L"Letters");
    {
        BoxScript script({type_into_box(L"Notes")});
        mw_->rename_template_group(L"Letters");
    }
    EXPECT_TRUE(has(L"Notes"));
    EXPECT_FALSE(has(L"Letters"));
    EXPECT_EQ(mw_->template_group, L"Notes");  // the view follows its group
    {
        BoxScript script({[] { click_control(IDOK); }});
        mw_->delete_template_group(L"Notes");
    }
    EXPECT_FALSE(has(L"Notes"));

    // Moving a group's templates moves them all, also those a search hides.
    mw_->show_template_group(L"");
    SetWindowTextW(mw_->search_edit, L"zebra");
    ASSERT_EQ(mw_->row_count(), 1);
    mw_->move_group_templates(L"Replies", L"Answers");
    std::vector<Snippet> stored = fx_.db().list_snippets();
    EXPECT_EQ(find_stored(stored, L"Zebra")->grp, L"Answers");
    EXPECT_EQ(find_stored(stored, L"Thanks")->grp, L"Answers");
    mw_->move_template_to_group(-find_snippet_id(fx_.db(), L"Zebra"), L"");
    stored = fx_.db().list_snippets();
    EXPECT_EQ(find_stored(stored, L"Zebra")->grp, L"");
    EXPECT_EQ(find_stored(stored, L"Thanks")->grp, L"Answers");
}

// ---------------------------------------------------------------- screenshots

TEST_F(PreviewDesktop, ScreenshotsOfPreviewsAndTheEditorInBothThemes) {
    const std::wstring folder = binary_dir() + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    // Saves the main window with another window over or beside it and
    // counts the pixels of a colour of the palette on the other window.
    auto shoot = [&](const std::wstring& name, HWND other, UiColor role) {
        // No message pump here: it also runs inside a script's step.
        RedrawWindow(other, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        flush_and_wait();
        RECT all{}, part{};
        GetWindowRect(fx_.hwnd(), &all);
        GetWindowRect(other, &part);
        UnionRect(&all, &all, &part);
        PixelImage image(all.right - all.left, all.bottom - all.top);
        capture_screen(all, image);
        EXPECT_TRUE(image.save_png(folder + L"\\" + name + L".png")) << name;
        OffsetRect(&part, -all.left, -all.top);
        return image.count(part, ui_color(role, mw_->dark));
    };
    for (bool dark : {true, false}) {
        const std::wstring theme = dark ? L"dark" : L"light";
        fx_.settings().dark_mode = dark;
        mw_->apply_dark_mode(dark);
        mw_->set_view(kViewAll, -1);
        show_for(short_id_);
        EXPECT_GT(shoot(L"preview_text_" + theme, popup(), UiColor::PopupSurface), 1000) << theme;
        mw_->show_images_view();
        show_for(image_id_);
        EXPECT_GT(shoot(L"preview_image_" + theme, popup(), UiColor::PopupSurface), 500) << theme;
        mw_->set_view(kViewAll, -1);
        show_for(long_id_);
        SendMessageW(popup(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120 * 30)), 0);
        EXPECT_GT(shoot(L"preview_scrolled_" + theme, popup(), UiColor::PopupSurface), 1000) << theme;

        int editor_pixels = 0;
        BoxScript script(
            {[] {
                 set_editor_text(kIdEditorTitle, L"Thanks for the order");
                 set_editor_text(kIdEditorText,
                                 L"Dear {user},\r\nthank you for your order of {date}.\r\nWe ship it within two days.");
             },
             [&] {
                 editor_pixels =
                     shoot(L"template_editor_" + theme, top_window(kSnippetEditorClass), UiColor::WindowBackground);
             },
             [] { click_control(kIdEditorCancel); }});
        mw_->new_template_in_group(L"Replies");
        EXPECT_GT(editor_pixels, 20000) << theme;
    }
}
