// Renders every control of the kit, in both themes and in each state, and an
// open popup menu with a submenu, into PNG files for people to look at:
//   ui_gallery.exe <output folder>
// Writes controls_dark.png, controls_light.png, menu_dark.png, menu_light.png
// and prints one line per file, and "at" lines that say where each control,
// menu and row is in them. Exit code 0 when all were written.

#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "ui/kit/brush_cache.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/toggle_switch.h"
#include "ui/kit/window_class.h"
#include "ui/menu/popup_menu.h"
#include "ui/menu/popup_menu_layout.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

bool g_dark = true;
BrushCache g_brushes;

LRESULT CALLBACK gallery_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(w, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, g_brushes.get(ui_color(UiColor::WindowBackground, g_dark)));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, ui_color(UiColor::SecondaryText, g_dark));
        SetBkColor(dc, ui_color(UiColor::WindowBackground, g_dark));
        return reinterpret_cast<LRESULT>(g_brushes.get(ui_color(UiColor::WindowBackground, g_dark)));
    }
    default: return DefWindowProcW(w, m, wp, lp);
    }
}

HWND make_parent(const wchar_t* title, int x, int y, int w, int h) {
    register_window_class({.name = L"KorvaneGallery", .procedure = gallery_proc});
    return CreateWindowExW(WS_EX_TOPMOST, L"KorvaneGallery", title, WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND child(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent, int id = 0,
           DWORD ex_style = 0) {
    HWND hwnd = CreateWindowExW(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return hwnd;
}

void label(HWND parent, const wchar_t* text, int x, int y, int w = 220) {
    child(L"STATIC", text, 0, x, y, w, 16, parent);
}

HWND round_button(HWND parent, const wchar_t* text, int x, int y, bool dark, bool primary, LONG_PTR state,
                  bool enabled) {
    HWND b = child(L"BUTTON", text, BS_PUSHBUTTON, x, y, 104, 32, parent);
    attach_round_button(b, dark, primary);
    if (!enabled) EnableWindow(b, FALSE);
    SetWindowLongPtrW(b, GWLP_USERDATA, GetWindowLongPtrW(b, GWLP_USERDATA) | state);
    return b;
}

std::wstring g_picture;  // the file name the "at" lines are about
POINT g_origin{};        // its top-left corner on the screen

// "at <picture> <what> left top right bottom": where a control or part is in
// the picture, for the test to look at what is drawn there.
void print_place(const char* what, RECT r) {
    std::printf("at %ls %s %ld %ld %ld %ld\n", g_picture.c_str(), what, r.left - g_origin.x, r.top - g_origin.y,
                r.right - g_origin.x, r.bottom - g_origin.y);
}

void print_place(const char* what, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    print_place(what, r);
}

bool save_window(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    PixelImage image(r.right - r.left, r.bottom - r.top);
    capture_screen(r, image);
    return image.save_png(path);
}

bool render_controls(bool dark, const std::wstring& path, const std::wstring& picture) {
    g_dark = dark;
    HWND w = make_parent(L"controls", 20, 20, 780, 470);
    if (!w) return false;
    g_picture = picture;
    g_origin = {20, 20};
    print_place("window", w);

    label(w, L"Toggle switches", 16, 8);
    const wchar_t* toggle_names[] = {L"Off", L"On", L"Off, pressed", L"On, pressed", L"On, disabled"};
    const char* toggle_places[] = {"toggle-off", "toggle-on", "toggle-off-pressed", "toggle-on-pressed",
                                   "toggle-disabled"};
    for (int i = 0; i < 5; ++i) {
        HWND t = create_toggle_switch(w, 100 + i, toggle_names[i], 16, 30 + i * 30, 220, kToggleSwitchHeight,
                                      i % 2 == 1 || i == 4, dark);
        SendMessageW(t, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        if (i == 2 || i == 3) SendMessageW(t, BM_SETSTATE, TRUE, 0);
        if (i == 4) EnableWindow(t, FALSE);
        print_place(toggle_places[i], t);
    }

    label(w, L"Rounded buttons: normal, hover, pressed, disabled", 260, 8, 400);
    const LONG_PTR states[] = {0, kRoundButtonHover, kRoundButtonPressed, 0};
    const wchar_t* state_names[] = {L"Normal", L"Hover", L"Pressed", L"Disabled"};
    const char* button_places[2][4] = {
        {"primary-normal", "primary-hover", "primary-pressed", "primary-disabled"},
        {"secondary-normal", "secondary-hover", "secondary-pressed", "secondary-disabled"}};
    for (int kind = 0; kind < 2; ++kind)
        for (int s = 0; s < 4; ++s)
            print_place(button_places[kind][s], round_button(w, state_names[s], 260 + s * 120, 30 + kind * 44, dark,
                                                             kind == 0, states[s], s != 3));

    // Fields on a panel, as the settings pages and boxes place them.
    label(w, L"Combo, spin, edits and list on a panel", 260, 130, 400);
    HWND panel = child(L"STATIC", L"", SS_NOTIFY, 260, 150, 500, 300, w);
    attach_panel_background(panel, dark);
    HWND combo = child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 12, 150, 200, panel);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Notification"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    attach_combo_style(combo, dark);
    HWND long_combo = child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 180, 12, 150, 200, panel);
    SendMessageW(long_combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(L"A choice far too long for its field, cut short"));
    SendMessageW(long_combo, CB_SETCURSEL, 0, 0);
    attach_combo_style(long_combo, dark);

    HWND buddy = child(L"EDIT", L"14", ES_NUMBER, 350, 12, 70, 24, panel, 0, WS_EX_CLIENTEDGE);
    attach_panel_background(buddy, dark);
    attach_thin_border(buddy, dark);
    HWND spin = child(UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0, panel);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(spin, UDM_SETRANGE32, 10, 18);
    SendMessageW(spin, UDM_SETPOS32, 0, 14);
    attach_spin_style(spin, dark);

    HWND edit = child(L"EDIT", L"Text in an edit with a thin border", ES_AUTOHSCROLL, 12, 56, 318, 24, panel, 0,
                      WS_EX_CLIENTEDGE);
    attach_panel_background(edit, dark);
    attach_thin_border(edit, dark);
    HWND empty = child(L"EDIT", L"", ES_AUTOHSCROLL, 12, 92, 318, 24, panel);
    attach_panel_background(empty, dark);
    attach_thin_border(empty, dark);
    HWND multi = child(L"EDIT", L"A multi-line edit\r\nsecond line\r\nthird line",
                       ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 12, 128, 318, 70, panel, 0, WS_EX_CLIENTEDGE);
    attach_panel_background(multi, dark);
    attach_thin_border(multi, dark);
    allow_dark_mode(multi, dark);
    HWND list = child(L"LISTBOX", L"", LBS_NOINTEGRALHEIGHT | WS_VSCROLL, 12, 210, 318, 80, panel, 0, WS_EX_CLIENTEDGE);
    for (const wchar_t* row : {L"First row", L"Second row", L"Third row"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    attach_thin_border(list, dark);
    print_place("panel", panel);
    print_place("combo", combo);
    print_place("spin", spin);
    print_place("edit", edit);

    label(w, L"Focused combo (accent frame always)", 16, 200);
    HWND focused = child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 16, 220, 200, 200, w);
    SendMessageW(focused, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"English"));
    SendMessageW(focused, CB_SETCURSEL, 0, 0);
    attach_combo_style(focused, dark);
    print_place("focused-combo", focused);

    SetForegroundWindow(w);
    SetFocus(focused);
    move_mouse(POINT{1270, 1010});
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages(300);
    const bool ok = save_window(w, path);
    DestroyWindow(w);
    pump_messages(50);
    return ok;
}

// The visible menus of this thread, the newest (topmost) first.
std::vector<HWND> open_menus() { return visible_thread_windows(kPopupMenuClass); }

std::vector<std::function<void()>> g_steps;
size_t g_next_step = 0;

void CALLBACK step_timer(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_next_step < g_steps.size()) {
        g_steps[g_next_step++]();
    } else {
        for (HWND menu : open_menus()) DestroyWindow(menu);  // never hang
        KillTimer(nullptr, id);
    }
}

POINT row_center(HWND menu, const PopupMenuItems& items, int row) {
    RECT rc;
    GetClientRect(menu, &rc);
    return to_screen(menu, POINT{rc.right / 2, menu_row_top(items, row) + kMenuRowHeight / 2});
}

bool render_menu(bool dark, const std::wstring& path, const std::wstring& picture) {
    g_dark = dark;
    g_picture = picture;
    HWND owner = make_parent(L"menu owner", 0, 0, 700, 420);
    if (!owner) return false;
    SetForegroundWindow(owner);
    pump_messages(100);

    PopupMenuItems items;
    append_menu_item(items, 1, L"Open history");
    append_check_item(items, 2, L"Always on top", true);
    PopupMenuItem disabled;
    disabled.text = L"Paste (nothing selected)";
    disabled.id = 3;
    disabled.enabled = false;
    push_menu_item(items, std::move(disabled));
    append_menu_separator(items);
    PopupMenuItem more;
    more.text = L"Move to category";
    append_menu_item(more.children, 11, L"Work");
    append_check_item(more.children, 12, L"Personal", true);
    append_menu_item(more.children, 13, L"A category with a rather long name");
    append_menu_separator(more.children);
    append_menu_item(more.children, 14, L"No category");
    push_menu_item(items, std::move(more));
    append_menu_separator(items);
    append_menu_item(items, 4, L"Quit");

    bool saved = false;
    HWND top = nullptr;
    g_next_step = 0;
    g_steps = {
        [&] {
            top = open_menus().front();
            move_mouse(row_center(top, items, 4));
        },
        [] {},
        [] {},
        [&] {
            auto menus = open_menus();
            if (menus.size() == 2) move_mouse(row_center(menus.front(), items[4].children, 1));
        },
        [&] {
            RECT all{};
            for (HWND m : open_menus()) {
                RECT r;
                GetWindowRect(m, &r);
                UnionRect(&all, &all, &r);
            }
            InflateRect(&all, 16, 16);
            PixelImage image(all.right - all.left, all.bottom - all.top);
            capture_screen(all, image);
            saved = open_menus().size() == 2 && image.save_png(path);
            if (!saved) return;
            g_origin = {all.left, all.top};
            const auto row = [](HWND menu, const PopupMenuItems& rows, int index) {
                RECT r{};
                GetWindowRect(menu, &r);
                const int top = r.top + menu_row_top(rows, index);
                return RECT{r.left, top, r.right, top + menu_row_height(rows[static_cast<size_t>(index)])};
            };
            const HWND sub = open_menus().front();
            print_place("menu", top);
            print_place("submenu", sub);
            print_place("enabled-row", row(top, items, 0));
            print_place("disabled-row", row(top, items, 2));
            print_place("separator-row", row(top, items, 3));
            print_place("hovered-row", row(sub, items[4].children, 1));
        },
        [] { send_key(VK_ESCAPE); },
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, step_timer);
    track_popup_menu(owner, 60, 40, items, dark);
    KillTimer(nullptr, timer);
    DestroyWindow(owner);
    pump_messages(50);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    install_crash_guard();
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_gallery <output folder>\n");
        return 2;
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    const std::wstring folder = command_line_args().at(1);
    CreateDirectoryW(folder.c_str(), nullptr);

    bool all = true;
    for (bool dark : {true, false}) {
        const std::wstring theme = dark ? L"dark" : L"light";
        const std::wstring controls = L"controls_" + theme + L".png";
        const std::wstring menu = L"menu_" + theme + L".png";
        const bool c = render_controls(dark, folder + L"\\" + controls, controls);
        const bool m = render_menu(dark, folder + L"\\" + menu, menu);
        std::printf("%s controls_%ls.png\n%s menu_%ls.png\n", c ? "wrote" : "FAILED", theme.c_str(),
                    m ? "wrote" : "FAILED", theme.c_str());
        all = all && c && m;
    }
    std::fflush(stdout);
    return all ? 0 : 1;
}
