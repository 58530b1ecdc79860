// CaptureOverlay: state, resources, the window, its procedure and the run.
#include "screenshot/capture_overlay.h"

#include "config/language.h"
#include "screenshot/screen_capture.h"
#include "services/focus.h"
#include "services/ids.h"
#include "services/scope_exit.h"
#include "ui/kit/modal_loop.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

PixelPoint point_of(LPARAM lparam) {
    return {static_cast<std::int16_t>(LOWORD(lparam)), static_cast<std::int16_t>(HIWORD(lparam))};
}

bool key_down(int vk) { return GetKeyState(vk) < 0; }

LRESULT on_paint_message(CaptureOverlay& o, HWND hwnd) {
    ScopedPaint paint(hwnd);
    if (paint.get()) o.on_paint(paint.get());
    return 0;
}

LRESULT on_set_cursor_message(CaptureOverlay& o, HWND hwnd, WPARAM wparam, LPARAM lparam) {
    if (LOWORD(lparam) != HTCLIENT) return DefWindowProcW(hwnd, WM_SETCURSOR, wparam, lparam);
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    o.on_set_cursor({p.x, p.y});
    return 1;
}

LRESULT on_ctl_color_edit(const CaptureOverlay& o, WPARAM wparam) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, ui_color(UiColor::Text, o.dark));
    SetBkColor(dc, ui_color(UiColor::FieldBackground, o.dark));
    return reinterpret_cast<LRESULT>(o.edit_brush.get());
}

}  // namespace

bool BitmapDc::hold(HDC reference, ScopedBitmap made) {
    reset();
    ScopedDc made_dc(CreateCompatibleDC(reference));
    if (!made_dc || !made) return false;
    previous = SelectObject(made_dc.get(), made.get());
    dc = std::move(made_dc);
    bitmap = std::move(made);
    return true;
}

void BitmapDc::reset() {
    if (dc && previous) SelectObject(dc.get(), previous);
    previous = nullptr;
    dc.reset();
    bitmap.reset();
}

ScopedBitmap make_picture_section(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* pixels = nullptr;
    ScopedBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!pixels) section.reset();
    if (bits) *bits = pixels;
    return section;
}

CaptureOverlay::~CaptureOverlay() { release_resources(); }

void CaptureOverlay::set_up(HINSTANCE module, CapturedImage picture, bool dark_mode, bool editor_enabled,
                            std::optional<PixelRect> first, COLORREF start_color, int start_thickness) {
    instance = module;
    capture = std::move(picture);
    bounds = {0, 0, capture.width, capture.height};
    dark = dark_mode;
    editor = editor_enabled;
    color = shot_color_or_default(start_color);
    thickness = clamp_thickness(start_thickness);
    if (first && has_area(*first)) {
        selection = clamp_rect(*first, bounds);
        has_selection = has_area(selection);
    }
}

bool CaptureOverlay::create_resources() {
    hint_font = make_ui_font(11, FW_NORMAL);
    label_font = make_ui_font(12, FW_SEMIBOLD);
    icon_font = make_icon_font(16);
    edit_brush.reset(CreateSolidBrush(ui_color(UiColor::FieldBackground, dark)));

    if (!capture.ok || !capture_is_consistent(capture)) return false;
    // The screen is held once here and nowhere else: the picture's bytes go
    // into a section of the same layout, and the copy in capture is freed.
    void* bits = nullptr;
    if (!picture.hold(nullptr, make_picture_section(capture.width, capture.height, &bits))) throw std::bad_alloc();
    std::memcpy(bits, capture.dib.data() + kCaptureHeaderBytes, capture.dib.size() - kCaptureHeaderBytes);
    picture_bits = static_cast<const std::uint8_t*>(bits);
    Bytes().swap(capture.dib);

    // One black pixel, stretched and blended over what is dimmed; without it
    // the picture simply shows undimmed.
    ScopedBitmap pixel = make_picture_section(1, 1, &bits);
    if (pixel) {
        *static_cast<std::uint32_t*>(bits) = 0;
        dimmer.hold(nullptr, std::move(pixel));
    }
    monitors = monitor_areas(capture.left, capture.top);
    return true;
}

bool CaptureOverlay::create_window() {
    if (!picture && !create_resources()) return false;
    register_window_class(
        {.instance = instance, .name = kCaptureOverlayClass, .procedure = capture_overlay_proc, .cursor = IDC_CROSS});
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCaptureOverlayClass, tr(L"capture.title").c_str(),
                           WS_POPUP, capture.left, capture.top, capture.width, capture.height, nullptr, nullptr,
                           instance, this) != nullptr;
}

CaptureResult CaptureOverlay::run(HINSTANCE module, CapturedImage picture, bool dark_mode, bool editor_enabled,
                                  std::optional<PixelRect> first, COLORREF start_color, int start_thickness) {
    set_up(module, std::move(picture), dark_mode, editor_enabled, first, start_color, start_thickness);
    // The loop dispatches every window of the thread, and a handler of
    // another one can throw: the window, whose user data points here, must
    // not outlive this call on any way out.
    const ScopeExit end([this] {
        close();
        release_resources();
    });
    if (create_window() && window) {
        ShowWindow(window, SW_SHOW);
        force_foreground(window);
        SetFocus(window);
        MSG msg;
        // The shared fetch posts a WM_QUIT it takes again for the main loop.
        while (window && get_modal_message(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (out_of_memory) throw std::bad_alloc();
    return std::move(result);
}

void CaptureOverlay::close() {
    cancel_text_edit();
    if (window) {
        HWND w = window;
        window = nullptr;
        DestroyWindow(w);
    }
}

void CaptureOverlay::end_for_want_of_memory() {
    out_of_memory = true;
    close();
}

void CaptureOverlay::repaint() const {
    // Never with a null window: that would repaint the whole desktop.
    if (window) InvalidateRect(window, nullptr, FALSE);
}

void CaptureOverlay::release_resources() {
    cancel_text_edit();
    back_buffer.reset();
    picture.reset();
    picture_bits = nullptr;
    dimmer.reset();
    dimmed.reset();
    hint_font.reset();
    label_font.reset();
    icon_font.reset();
    edit_brush.reset();
}

namespace {

LRESULT overlay_message(CaptureOverlay* o, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: o->window = hwnd; return 0;
    case WM_PAINT: return on_paint_message(*o, hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: o->close(); return 0;
    case WM_DESTROY: o->window = nullptr; return 0;
    case WM_SETCURSOR: return on_set_cursor_message(*o, hwnd, wparam, lparam);
    case WM_KEYDOWN: o->on_key_down(UINT(wparam), key_down(VK_CONTROL), key_down(VK_SHIFT)); return 0;
    case WM_MOUSEMOVE: o->on_mouse_move(point_of(lparam), key_down(VK_SHIFT)); return 0;
    case WM_LBUTTONDOWN: o->on_left_button_down(point_of(lparam)); return 0;
    case WM_LBUTTONUP: o->on_left_button_up(point_of(lparam)); return 0;
    case WM_RBUTTONDOWN: o->close(); return 0;
    case WM_MOUSEWHEEL: o->on_mouse_wheel(GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
    case WM_CTLCOLOREDIT: return on_ctl_color_edit(*o, wparam);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK capture_overlay_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    CaptureOverlay* o = window_state<CaptureOverlay>(hwnd, message, lparam, WM_CREATE);
    if (!o) return DefWindowProcW(hwnd, message, wparam, lparam);
    // No exception may pass through the system's code that called us: the
    // overlay ends here, and run() hands the want of memory to the command.
    try {
        return overlay_message(o, hwnd, message, wparam, lparam);
    } catch (const std::bad_alloc&) {
        o->end_for_want_of_memory();
        return 0;
    }
}
