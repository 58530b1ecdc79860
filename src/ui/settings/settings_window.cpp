// The settings window: creation, pages shown and hidden, theme, painting and
// the window procedure.

#include "ui/settings/settings_window.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/ids.h"
#include "ui/app_parts.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/hotkey_field.h"
#include "ui/kit/list_box.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/toggle_switch.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_decoration.h"
#include "ui/kit/window_state.h"
#include "ui/settings/settings_changes.h"
#include "ui/settings/settings_pages.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;
constexpr int kInitialWidth = 820, kInitialHeight = 580;

HINSTANCE instance_of(const AppParts* app) { return app && app->instance ? app->instance : GetModuleHandleW(nullptr); }

bool register_settings_class(HINSTANCE instance) {
    return register_window_class({.instance = instance, .name = kSettingsWindowClass, .procedure = settings_wnd_proc});
}

// ---------------------------------------------------------------- painting

void on_paint(const SettingsWindow& sw) {
    ScopedPaint paint(sw.window);
    HDC dc = paint.get();
    const bool dark = sw.dark();
    RECT client;
    GetClientRect(sw.window, &client);
    fill_solid(dc, RECT{0, 0, sw.content_left, client.bottom}, ui_color(UiColor::PopupSurface, dark));
    fill_solid(dc, RECT{sw.content_left, 0, sw.content_left + 1, client.bottom}, ui_color(UiColor::Border, dark));

    HFONT font = sw.title_font ? sw.title_font.get() : sw.text_font.get();
    ScopedSelect keep_font(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int text_height = metrics.tmHeight;
    const std::wstring title = sw.page < kSettingsPageCount ? tr(settings_pages()[sw.page].key) : std::wstring();
    RECT title_rect{sw.content_x(), 20, client.right - 24, text_height + 26};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui_color(UiColor::Text, dark));
    DrawTextW(dc, title.c_str(), -1, &title_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    fill_solid(dc, RECT{sw.content_x(), text_height + 34, client.right - 24, text_height + 35},
               ui_color(UiColor::Border, dark));
}

std::wstring nav_row_text(HWND list, int row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    return got == LB_ERR ? std::wstring() : std::wstring(text.data(), static_cast<size_t>(got));
}

void draw_nav_row(const SettingsWindow& sw, const DRAWITEMSTRUCT& item) {
    const bool dark = sw.dark();
    HDC dc = item.hDC;
    const RECT r = item.rcItem;
    fill_solid(dc, r, ui_color(UiColor::PopupSurface, dark));
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool hovered = static_cast<int>(item.itemID) == sw.hovered_nav_row;
    if (selected || hovered) {
        ScopedBrush fill(CreateSolidBrush(ui_color(selected ? UiColor::NavSelected : UiColor::NavHovered, dark)));
        ScopedSelect keep_brush(dc, fill.get());
        ScopedSelect keep_pen(dc, GetStockObject(NULL_PEN));
        RoundRect(dc, r.left + 4, r.top + 2, r.right - 4, r.bottom - 2, 8, 8);
    }
    // The bar beside the selected page is the light theme's accent in both themes.
    if (selected)
        fill_solid(dc, RECT{r.left + 7, r.top + 11, r.left + 10, r.bottom - 11}, ui_color(UiColor::Accent, false));

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui_color(selected ? UiColor::Text : UiColor::SecondaryText, dark));
    const HFONT list_font = control_font(item.hwndItem);
    const auto page = static_cast<size_t>(item.itemData);
    if (page < settings_pages().size()) {
        ScopedSelect keep_font(dc, sw.glyph_font ? sw.glyph_font.get() : list_font);
        const wchar_t glyph[2] = {settings_pages()[page].glyph, L'\0'};
        RECT glyph_rect{r.left + 18, r.top, r.left + 42, r.bottom};
        DrawTextW(dc, glyph, -1, &glyph_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    ScopedSelect keep_font(dc, list_font);
    const std::wstring text = nav_row_text(item.hwndItem, static_cast<int>(item.itemID));
    RECT text_rect{r.left + 50, r.top, r.right - 8, r.bottom};
    DrawTextW(dc, text.c_str(), -1, &text_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT on_draw_item(SettingsWindow& sw, WPARAM wparam, LPARAM lparam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (!item || item->CtlType != ODT_LISTBOX || item->hwndItem != sw.nav)
        return DefWindowProcW(sw.window, WM_DRAWITEM, wparam, lparam);
    draw_nav_row(sw, *item);
    return TRUE;
}

LRESULT colour_control(SettingsWindow& sw, HDC dc, COLORREF back) {
    SetTextColor(dc, ui_color(UiColor::Text, sw.dark()));
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(sw.brushes.get(back));
}

LRESULT on_ctl_colour(SettingsWindow& sw, UINT message, WPARAM wparam, LPARAM lparam) {
    const bool dark = sw.dark();
    HDC dc = reinterpret_cast<HDC>(wparam);
    switch (message) {
    case WM_CTLCOLORSTATIC: return colour_control(sw, dc, ui_color(UiColor::WindowBackground, dark));
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lparam) == sw.nav)
            return colour_control(sw, dc, ui_color(UiColor::PopupSurface, dark));
        break;
    default: break;
    }
    return colour_control(sw, dc, ui_color(UiColor::FieldBackground, dark));
}

// ---------------------------------------------------------------- life

// A number still being typed is applied while its field exists; the
// controls die with the window and nothing may reach them afterwards.
void on_destroy(SettingsWindow& sw) {
    commit_settings_fields(sw);
    sw.window = nullptr;
    sw.nav = nullptr;
    for (auto& page : sw.pages) page.clear();
    sw.toggles.clear();
    sw.fields.clear();
    sw.chips.clear();
    sw.buttons.clear();
    sw.hovered_nav_row = -1;
    sw.brushes.clear();
}

}  // namespace

// ---------------------------------------------------------------- public

SettingsWindow::~SettingsWindow() {
    if (window && IsWindow(window)) {
        clear_state(window);
        DestroyWindow(window);
    }
}

bool SettingsWindow::dark() const { return app && app->settings && app->settings->dark_mode; }

bool SettingsWindow::open(HWND owner_window, AppParts* owner_app) {
    owner = owner_window;
    app = owner_app;
    if (!window) {
        const HINSTANCE instance = instance_of(app);
        register_settings_class(instance);
        HWND created = CreateWindowExW(kWindowExStyle, kSettingsWindowClass, tr(L"menu.settings").c_str(), kWindowStyle,
                                       0, 0, kInitialWidth, kInitialHeight, owner, nullptr, instance, this);
        if (!created) {
            window = nullptr;
            return false;
        }
        apply_round_corners(window);
        apply_dark_title_bar(window, dark());
        create_settings_fonts(*this);
        build_settings_pages(*this);
    }
    center_on_monitor(window, owner);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return true;
}

void create_settings_fonts(SettingsWindow& sw) {
    sw.text_font = make_ui_font(13, FW_NORMAL);
    sw.section_font = make_ui_font(13, FW_BOLD);
    sw.title_font = make_ui_font(20, FW_SEMIBOLD);
    sw.glyph_font = make_icon_font(13);
}

void show_settings_page(SettingsWindow& sw, int page) {
    if (page < 0 || page >= kSettingsPageCount) return;
    sw.page = page;
    for (int i = 0; i < kSettingsPageCount; ++i)
        for (HWND control : sw.pages[static_cast<size_t>(i)]) ShowWindow(control, i == page ? SW_SHOW : SW_HIDE);
    // The list follows the page, also when the window opens again on the
    // page it was closed on.
    if (sw.nav && SendMessageW(sw.nav, LB_GETCURSEL, 0, 0) != page) SendMessageW(sw.nav, LB_SETCURSEL, page, 0);
    if (sw.window) InvalidateRect(sw.window, nullptr, TRUE);
}

void apply_theme_to_controls(SettingsWindow& sw, bool dark) {
    for (HWND toggle : sw.toggles) {
        attach_toggle_switch(toggle, dark);
        RedrawWindow(toggle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    for (HWND field : sw.fields) {
        set_style_dark(field, dark);
        RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    }
    for (HWND chip : sw.chips) set_hotkey_chip_dark(chip, dark);
    for (HWND button : sw.buttons) {
        const bool primary = (GetWindowLongPtrW(button, GWLP_USERDATA) & kRoundButtonPrimary) != 0;
        attach_round_button(button, dark, primary);
    }
    if (sw.nav) InvalidateRect(sw.nav, nullptr, TRUE);
    sw.controls_dark = dark;
}

void rebuild_settings_window(SettingsWindow& sw) {
    if (!sw.window) return;
    DestroyWindow(sw.window);
    if (!sw.window) sw.open(sw.owner, sw.app);
}

void center_on_monitor(HWND window, HWND owner) {
    RECT frame{};
    if (!window || !GetWindowRect(window, &frame)) return;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (HMONITOR monitor = MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST);
        monitor && GetMonitorInfoW(monitor, &info))
        work = info.rcWork;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void hover_nav_row(SettingsWindow& sw, HWND list, int row) {
    if (row == sw.hovered_nav_row) return;
    sw.hovered_nav_row = row;
    InvalidateRect(list, nullptr, FALSE);
}

void on_nav_mouse_move(SettingsWindow& sw, HWND list, LPARAM lparam) {
    hover_nav_row(sw, list, list_box_row_at(list, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}));
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list, 0};
    TrackMouseEvent(&track);
}

void on_nav_mouse_leave(SettingsWindow& sw, HWND list) {
    sw.hovered_nav_row = -1;
    InvalidateRect(list, nullptr, FALSE);
}

LRESULT CALLBACK nav_list_subclass_proc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                        DWORD_PTR ref_data) {
    SettingsWindow& sw = *reinterpret_cast<SettingsWindow*>(ref_data);
    switch (message) {
    case WM_MOUSEMOVE: on_nav_mouse_move(sw, list, lparam); break;
    case WM_MOUSELEAVE: on_nav_mouse_leave(sw, list); break;
    case WM_NCDESTROY: RemoveWindowSubclass(list, nav_list_subclass_proc, kNavListSubclassId); break;
    default: break;
    }
    return DefSubclassProc(list, message, wparam, lparam);
}

LRESULT CALLBACK settings_wnd_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SettingsWindow* state = window_state<SettingsWindow>(window, message, lparam);
    if (!state) return DefWindowProcW(window, message, wparam, lparam);
    SettingsWindow& sw = *state;
    switch (message) {
    case WM_NCCREATE: sw.window = window; break;
    case WM_DESTROY: on_destroy(sw); return 0;
    case WM_ERASEBKGND:
        return erase_with(window, reinterpret_cast<HDC>(wparam), ui_color(UiColor::WindowBackground, sw.dark()));
    case WM_PAINT: on_paint(sw); return 0;
    case WM_DRAWITEM: return on_draw_item(sw, wparam, lparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: return on_ctl_colour(sw, message, wparam, lparam);
    case WM_COMMAND: on_settings_command(sw, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)); return 0;
    case kMsgRebuildSettings: rebuild_settings_window(sw); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
