#include "ui/dialogs/view_dialog.h"

#include "capture/app_names.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/bitmap.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/text_util.h"
#include "storage/history_records.h"
#include "ui/app_parts.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/dialogs/dialog_window.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/rounded_button.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_decoration.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/main_window.h"

#include <algorithm>
#include <string>

namespace {

constexpr DWORD kViewStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;
// Pictures are scaled once to fit this box (small ones enlarged), then
// fitted to the window and zoomed from there.
constexpr int kPictureBoxWidth = 1600;
constexpr int kPictureBoxHeight = 1200;

// One open dialog, owned by the show_view_dialog call.
struct ViewDialog {
    MainWindow* main_window = nullptr;
    std::wstring text;
    std::wstring meta;
    bool is_image = false;
    Bytes image;
    ScopedBitmap bitmap;
    int bitmap_width = 1, bitmap_height = 1;
    int fit_width = 1, fit_height = 1;
    float zoom = 1.0f;
    int meta_height = 0;  // of the lines about the entry, as laid out for the client width
    HWND fit_button = nullptr;
    HWND close_button = nullptr;
    HWND text_field = nullptr;
    DialogLook look;
    ScopedFont font;
};

bool main_window_dark(const MainWindow* main_window) {
    return main_window && main_window->app && main_window->app->settings && main_window->app->settings->dark_mode;
}

// The lines under the entry: its program, for a web page its title and
// address, and when it was copied; each a label, a blank and the value.
std::wstring view_meta(const HistoryEntry& entry) {
    const auto line = [](const std::wstring& label, const std::wstring& value) { return label + L" " + value; };
    const std::wstring program = entry.source_app.empty() ? L"\u2014" : app_display_name(entry.source_app);
    std::wstring meta = line(tr(L"card.app"), program);
    if (entry.is_browser_page && !entry.source_title.empty())
        meta += L"\n" + line(tr(L"card.page"), entry.source_title);
    if (entry.is_browser_page && !entry.source_url.empty()) meta += L"\n" + line(tr(L"card.url"), entry.source_url);
    meta += L"\n" + line(tr(L"card.created"), display_created_at(entry.created_at));
    return meta;
}

RECT client_rect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

void place_button(HWND button, int x, int y) {
    SetWindowPos(button, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

constexpr UINT kMetaFormat = DT_WORDBREAK | DT_NOPREFIX;

// The lines about the entry wrap at the width the window leaves them, so
// their height is measured again whenever the window's size changes.
void measure_meta(HWND window, ViewDialog& view, const RECT& client) {
    const RECT width = view_meta_area(client, 0);
    RECT r{0, 0, std::max(static_cast<int>(width.right - width.left), 1), 0};
    ScopedGetDc dc(window);
    if (!dc) return;
    ScopedSelect use_font(dc.get(), view.font.get());
    DrawTextW(dc.get(), view.meta.c_str(), static_cast<int>(view.meta.size()), &r, DT_CALCRECT | kMetaFormat);
    view.meta_height = r.bottom - r.top;
}

void layout(HWND window, ViewDialog& view) {
    const RECT client = client_rect(window);
    measure_meta(window, view, client);
    const RECT area = view_image_area(client, view.meta_height);
    if (view.is_image) {
        const SIZE fit =
            fit_size(view.bitmap_width, view.bitmap_height, area.right - area.left, area.bottom - area.top);
        view.fit_width = fit.cx;
        view.fit_height = fit.cy;
        view.zoom = 1.0f;
        place_button(view.fit_button, client.right - 224, client.bottom - 40);
    } else {
        MoveWindow(view.text_field, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    }
    place_button(view.close_button, client.right - 112, client.bottom - 40);
    InvalidateRect(window, nullptr, TRUE);
}

void load_picture(ViewDialog& view) {
    view.bitmap.reset(image_to_thumbnail(view.image, kPictureBoxWidth, kPictureBoxHeight, true));
    BITMAP info{};
    if (view.bitmap && GetObjectW(view.bitmap.get(), sizeof info, &info)) {
        view.bitmap_width = std::max(static_cast<int>(info.bmWidth), 1);
        view.bitmap_height = std::max(static_cast<int>(info.bmHeight), 1);
    }
}

LRESULT on_create(HWND window, ViewDialog& state) {
    ViewDialog* view = &state;
    view->look.dark = main_window_dark(view->main_window);
    view->font = make_ui_font(14, FW_NORMAL);
    const RECT client = client_rect(window);
    measure_meta(window, *view, client);
    if (view->is_image) {
        load_picture(*view);
        view->fit_button =
            add_dialog_control(window, L"BUTTON", tr(L"view.fit"), BS_PUSHBUTTON | WS_TABSTOP, client.right - 224,
                               client.bottom - 40, 100, 28, kIdViewFit, view->font.get());
    }
    view->close_button = add_dialog_control(window, L"BUTTON", tr(L"action.close"), BS_PUSHBUTTON | WS_TABSTOP, 0, 0,
                                            100, 28, kIdViewClose, view->font.get());
    if (view->is_image) {
        attach_round_button(view->fit_button, view->look.dark, false);
        attach_round_button(view->close_button, view->look.dark, true);
    } else {
        const RECT area = view_image_area(client, view->meta_height);
        view->text_field = add_dialog_control(
            window, L"EDIT", view->text, ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL, area.left, area.top,
            area.right - area.left, area.bottom - area.top, 0, view->font.get());
        attach_panel_background(view->text_field, view->look.dark);
        attach_thin_border(view->text_field, view->look.dark);
        allow_dark_mode(view->text_field, view->look.dark);
        SetFocus(view->text_field);
    }
    layout(window, *view);
    return 0;
}

void paint(HWND window, const ViewDialog& view) {
    ScopedPaint paint_scope(window);
    const RECT client = client_rect(window);
    MemoryCanvas canvas(paint_scope.get(), client.right, client.bottom);
    HDC dc = canvas.dc() ? canvas.dc() : paint_scope.get();
    // The whole client is laid down again, so a picture zoomed smaller
    // leaves nothing of its larger self behind.
    fill_solid(dc, client, ui_color(UiColor::WindowBackground, view.look.dark));

    RECT meta = view_meta_area(client, view.meta_height);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui_color(UiColor::Text, view.look.dark));
    {
        ScopedSelect use_font(dc, view.font.get());
        DrawTextW(dc, view.meta.c_str(), static_cast<int>(view.meta.size()), &meta, kMetaFormat | DT_END_ELLIPSIS);
    }
    if (view.is_image && view.bitmap) {
        const RECT area = view_image_area(client, view.meta_height);
        const int width = static_cast<int>(view.fit_width * view.zoom);
        const int height = static_cast<int>(view.fit_height * view.zoom);
        const int x = area.left + ((area.right - area.left) - width) / 2;
        const int y = area.top + ((area.bottom - area.top) - height) / 2;
        ScopedDc source(CreateCompatibleDC(dc));
        if (source) {
            ScopedSelect use_bitmap(source.get(), view.bitmap.get());
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, x, y, width, height, source.get(), 0, 0, view.bitmap_width, view.bitmap_height, SRCCOPY);
        }
    }
    if (canvas.dc()) canvas.copy_to(paint_scope.get());
}

LRESULT on_mouse_wheel(HWND window, ViewDialog& view, WPARAM wparam) {
    const float zoom = wheel_zoom(view.zoom, GET_WHEEL_DELTA_WPARAM(wparam));
    if (zoom != view.zoom) {
        view.zoom = zoom;
        invalidate_view_image(window);
    }
    return 0;
}

LRESULT on_command(HWND window, ViewDialog& view, int id) {
    if (id == kIdViewFit) {
        view.zoom = 1.0f;
        invalidate_view_image(window);
    } else if (id == kIdViewClose) {
        close_dialog(window);
    }
    return 0;
}

// The read-only text field asks as a static does; it is a field all the same.
LRESULT on_color_static(ViewDialog& view, HDC dc, HWND control) {
    if (control == view.text_field) return color_dialog_field(dc, view.look);
    return color_dialog_static(dc, ui_color(UiColor::Text, view.look.dark), view.look);
}

}  // namespace

void invalidate_view_image(HWND window) {
    if (!window) return;
    const ViewDialog* view = state_of<ViewDialog>(window);
    const RECT area = view_image_area(client_rect(window), view ? view->meta_height : 0);
    InvalidateRect(window, &area, FALSE);
    UpdateWindow(window);
}

LRESULT CALLBACK view_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* view = window_state<ViewDialog>(window, message, lparam);
    if (!view) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_CREATE: return on_create(window, *view);
    case WM_SIZE: layout(window, *view); return 0;
    case WM_PAINT: paint(window, *view); return 0;
    case WM_MOUSEWHEEL: return on_mouse_wheel(window, *view, wparam);
    case WM_COMMAND: return on_command(window, *view, LOWORD(wparam));
    case WM_CTLCOLORSTATIC:
        return on_color_static(*view, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    default: return dialog_message(window, message, wparam, lparam, view->look);
    }
}

bool show_view_dialog(MainWindow* main_window, const HistoryEntry& entry) {
    if (!main_window || !main_window->hwnd) return false;
    if (!register_dialog_class(kViewDialogClass, view_dialog_proc)) return false;
    ViewDialog view;
    view.main_window = main_window;
    view.text = with_crlf(entry.text);  // each line of its own, however the text breaks them
    view.is_image = entry.is_image && !entry.image.empty();
    if (view.is_image) view.image = entry.image;
    view.meta = view_meta(entry);

    HWND parent = main_window->hwnd;
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kViewDialogClass, tr(L"view.title").c_str(), kViewStyle, 0, 0,
                                  kViewWidth, kViewHeight, parent, nullptr, GetModuleHandleW(nullptr), &view);
    if (!window) return false;
    set_dark_title_bar(window, view.look.dark);
    apply_round_corners(window);
    center_on_parent(window, parent);
    run_modal_dialog(window, parent, view.text_field);
    return true;
}
