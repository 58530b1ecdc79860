// Renders the main window, in both themes, into PNG files for people to look
// at: the history with text and image cards (some selected), the templates
// view with a group header, an open drop-down menu of the menu bar, and the
// sidebar with its templates section open and a category's menu.
//   main_window_gallery.exe <output folder>
// Writes main_window_<theme>.png, main_window_templates_<theme>.png,
// main_window_menu_<theme>.png and main_window_sidebar_<theme>.png for the
// themes dark and light, and prints one line per file; for the first two
// also "at" lines that say where the list, the sidebar, the tool buttons and
// the cards are in them. Exit code 0 when all were written.

#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/sidebar.h"
#include "ui/menu/popup_menu.h"

#include <cstdio>
#include <string>

using namespace testsupport;

namespace {

bool save_window(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    PixelImage image(r.right - r.left, r.bottom - r.top);
    capture_screen(r, image);
    return image.save_png(path);
}

// "at <picture> <what> left top right bottom": a place in the picture of the
// window, for the test to look at what is drawn there.
void print_place(const std::wstring& picture, const char* what, HWND window, RECT r) {
    RECT frame{};
    GetWindowRect(window, &frame);
    std::printf("at %ls %s %ld %ld %ld %ld\n", picture.c_str(), what, r.left - frame.left, r.top - frame.top,
                r.right - frame.left, r.bottom - frame.top);
}

void print_child(const std::wstring& picture, const char* what, HWND window, HWND child) {
    RECT r{};
    GetClientRect(child, &r);
    MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&r), 2);
    print_place(picture, what, window, r);
}

// The list, the sidebar, the tool buttons and each card on screen, with
// whether it is selected.
void print_places(const std::wstring& picture, HWND window, const MainWindow& mw) {
    print_child(picture, "list", window, mw.entry_list);
    print_child(picture, "sidebar", window, mw.sidebar);
    for (HWND button : mw.tool_buttons)
        if (button && IsWindowVisible(button)) print_child(picture, "tool", window, button);
    RECT list{};
    GetClientRect(mw.entry_list, &list);
    const LRESULT rows = SendMessageW(mw.entry_list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row) {
        RECT r{};
        SendMessageW(mw.entry_list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        if (r.top >= list.bottom || r.bottom <= 0) continue;  // scrolled out of sight
        MapWindowPoints(mw.entry_list, nullptr, reinterpret_cast<POINT*>(&r), 2);
        const bool selected = SendMessageW(mw.entry_list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
        print_place(picture, selected ? "selected-card" : "card", window, r);
    }
}

// The category the first picture shows: text and image cards together.
std::int64_t seed(HistoryDb& db) {
    const std::int64_t work = db.add_category(L"Work");
    db.toggle_category_pin(db.add_category(L"Personal"));
    db.add_category(L"Receipts and invoices from every supplier of the year");
    add_text_entry(db, L"Meeting notes: send the quarterly figures to Anna before Friday, and book the room", work);
    add_image_entry(db, 160, 90, RGB(40, 120, 220), work, L"mspaint.exe", L"Harbour at dawn - Paint");
    add_text_entry(db, L"https://example.org/articles/clipboard-history", work);
    const std::int64_t pinned = add_text_entry(db, L"Reference number 4471-2210-8834", work);
    add_text_entry(db, L"Кириллица тоже работает: «ёлка», Ёж и щука", work);
    const std::int64_t kept = add_text_entry(db, L"A kept entry survives when the history is cleared", work);
    const std::int64_t shot = add_image_entry(db, 40, 70, RGB(230, 140, 30), work);
    add_text_entry(db, L"Line one\r\nline two of a copied paragraph that is far too long to fit on a single card row",
                   work);
    db.set_pinned_many({pinned, shot}, true);
    db.set_keep(kept, true);
    db.create_snippet_group(L"Replies");
    db.add_snippet(L"Thanks", L"Thank you for your message.\nI will come back to you by {date}.", L"Replies");
    db.add_snippet(L"Out of office", L"I am away until Monday and read mail only now and then.", L"Replies");
    return work;
}

void select_rows(MainWindow& mw, std::initializer_list<int> rows) {
    SendMessageW(mw.entry_list, LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageW(mw.entry_list, LB_SETSEL, TRUE, row);
}

void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages(400);
}

HWND g_window = nullptr;
std::wstring g_menu_path;
bool g_menu_saved = false;
int g_menu_step = 0;

// Drives the open drop-down: hover a row, capture window and menu, close it.
void CALLBACK menu_step(HWND, UINT, UINT_PTR id, DWORD) {
    const auto menus = visible_thread_windows(kPopupMenuClass);
    if (menus.empty()) return;
    RECT menu{};
    GetWindowRect(menus.front(), &menu);
    switch (g_menu_step++) {
    case 0:
    case 1:
        // The menu takes a pointer that moves as the user's; a resting one does not hover.
        move_mouse(POINT{(menu.left + menu.right) / 2 + g_menu_step * 4, menu.top + 6 + 28 + 14});
        break;
    case 3: {
        RECT all{};
        GetWindowRect(g_window, &all);
        UnionRect(&all, &all, &menu);
        PixelImage image(all.right - all.left, all.bottom - all.top);
        capture_screen(all, image);
        g_menu_saved = image.save_png(g_menu_path);
        break;
    }
    case 4: send_key(VK_ESCAPE); break;
    default:
        if (g_menu_step > 8) {
            for (HWND m : menus) DestroyWindow(m);  // never hang
            KillTimer(nullptr, id);
        }
        break;
    }
}

bool render(bool dark, const std::wstring& folder) {
    const std::wstring theme = dark ? L"dark" : L"light";
    MainWindowFixture fixture;
    fixture.settings().dark_mode = dark;
    const std::int64_t category = seed(fixture.db());
    if (!fixture.open(20, 20, 760, 560)) return false;
    MainWindow& mw = fixture.main_window();
    g_window = fixture.hwnd();

    mw.set_view(kViewCategory, static_cast<int>(category));
    select_rows(mw, {0, 4});
    settle(fixture.hwnd());
    const std::wstring history = L"main_window_" + theme + L".png";
    const bool history_ok = save_window(fixture.hwnd(), folder + L"\\" + history);
    print_places(history, fixture.hwnd(), mw);

    mw.show_template_group(L"Replies");
    select_rows(mw, {1});
    settle(fixture.hwnd());
    const std::wstring templates = L"main_window_templates_" + theme + L".png";
    const bool templates_ok = save_window(fixture.hwnd(), folder + L"\\" + templates);
    print_places(templates, fixture.hwnd(), mw);

    mw.set_view(kViewAll, -1);
    settle(fixture.hwnd());
    g_menu_path = folder + L"\\main_window_menu_" + theme + L".png";
    g_menu_saved = false;
    g_menu_step = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, menu_step);
    mw.show_menu_bar_menu(1);
    KillTimer(nullptr, timer);
    pump_messages(100);

    const bool menu_ok = g_menu_saved;

    // The sidebar: templates open on a group, a category's menu over it.
    mw.show_template_group(L"Replies");
    settle(fixture.hwnd());
    g_menu_path = folder + L"\\main_window_sidebar_" + theme + L".png";
    g_menu_saved = false;
    g_menu_step = 0;
    const LRESULT count = SendMessageW(mw.sidebar, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        if (sidebar_category_of(SendMessageW(mw.sidebar, LB_GETITEMDATA, row, 0)) != category) continue;
        RECT r{};
        SendMessageW(mw.sidebar, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const UINT_PTR sidebar_timer = SetTimer(nullptr, 0, 200, menu_step);
        mw.on_sidebar_context_menu(to_screen(mw.sidebar, POINT{r.left + 40, (r.top + r.bottom) / 2}));
        KillTimer(nullptr, sidebar_timer);
        pump_messages(100);
    }

    std::printf(
        "%s main_window_%ls.png\n%s main_window_templates_%ls.png\n%s main_window_menu_%ls.png\n"
        "%s main_window_sidebar_%ls.png\n",
        history_ok ? "wrote" : "FAILED", theme.c_str(), templates_ok ? "wrote" : "FAILED", theme.c_str(),
        menu_ok ? "wrote" : "FAILED", theme.c_str(), g_menu_saved ? "wrote" : "FAILED", theme.c_str());
    return history_ok && templates_ok && menu_ok && g_menu_saved;
}

}  // namespace

int main(int argc, char** argv) {
    install_crash_guard();
    if (argc < 2) {
        std::fprintf(stderr, "usage: main_window_gallery <output folder>\n");
        return 2;
    }
    const std::wstring folder = command_line_args().at(1);
    CreateDirectoryW(folder.c_str(), nullptr);
    bool all = true;
    for (bool dark : {true, false}) all = render(dark, folder) && all;
    std::fflush(stdout);
    return all ? 0 : 1;
}
