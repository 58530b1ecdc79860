#include "ui/menu/popup_menu.h"

#include "services/handles.h"
#include "services/ids.h"
#include "services/scope_exit.h"
#include "services/window_util.h"
#include "ui/kit/control_styles.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/modal_loop.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"
#include "ui/menu/popup_menu_layout.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

LRESULT CALLBACK popup_menu_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// One open menu, owned by the show_popup_menu call that runs it (its creation
// parameter, ui/kit/window_state.h).
struct MenuState {
    const PopupMenuItems* items = nullptr;
    bool dark = false;
    HWND owner = nullptr;
    HWND window = nullptr;
    HWND parent_menu = nullptr;    // null for a top-level menu
    SIZE view{};                   // the window's client size, less high than the rows when it scrolls
    int scroll = 0;                // pixels of rows above the top edge
    bool arrow_scrolling = false;  // the pointer rests on an arrow strip
    ULONGLONG arrow_moved_at = 0;  // when that last moved the rows
    int hovered = -1;
    int pending_submenu = -1;    // the row whose submenu the timer will open
    bool mouse_entered = false;  // a submenu: the mouse has been over it
    POINT last_mouse{};          // screen point of the last mouse move taken
    bool ending = false;         // the program lost the focus, or end_popup_menus
};

// The menus open now, outermost first (UI thread only).
std::vector<MenuState*>& open_menus() {
    static std::vector<MenuState*> menus;
    return menus;
}

// How a menu ended.
struct MenuEnd {
    bool done = false;
    std::uint64_t id = 0;
    bool dismissed = false;  // the whole chain goes
};

MenuEnd close_with(std::uint64_t id, bool dismissed) { return MenuEnd{true, id, dismissed}; }

HFONT menu_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void register_menu_class() {
    static bool registered = false;
    if (!registered)
        registered = register_window_class({.name = kPopupMenuClass, .procedure = popup_menu_proc, .style = 0});
}

// ---------------------------------------------------------------- painting

// The check mark of a checked row, in the current text colour. The menu's
// font may lack "\u2713" (the stock GUI font has no such glyph on some
// systems and would show an empty box); the mark is then drawn as two
// strokes of the same size.
void draw_check_mark(HDC dc, RECT rect) {
    WORD glyph = 0xFFFF;
    if (GetGlyphIndicesW(dc, L"\u2713", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR && glyph != 0xFFFF) {
        DrawTextW(dc, L"\u2713", 1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    const int x = rect.left;
    const int cy = rect.top + (rect.bottom - rect.top) / 2;
    ScopedPen pen(CreatePen(PS_SOLID, 1, GetTextColor(dc)));
    ScopedSelect use_pen(dc, pen.get());
    for (int thick = 0; thick < 2; ++thick) {
        const POINT stroke[] = {{x + 1, cy - 1 + thick}, {x + 4, cy + 2 + thick}, {x + 10, cy - 4 + thick}};
        Polyline(dc, stroke, 3);
    }
}

void paint_popup_menu(HDC target, const MenuState& state, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    MemoryCanvas canvas(target, width, height);
    HDC dc = canvas.dc() ? canvas.dc() : target;
    const bool dark = state.dark;

    fill_solid(dc, client, ui_color(UiColor::PopupSurface, dark));
    ScopedSelect use_font(dc, menu_font());
    SetBkMode(dc, TRANSPARENT);

    int next = kMenuMargin - state.scroll;
    const PopupMenuItems& items = *state.items;
    for (size_t i = 0; i < items.size(); ++i) {
        const PopupMenuItem& item = items[i];
        const int y = next;
        next += menu_row_height(item);
        if (next <= 0 || y >= height) continue;  // scrolled out of the window
        if (item.separator) {
            fill_solid(dc, RECT{12, y + 4, width - 12, y + 5}, ui_color(UiColor::Border, dark));
            continue;
        }
        if (state.hovered == static_cast<int>(i) && item.enabled)
            fill_solid(dc, RECT{2, y + 1, width - 2, y + kMenuRowHeight - 1}, ui_color(UiColor::PopupMenuHover, dark));
        SetTextColor(dc, ui_color(item.enabled ? UiColor::Text : UiColor::SecondaryText, dark));
        if (item.checked) draw_check_mark(dc, RECT{12, y, 28, y + kMenuRowHeight});
        const bool has_children = !item.children.empty();
        RECT text{item.checked ? 32 : 16, y, width - (has_children ? 28 : 12), y + kMenuRowHeight};
        DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (has_children) {
            RECT arrow{width - 28, y, width - 10, y + kMenuRowHeight};
            DrawTextW(dc, L"\u203A", 1, &arrow, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    // The arrow strips lie over the rows, each parted from them by a rule.
    for (const MenuArrow arrow : {MenuArrow::Up, MenuArrow::Down}) {
        if (!menu_arrow_shown(items, height, state.scroll, arrow)) continue;
        const bool up = arrow == MenuArrow::Up;
        const int top = up ? 0 : height - kMenuArrowHeight;
        fill_solid(dc, RECT{0, top, width, top + kMenuArrowHeight}, ui_color(UiColor::PopupSurface, dark));
        const int rule = up ? kMenuArrowHeight - 1 : top;
        fill_solid(dc, RECT{12, rule, width - 12, rule + 1}, ui_color(UiColor::Border, dark));
        draw_arrow_triangle(dc, RECT{width / 2 - 10, top, width / 2 + 10, top + kMenuArrowHeight}, up, dark);
    }

    frame_solid(dc, client, ui_color(UiColor::PopupMenuOutline, dark));
    if (canvas.dc()) canvas.copy_to(target);
}

void redraw(const MenuState& state) { RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

// ---------------------------------------------------------------- behaviour

void cancel_pending_submenu(MenuState& state) {
    if (state.pending_submenu >= 0) KillTimer(state.window, kTimerSubmenu);
    state.pending_submenu = -1;
}

bool opens_submenu(const MenuState& state, int row) {
    return menu_row_usable(*state.items, row) && !(*state.items)[static_cast<size_t>(row)].children.empty();
}

// The mouse moved onto a row (or off every row): hover it, and arm the
// timer that opens its submenu after a short rest.
void hover_row(MenuState& state, int row) {
    if (row == state.hovered) return;
    state.hovered = row;
    cancel_pending_submenu(state);
    if (opens_submenu(state, row)) {
        SetTimer(state.window, kTimerSubmenu, kSubmenuDelayMs, nullptr);
        state.pending_submenu = row;
    }
    redraw(state);
}

// The pointer in the menu's client coordinates.
POINT pointer(const MenuState& state) {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(state.window, &at);
    return at;
}

// Moves the rows to a scroll offset. When the mouse or the wheel moved them,
// the row that came under a resting pointer is the hovered one; the keyboard
// keeps the row it chose.
void scroll_menu(MenuState& state, int scroll, bool follow_pointer) {
    scroll = clamp_menu_scroll(*state.items, state.view.cy, scroll);
    if (scroll == state.scroll) return;
    state.scroll = scroll;
    const POINT at = pointer(state);
    const RECT client{0, 0, state.view.cx, state.view.cy};
    if (follow_pointer && PtInRect(&client, at)) hover_row(state, menu_hit(*state.items, state.view, scroll, at).row);
    redraw(state);
}

int toward(MenuArrow arrow, int pixels) { return arrow == MenuArrow::Down ? pixels : -pixels; }

// The rows one Page Up or Page Down moves over: those between the strips.
int page_height(const MenuState& state) { return state.view.cy - 2 * kMenuArrowHeight; }

void on_wheel(MenuState& state, int delta) {
    UINT lines = 1;  // should the system not say
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int notch = lines == WHEEL_PAGESCROLL ? page_height(state) : static_cast<int>(lines) * kMenuRowHeight;
    scroll_menu(state, state.scroll - delta * notch / WHEEL_DELTA, true);
}

void stop_arrow_scroll(MenuState& state) {
    if (state.arrow_scrolling) KillTimer(state.window, kTimerMenuScroll);
    state.arrow_scrolling = false;
}

// The pointer came onto an arrow strip: the rows move until it leaves the
// strip or the strip goes at the end.
void start_arrow_scroll(MenuState& state) {
    if (state.arrow_scrolling) return;
    state.arrow_scrolling = true;
    state.arrow_moved_at = GetTickCount64();
    SetTimer(state.window, kTimerMenuScroll, kMenuArrowTickMs, nullptr);
}

// Moves by the time since the last move, so that the rows go as fast on a
// busy system, in larger steps.
void on_arrow_timer(MenuState& state) {
    const MenuArrow arrow = menu_hit(*state.items, state.view, state.scroll, pointer(state)).arrow;
    if (arrow == MenuArrow::None) {
        stop_arrow_scroll(state);
        return;
    }
    const ULONGLONG now = GetTickCount64();
    const int pixels = static_cast<int>((now - state.arrow_moved_at) * kMenuArrowSpeed / 1000);
    if (pixels == 0) return;
    state.arrow_moved_at = now;
    scroll_menu(state, state.scroll + toward(arrow, pixels), true);
}

void open_submenu(MenuState& state, int row, MenuEnd& end) {
    const PopupMenuItem& item = (*state.items)[static_cast<size_t>(row)];
    stop_arrow_scroll(state);
    RECT frame;
    GetWindowRect(state.window, &frame);
    const int row_top = menu_row_top(*state.items, row) - state.scroll;
    const SIZE size = measure_popup_menu(item.children);
    const POINT at = place_submenu(frame, row_top, size.cx, work_area_at(POINT{frame.right, frame.top + row_top}));

    if (GetCapture() == state.window) ReleaseCapture();
    bool chain_dismissed = false;
    const std::uint64_t id =
        show_popup_menu(state.owner, at.x, at.y, item.children, state.dark, state.window, &chain_dismissed);
    if (id != 0 || chain_dismissed) {
        end = close_with(id, chain_dismissed);
        return;
    }
    // The submenu went back (Left, the mouse returned, a click here): this
    // menu carries on.
    if (IsWindow(state.window)) SetCapture(state.window);
}

// A click or Enter on a row: choose it, open its submenu, or (disabled,
// separator, none) do nothing.
void activate_row(MenuState& state, int row, MenuEnd& end) {
    if (!menu_row_usable(*state.items, row)) return;
    cancel_pending_submenu(state);
    if (opens_submenu(state, row)) {
        open_submenu(state, row, end);
        return;
    }
    end = close_with((*state.items)[static_cast<size_t>(row)].id, false);
}

bool inside_window(HWND window, POINT screen) {
    RECT rect;
    return window && GetWindowRect(window, &rect) && PtInRect(&rect, screen);
}

void on_mouse_move(MenuState& state, POINT client, MenuEnd& end) {
    POINT screen = client;
    ClientToScreen(state.window, &screen);
    // The system also reports a "move" when windows appear, go or take the
    // capture under a resting pointer; that must not take the row the
    // keyboard chose.
    if (screen.x == state.last_mouse.x && screen.y == state.last_mouse.y) return;
    state.last_mouse = screen;
    if (state.parent_menu) {
        if (inside_window(state.window, screen)) {
            state.mouse_entered = true;
        } else if (state.mouse_entered && inside_window(state.parent_menu, screen)) {
            end = close_with(0, false);
            return;
        }
    }
    const MenuHit hit = menu_hit(*state.items, state.view, state.scroll, client);
    if (hit.arrow != MenuArrow::None) start_arrow_scroll(state);
    hover_row(state, hit.row);
}

void on_button_down(MenuState& state, POINT client, MenuEnd& end) {
    RECT rect;
    GetClientRect(state.window, &rect);
    if (!PtInRect(&rect, client)) {
        if (!state.parent_menu) {
            end = close_with(0, false);
            return;
        }
        POINT screen = client;
        ClientToScreen(state.window, &screen);
        // On the parent the parent stays open; anywhere else the chain goes.
        end = close_with(0, !inside_window(state.parent_menu, screen));
        return;
    }
    const MenuHit hit = menu_hit(*state.items, state.view, state.scroll, client);
    if (hit.arrow != MenuArrow::None) {
        scroll_menu(state, state.scroll + toward(hit.arrow, kMenuRowHeight), true);
        return;
    }
    // The row under the click, should no move have told us yet.
    hover_row(state, hit.row);
    activate_row(state, state.hovered, end);
}

// The keyboard chose a row: it comes into view.
void hover_by_key(MenuState& state, int row) {
    state.hovered = row;
    cancel_pending_submenu(state);
    scroll_menu(state, menu_scroll_to_show(*state.items, state.view.cy, state.scroll, row), false);
    redraw(state);
}

void on_key_down(MenuState& state, WPARAM key, MenuEnd& end) {
    switch (key) {
    case VK_ESCAPE: end = close_with(0, true); break;
    case VK_LEFT:
        if (state.parent_menu) end = close_with(0, false);
        break;
    case VK_UP:
    case VK_DOWN: hover_by_key(state, menu_step(*state.items, state.hovered, key == VK_DOWN ? 1 : -1)); break;
    case VK_PRIOR:
    case VK_NEXT:
        hover_by_key(state, menu_page_step(*state.items, state.hovered, key == VK_NEXT ? 1 : -1, page_height(state)));
        break;
    case VK_HOME:
    case VK_END:
        hover_by_key(state, menu_page_step(*state.items, -1, key == VK_END ? 1 : -1, std::numeric_limits<int>::max()));
        break;
    case VK_RETURN: activate_row(state, state.hovered, end); break;
    default: break;
    }
}

void on_submenu_timer(MenuState& state, MenuEnd& end) {
    KillTimer(state.window, kTimerSubmenu);
    const int row = state.pending_submenu;
    state.pending_submenu = -1;
    if (row == state.hovered && opens_submenu(state, row)) open_submenu(state, row, end);
}

// The point of a mouse message in the menu's client coordinates, whichever
// window of the thread it was addressed to.
POINT menu_point(const MenuState& state, const MSG& msg, bool screen_coordinates) {
    POINT point{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (screen_coordinates) ScreenToClient(state.window, &point);
    else if (msg.hwnd != state.window) MapWindowPoints(msg.hwnd, state.window, &point, 1);
    return point;
}

// Handles the messages the menu takes for itself; false for everything the
// loop dispatches as usual.
bool handle_menu_message(MenuState& state, const MSG& msg, MenuEnd& end) {
    switch (msg.message) {
    case WM_MOUSEMOVE: on_mouse_move(state, menu_point(state, msg, false), end); return true;
    case WM_NCMOUSEMOVE: on_mouse_move(state, menu_point(state, msg, true), end); return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: on_button_down(state, menu_point(state, msg, false), end); return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK: on_button_down(state, menu_point(state, msg, true), end); return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
        // The release of the click that opened the menu chooses nothing.
        return true;
    case WM_KEYDOWN: on_key_down(state, msg.wParam, end); return true;
    // Whichever window of the thread has the focus: the menu takes the wheel.
    case WM_MOUSEWHEEL: on_wheel(state, GET_WHEEL_DELTA_WPARAM(msg.wParam)); return true;
    case WM_TIMER:
        if (msg.hwnd != state.window || msg.wParam != kTimerSubmenu) return false;
        on_submenu_timer(state, end);
        return true;
    default: return false;
    }
}

MenuEnd run_menu_loop(MenuState& state) {
    MenuEnd end;
    MSG msg;
    while (!end.done) {
        if (!get_modal_message(msg)) return close_with(0, true);
        if (!handle_menu_message(state, msg, end)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Destroyed under us (its owner went, Alt+F4) or the user turned to
        // another program: nothing is left to choose from.
        if (!end.done && (state.ending || !IsWindow(state.window))) end = close_with(0, true);
    }
    return end;
}

void paint_menu_window(HWND window, HDC dc, const MenuState* state) {
    if (!state) return;
    RECT client;
    GetClientRect(window, &client);
    paint_popup_menu(dc, *state, client);
}

void on_paint(HWND window, const MenuState* state) {
    ScopedPaint paint(window);
    paint_menu_window(window, paint.get(), state);
}

// The menu goes when its loop next looks, which may be waiting for a message:
// give it one. It takes no more input meanwhile.
void end_menu(MenuState& state) {
    state.ending = true;
    if (GetCapture() == state.window) ReleaseCapture();
    PostMessageW(state.window, WM_NULL, 0, 0);
}

// Runs outside the loop's own handling, so that the rows also move while
// another loop (a test's, a nested one's) dispatches the timer.
void on_timer(MenuState* state, WPARAM id) {
    if (state && id == kTimerMenuScroll) on_arrow_timer(*state);
}

// Another program became active: like a click outside, the menu goes.
void on_activate_app(MenuState* state, bool active) {
    if (!active && state) end_menu(*state);
}

LRESULT CALLBACK popup_menu_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MenuState* state = window_state<MenuState>(window, message, lparam);
    switch (message) {
    case WM_PAINT: on_paint(window, state); return 0;
    case WM_PRINTCLIENT: paint_menu_window(window, reinterpret_cast<HDC>(wparam), state); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_ACTIVATEAPP: on_activate_app(state, wparam != 0); break;
    case WM_TIMER: on_timer(state, wparam); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

SIZE measure_popup_menu(const PopupMenuItems& items) {
    int widest = 0;
    ScopedGetDc screen(nullptr);
    if (screen) {
        ScopedSelect use_font(screen.get(), menu_font());
        for (const PopupMenuItem& item : items) {
            if (item.separator) continue;
            SIZE extent{};
            GetTextExtentPoint32W(screen.get(), item.text.c_str(), static_cast<int>(item.text.size()), &extent);
            widest = std::max(widest, static_cast<int>(extent.cx));
        }
    }
    return SIZE{popup_menu_width(widest), popup_menu_height(items)};
}

std::uint64_t show_popup_menu(HWND owner, int x, int y, const PopupMenuItems& items, bool dark, HWND parent_menu,
                              bool* dismissed) {
    if (items.empty()) return 0;
    const RECT area = work_area_at(POINT{x, y});
    const SIZE size{measure_popup_menu(items).cx, popup_menu_window_height(items, area)};
    const POINT at = place_popup_menu(x, y, size.cx, size.cy, area);

    MenuState state;
    state.view = size;
    state.items = &items;
    state.dark = dark;
    state.owner = owner;
    state.parent_menu = parent_menu;
    GetCursorPos(&state.last_mouse);

    register_menu_class();
    ScopedWindow window(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupMenuClass, L"", WS_POPUP, at.x, at.y,
                                        size.cx, size.cy, owner, nullptr, GetModuleHandleW(nullptr), &state));
    if (!window) return 0;
    state.window = window.get();
    open_menus().push_back(&state);
    // Every way out leaves no timer, capture or state behind, and no window.
    ScopeExit close_menu([&] {
        std::erase(open_menus(), &state);
        if (IsWindow(window.get())) {
            KillTimer(window.get(), kTimerSubmenu);
            KillTimer(window.get(), kTimerMenuScroll);
            if (GetCapture() == window.get()) ReleaseCapture();
            clear_state(window.get());
        } else {
            window.release();  // destroyed under us
        }
        window.reset();
    });
    if (parent_menu) {
        // A submenu leaves the activation with the top menu: the loop takes
        // every key of the thread anyway, and closing a submenu then never
        // moves the focus, which another program could catch on the way.
        ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    } else {
        SetForegroundWindow(window.get());
        ShowWindow(window.get(), SW_SHOW);
    }
    SetCapture(window.get());
    redraw(state);

    const MenuEnd end = run_menu_loop(state);
    if (end.dismissed && dismissed) *dismissed = true;
    return end.id;
}

bool end_popup_menus() {
    bool ended = false;
    for (MenuState* state : open_menus()) {
        if (state->ending) continue;
        end_menu(*state);
        ended = true;
    }
    return ended;
}

std::uint64_t track_popup_menu(HWND owner, int x, int y, const PopupMenuItems& items, bool dark) {
    return show_popup_menu(owner, x, y, items, dark, nullptr, nullptr);
}
