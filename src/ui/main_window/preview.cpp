// MainWindow: the preview popup beside the main window — its content, measuring, placement, painting,
// scrolling, the link menu, the mouse hook that closes it, and the list font it shares with the list.
#include "ui/main_window/main_window.h"

#include "capture/app_names.h"
#include "capture/link_title.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/bitmap.h"
#include "services/clipboard.h"
#include "services/ids.h"
#include "services/text_util.h"
#include "ui/app_parts.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_state.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/frame_controls.h"
#include "ui/menu/popup_menu.h"
#include "ui/menu/quick_menu.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kCorner = 8;
constexpr int kInnerTop = 8;  // the inner area starts this far down, and ends this far up
constexpr int kInfoTop = 30;  // the first information line, below the shown content
constexpr int kLineGap = 4;   // between information lines
constexpr int kSeparatorGap = 24;
constexpr UINT kWrapFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

bool hints_on(const AppParts* app) { return !app || !app->settings || app->settings->show_hints; }

// A minimized window is still "visible", somewhere off the screen: the popup
// has nothing to stand beside then.
bool on_screen(HWND window) { return window && IsWindowVisible(window) && !IsIconic(window); }

int wanted_font_size(const AppParts* app) {
    return app && app->settings ? std::clamp(app->settings->font_size, 10, 18) : 14;
}

HFONT preview_font(const MainWindow& mw) {
    if (mw.list_font) return mw.list_font.get();
    if (mw.ui_font) return mw.ui_font.get();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int font_line_height(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return preview_line_height(metrics.tmHeight);
}

// Width of a text laid out within the wrap width: wrapped, or broken only at
// its line feeds. 0 for an empty text.
int measured_width(HDC dc, const std::wstring& text, UINT wrap) {
    if (text.empty()) return 0;
    RECT r{0, 0, kPreviewWrapWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | wrap);
    return r.right - r.left;
}
int text_width(HDC dc, const std::wstring& text) { return measured_width(dc, text, DT_WORDBREAK); }
int text_block_width(HDC dc, const std::wstring& text) { return measured_width(dc, text, 0); }

int text_height(HDC dc, const std::wstring& text, int width, int minimum) {
    if (text.empty()) return minimum;
    RECT r{0, 0, std::max(width, 1), 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | kWrapFormat);
    return std::max(static_cast<int>(r.bottom - r.top), minimum);
}

// What the popup shows of a text: line feeds kept, carriage returns as
// blanks, and no more than the popup can sensibly lay out.
std::wstring shown_text(const std::wstring& text) {
    std::wstring shown = text.size() > kPreviewTextLimit ? ellipsize(text, kPreviewTextLimit) : text;
    std::replace(shown.begin(), shown.end(), L'\r', L' ');
    return shown;
}

ScreenRect screen_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

ScreenRect work_area_near(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return screen_rect(info.rcWork);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void outline_round(HDC dc, const RECT& r, COLORREF colour) {
    ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    ScopedSelect keep_pen(dc, pen.get());
    ScopedSelect keep_brush(dc, GetStockObject(HOLLOW_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, kCorner, kCorner);
}

void dotted_line(HDC dc, int left, int right, int y, COLORREF colour) {
    ScopedPen pen(CreatePen(PS_DOT, 1, colour));
    ScopedSelect keep(dc, pen.get());
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
}

void draw_bitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    ScopedDc source(CreateCompatibleDC(dc));
    if (!source) return;
    ScopedSelect keep(source.get(), bitmap);
    BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCCOPY);
}

std::wstring labelled(const std::wstring& label, const std::wstring& value) { return label + L" " + value; }

// The popup the mouse hook serves. A low-level hook is given no context of
// its own: it reaches the MainWindow through the popup's state, and the
// hook goes before the popup does.
HWND hooked_popup = nullptr;

// The popup closes on a click anywhere else. The hook runs on this thread's
// message loop.
LRESULT CALLBACK PreviewMouseHookProc(int code, WPARAM wparam, LPARAM lparam) {
    const LRESULT next = CallNextHookEx(nullptr, code, wparam, lparam);
    const bool press = wparam == WM_LBUTTONDOWN || wparam == WM_RBUTTONDOWN || wparam == WM_MBUTTONDOWN;
    MainWindow* mw = hooked_popup ? state_of<MainWindow>(hooked_popup) : nullptr;
    if (code == HC_ACTION && press && lparam && mw)
        mw->on_mouse_hook_click(reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam)->pt);
    return next;
}

void paint_popup(MainWindow& mw, HWND window) {
    ScopedPaint paint(window);
    RECT client{};
    GetClientRect(window, &client);
    MemoryCanvas canvas(paint.get(), client.right, client.bottom);
    if (!canvas.dc()) {
        mw.paint_preview(paint.get(), client);
        return;
    }
    mw.paint_preview(canvas.dc(), client);
    canvas.copy_to(paint.get());
}

}  // namespace

// ---------------------------------------------------------------- following the selection

void MainWindow::on_selection_changed() {
    if (refilling || !entry_list) return;
    if (selected_count() != 1 || !hints_on(app)) {
        hide_preview();
        return;
    }
    const std::int64_t data = selected_id();
    if (data < 0) {
        show_snippet_hint(data);
    } else {
        show_entry_hint(data);
    }
}

// A refill (a new copy, a command) keeps a popup the user is looking at, with
// its row; it never brings back one that was closed.
void MainWindow::refresh_preview() {
    if (!preview_shown || !hints_on(app) || !on_screen(hwnd) || selected_count() != 1) {
        hide_preview();
        return;
    }
    const std::int64_t data = selected_id();
    if (data < 0) {
        show_snippet_hint(data);
    } else if (preview_shown && !preview_is_template && preview_id == data) {
        reposition_preview(data);
    } else {
        show_entry_hint(data);
    }
}

void MainWindow::apply_link_title(std::int64_t id, const std::wstring& title) {
    if (title.empty()) return;
    for (HistoryEntry& e : entries)
        if (e.id == id) e.link_title = title;
    if (preview_shown && !preview_is_template && preview_id == id) show_entry_hint(id);
}

// ---------------------------------------------------------------- content

void MainWindow::show_entry_hint(std::int64_t id) {
    if (!ensure_preview_window()) return;
    update_list_font();
    const HistoryEntry* entry = find_entry(id);
    if (!entry) {
        hide_preview();
        return;
    }
    if (id != preview_id || preview_is_template) preview_scroll = 0;
    preview_id = id;
    preview_is_template = false;
    const std::wstring created = format_timestamp(entry->created_at);
    const std::wstring app_name = entry->source_app.empty() ? L"\u2014" : app_display_name(entry->source_app);
    // An image entry whose picture is missing shows its text instead.
    preview_is_image = entry->is_image && !entry->image.empty();
    const std::wstring content = preview_is_image ? std::wstring{} : entry->text;
    const std::wstring fallback = preview_is_image ? rutube_page_url(entry->html) : std::wstring{};
    preview_link = link_url_of(content, entry->is_browser_page, entry->source_url, fallback);
    preview_bitmap.reset();
    if (!preview_is_image) {
        preview_text = shown_text(content);
        preview_meta = text_info_lines(
            {app_name, content, entry->is_browser_page, entry->source_title, entry->link_title, preview_link, created});
    } else {
        preview_bitmap.reset(image_to_thumbnail(entry->image, kPreviewThumbWidth, kPreviewThumbHeight, true));
        BITMAP info{};
        const bool sized = preview_bitmap && GetObjectW(preview_bitmap.get(), sizeof info, &info) != 0;
        preview_bitmap_width = sized ? std::max(static_cast<int>(info.bmWidth), 1) : 1;
        preview_bitmap_height = sized ? std::max(static_cast<int>(std::abs(info.bmHeight)), 1) : 1;
        preview_text.clear();
        preview_meta = card_info_text(app_name, entry->is_browser_page, entry->source_title, preview_link, created);
        if (!entry->custom_title.empty())
            preview_meta = labelled(tr(L"card.name"), entry->custom_title) + L"\n" + preview_meta;
    }
    finish_preview(index_of(id));
}

void MainWindow::show_snippet_hint(std::int64_t row_data) {
    if (!ensure_preview_window()) return;
    const Snippet* snippet = find_snippet(row_data);
    if (!snippet) {
        hide_preview();
        return;
    }
    update_list_font();
    if (!preview_is_template || preview_id != snippet->id) preview_scroll = 0;
    preview_id = snippet->id;
    preview_is_template = true;
    preview_is_image = false;
    preview_bitmap.reset();
    preview_text = shown_text(snippet->text);
    preview_meta = labelled(tr(L"card.created"), format_timestamp(snippet->created_at));
    preview_link.clear();
    SetRectEmpty(&preview_link_rect);
    finish_preview(index_of(row_data));
}

void MainWindow::finish_preview(int row) {
    HWND popup = preview_window.get();
    SetWindowTextW(popup, (preview_text + L"\n" + preview_meta).c_str());
    if (ScopedGetDc dc(popup); dc) layout_preview(dc.get());
    preview_scroll = clamp_preview_scroll(preview_scroll, preview_layout);
    show_preview(preview_layout.width, preview_layout.total_height, row);
}

void MainWindow::layout_preview(HDC dc) {
    ScopedSelect keep(dc, preview_font(*this));
    const int line = font_line_height(dc);
    const int info_width = text_block_width(dc, preview_meta);
    const int lines = count_text_lines(preview_meta);
    if (preview_is_image) {
        const int width = preview_width(preview_bitmap ? preview_bitmap_width : 0, info_width);
        const int height = preview_bitmap ? preview_bitmap_height : 2 * line;
        preview_layout = compute_card_layout(width, height, lines, line, kPreviewImageMaxHeight);
        return;
    }
    const int width = preview_width(text_width(dc, preview_text), info_width);
    const int side = 2 * kPreviewSideMargin;
    preview_layout = compute_card_layout(width, text_height(dc, preview_text, width - side, line), lines, line,
                                         kPreviewTextMaxHeight);
    // A text that scrolls wraps narrower, beside its scroll bar.
    if (preview_layout.clipped)
        preview_layout =
            compute_card_layout(width, text_height(dc, preview_text, width - side - kPreviewScrollBarRoom, line), lines,
                                line, kPreviewTextMaxHeight);
}

// ---------------------------------------------------------------- placement

// Where the popup's top stands level with a row (row -1: the list's top),
// taken from the row's place on the screen.
int MainWindow::preview_anchor(int row) const {
    RECT row_rect{};
    if (row >= 0) list_call(LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&row_rect));
    POINT top{0, row_rect.top};
    MapWindowPoints(entry_list ? entry_list : hwnd, nullptr, &top, 1);
    return preview_anchor_y(top.y);
}

PreviewPosition MainWindow::preview_position(int width, int height, int row) const {
    RECT main_rect{};
    GetWindowRect(hwnd, &main_rect);
    return place_preview(screen_rect(main_rect), preview_anchor(row), width, height, work_area_near(hwnd));
}

void MainWindow::show_preview(int width, int height, int row) {
    HWND popup = preview_window.get();
    if (!popup || !hwnd) return;
    const PreviewPosition at = preview_position(width, height, row);
    SetWindowPos(popup, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE);
    // Never activated: the main window keeps the focus and the keyboard.
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    InvalidateRect(popup, nullptr, FALSE);
    preview_shown = true;
    install_preview_hook();
}

void MainWindow::reposition_preview(std::int64_t id) {
    HWND popup = preview_window.get();
    const int row = index_of(id);
    if (!preview_shown || !popup || row < 0) return;
    RECT popup_rect{};
    GetWindowRect(popup, &popup_rect);
    const int top = follow_row_top(preview_anchor(row), popup_rect.bottom - popup_rect.top, work_area_near(hwnd));
    SetWindowPos(popup, HWND_TOPMOST, popup_rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::follow_main_window() {
    HWND popup = preview_window.get();
    if (!preview_shown || !popup) return;
    if (!on_screen(hwnd)) {
        hide_preview();
        return;
    }
    RECT popup_rect{};
    GetWindowRect(popup, &popup_rect);
    const int row = index_of(preview_is_template ? -preview_id : preview_id);
    const PreviewPosition at =
        preview_position(popup_rect.right - popup_rect.left, popup_rect.bottom - popup_rect.top, row);
    SetWindowPos(popup, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::hide_preview() {
    remove_preview_hook();
    if (preview_window && IsWindowVisible(preview_window.get())) ShowWindow(preview_window.get(), SW_HIDE);
    preview_shown = false;
    preview_bitmap.reset();
}

// ---------------------------------------------------------------- the mouse hook

void MainWindow::install_preview_hook() {
    if (preview_hook) return;
    hooked_popup = preview_window.get();
    preview_hook = SetWindowsHookExW(WH_MOUSE_LL, PreviewMouseHookProc, GetModuleHandleW(nullptr), 0);
}

void MainWindow::remove_preview_hook() {
    if (preview_hook) UnhookWindowsHookEx(preview_hook);
    preview_hook = nullptr;
    hooked_popup = nullptr;
}

void MainWindow::on_mouse_hook_click(POINT screen_point) {
    HWND popup = preview_window.get();
    if (!preview_shown || preview_keep_open || !popup) return;
    RECT r{};
    GetWindowRect(popup, &r);
    if (PtInRect(&r, screen_point)) return;
    HWND under = WindowFromPoint(screen_point);
    if (under == hwnd || under == popup) return;
    hide_preview();
}

// ---------------------------------------------------------------- font

bool MainWindow::update_list_font() {
    const int size = wanted_font_size(app);
    if (list_font && size == list_font_size) return false;
    ScopedFont font = make_ui_font(size, FW_NORMAL);
    if (!font) return false;
    // The controls take the new font before the old one is deleted.
    if (entry_list) SendMessageW(entry_list, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    if (preview_window) SendMessageW(preview_window.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    list_font = std::move(font);
    list_font_size = size;
    if (app && app->quick_menu) app->quick_menu->set_font_size(size);
    layout();
    if (entry_list) InvalidateRect(entry_list, nullptr, TRUE);
    if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

void MainWindow::apply_font_size() {
    if (!update_list_font() || !preview_shown) return;
    if (preview_is_template) {
        show_snippet_hint(-preview_id);
    } else {
        show_entry_hint(preview_id);
    }
}

// ---------------------------------------------------------------- painting

void MainWindow::paint_preview(HDC dc, const RECT& client) {
    const COLORREF back = ui_color(UiColor::PopupSurface, dark);
    const COLORREF border = ui_color(UiColor::Border, dark);
    fill_solid(dc, client, back);
    fill_round(dc, client, kCorner, back);
    outline_round(dc, client, border);

    const RECT inner{client.left + kPreviewSideMargin, client.top + kInnerTop, client.right - kPreviewSideMargin,
                     client.bottom - kInnerTop};
    ScopedSelect keep_font(dc, preview_font(*this));
    SetBkMode(dc, TRANSPARENT);
    const int line = font_line_height(dc);
    CardLayout layout = preview_layout;
    if (layout.total_height == 0 || layout.width != client.right) {
        const int width = client.right - client.left;
        const int lines = count_text_lines(preview_meta);
        layout = preview_is_image
                     ? compute_card_layout(width, line, lines, line, kPreviewImageMaxHeight)
                     : compute_card_layout(
                           width, text_height(dc, preview_text, std::max(width - 2 * kPreviewSideMargin, 1), line),
                           lines, line, kPreviewTextMaxHeight);
    }
    const int right = inner.right - (layout.clipped ? kPreviewScrollBarRoom : 0);
    const int top = layout.header - preview_scroll;

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, inner.left, layout.header, right, layout.content_bottom);
    if (!preview_is_image) {
        RECT text_rect{inner.left, top, right, top + layout.content_height + 4};
        SetTextColor(dc, ui_color(UiColor::Text, dark));
        DrawTextW(dc, preview_text.c_str(), static_cast<int>(preview_text.size()), &text_rect, kWrapFormat);
    } else {
        fill_solid(dc, RECT{inner.left, top, right, top + layout.content_height}, back);
        if (preview_bitmap)
            draw_bitmap(dc, preview_bitmap.get(), centred_left(inner.left, right, preview_bitmap_width), top,
                        preview_bitmap_width, preview_bitmap_height);
    }
    RestoreDC(dc, saved);

    fill_solid(dc, RECT{inner.left, layout.separator_y, inner.right, client.bottom - kInnerTop}, back);
    dotted_line(dc, inner.left, right, layout.separator_y, border);

    SetRectEmpty(&preview_link_rect);
    SetTextColor(dc, ui_color(UiColor::SecondaryText, dark));
    const std::wstring link_label = tr(L"card.url");
    int y = layout.shown_height + kInfoTop;
    std::size_t start = 0;
    while (start <= preview_meta.size()) {
        const std::size_t end = std::min(preview_meta.find(L'\n', start), preview_meta.size());
        const std::wstring text = preview_meta.substr(start, end - start);
        RECT line_rect{inner.left, y, right, y + line};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line_rect,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        if (!preview_link.empty() && text.starts_with(link_label)) preview_link_rect = line_rect;
        y += line + kLineGap;
        start = end + 1;
    }

    if (layout.clipped) {
        const PreviewScrollBar bar = preview_scroll_bar(layout, preview_scroll, inner.right);
        fill_solid(dc, RECT{bar.left, bar.track_top, bar.right, bar.track_top + bar.track_height},
                   ui_color(UiColor::ScrollTrack, dark));
        fill_solid(dc, RECT{bar.left, bar.thumb_top, bar.right, bar.thumb_top + bar.thumb_height},
                   ui_color(UiColor::ScrollThumb, dark));
    }
}

// ---------------------------------------------------------------- input

void MainWindow::scroll_preview(int delta) {
    if (!preview_shown || preview_layout.content_height <= preview_layout.shown_height) return;
    const int scroll = clamp_preview_scroll(preview_scroll + delta, preview_layout);
    if (scroll == preview_scroll) return;
    preview_scroll = scroll;
    InvalidateRect(preview_window.get(), nullptr, FALSE);
    UpdateWindow(preview_window.get());
}

void MainWindow::on_preview_wheel(int delta) {
    const int notches = take_wheel_notches(preview_wheel_rest, delta);
    if (notches != 0) scroll_preview(-kPreviewWheelStep * notches);
}

bool MainWindow::preview_link_hit(POINT client_point) const {
    return !preview_link.empty() && PtInRect(&preview_link_rect, client_point);
}

void MainWindow::on_preview_link_click(POINT client_point) {
    if (!preview_link_hit(client_point)) return;
    // The popup may be rebuilt while the menu runs: the address is taken now.
    const std::wstring link = preview_link;
    PopupMenuItems items;
    PopupMenuItem open{tr(L"action.open"), kLinkMenuOpen};
    open.enabled = is_openable_link(link);
    push_menu_item(items, std::move(open));
    append_menu_item(items, kLinkMenuCopy, tr(L"action.copy"));
    POINT at = client_point;
    ClientToScreen(preview_window.get(), &at);
    preview_keep_open = true;
    const std::uint64_t chosen = track_popup_menu(hwnd, at.x, at.y, items, dark);
    preview_keep_open = false;
    if (chosen == kLinkMenuOpen && is_openable_link(link)) {
        ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else if (chosen == kLinkMenuCopy) {
        if (app) app->catch_up_clipboard();
        if (!set_clipboard_text(link) && app) app->tell_copy_failed();
    }
}

namespace {

void print_popup(MainWindow& mw, HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    mw.paint_preview(dc, client);
}

// The hand over the link; elsewhere the popup's own cursor.
LRESULT on_popup_set_cursor(const MainWindow& mw, HWND window, WPARAM wparam, LPARAM lparam) {
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(window, &pt);
    if (!mw.preview_link_hit(pt)) return DefSubclassProc(window, WM_SETCURSOR, wparam, lparam);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

// However the popup goes, its hook goes with it.
void on_popup_destroy(MainWindow& mw) {
    mw.remove_preview_hook();
    mw.preview_shown = false;
}

void on_popup_nc_destroy(MainWindow& mw, HWND window) {
    RemoveWindowSubclass(window, EntryHintProc, kEntryHintSubclassId);
    clear_state(window);
    if (mw.preview_window.get() == window) mw.preview_window.release();
}

}  // namespace

LRESULT CALLBACK EntryHintProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref) {
    MainWindow& mw = *reinterpret_cast<MainWindow*>(ref);
    switch (message) {
    case WM_PAINT: paint_popup(mw, window); return 0;
    case WM_PRINTCLIENT: print_popup(mw, window, reinterpret_cast<HDC>(wparam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click in it leaves the main window active
    case WM_SETCURSOR: return on_popup_set_cursor(mw, window, wparam, lparam);
    case WM_MOUSEWHEEL: mw.on_preview_wheel(GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
    case WM_LBUTTONUP: mw.on_preview_link_click(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_DESTROY: on_popup_destroy(mw); break;
    case WM_NCDESTROY: on_popup_nc_destroy(mw, window); break;
    default: break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}
