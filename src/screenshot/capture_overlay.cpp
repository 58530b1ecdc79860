// CaptureOverlay: state, resources and the run.
#include "screenshot/capture_overlay.h"

#include "services/bitmap.h"

CaptureOverlay::~CaptureOverlay() { release_resources(); }

bool CaptureOverlay::open(HINSTANCE module, const CapturedImage& picture, bool dark_mode, bool editor_enabled,
                          std::optional<PixelRect> first, COLORREF start_color, int start_thickness) {
    instance = module;
    capture = picture;
    bounds = {0, 0, capture.width, capture.height};
    dark = dark_mode;
    editor = editor_enabled;
    color = shot_color_or_default(start_color);
    thickness = clamp_thickness(start_thickness);
    if (first && has_area(*first)) {
        selection = clamp_rect(*first, bounds);
        has_selection = has_area(selection);
    }
    return create_picture();
}

bool CaptureOverlay::create_picture() {
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    ScopedBitmap bitmap(dib_to_bitmap(capture.dib, capture.width, capture.height, false));
    if (!bitmap) return false;
    picture_previous = SelectObject(dc.get(), bitmap.get());
    picture_dc = std::move(dc);
    picture_bitmap = std::move(bitmap);

    // One black pixel, stretched and blended over what is dimmed.
    ScopedDc dimmer(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap pixel(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dimmer && pixel && bits) {
        *static_cast<std::uint32_t*>(bits) = 0;
        dimmer_previous = SelectObject(dimmer.get(), pixel.get());
        dimmer_dc = std::move(dimmer);
        dimmer_bitmap = std::move(pixel);
    }
    return true;
}

// Until the editor window exists, the overlay finishes at once with the
// first selection (or the whole picture) and Done.
CaptureResult CaptureOverlay::run(HINSTANCE module, const CapturedImage& picture, bool dark_mode,
                                  bool editor_enabled, std::optional<PixelRect> first, COLORREF start_color,
                                  int start_thickness) {
    if (open(module, picture, dark_mode, editor_enabled, first, start_color, start_thickness)) {
        if (!has_selection) {
            selection = bounds;
            has_selection = has_area(selection);
        }
        finish(CaptureAction::Done);
    }
    release_resources();
    return result;
}

void CaptureOverlay::close() {
    cancel_text_edit();
    if (window) {
        HWND w = window;
        window = nullptr;
        DestroyWindow(w);
    }
}

void CaptureOverlay::repaint() const {
    if (window) InvalidateRect(window, nullptr, FALSE);
}

void CaptureOverlay::release_resources() {
    cancel_text_edit();
    if (back_dc && back_previous) SelectObject(back_dc.get(), back_previous);
    back_previous = nullptr;
    back_dc.reset();
    back_bitmap.reset();
    if (picture_dc && picture_previous) SelectObject(picture_dc.get(), picture_previous);
    picture_previous = nullptr;
    picture_dc.reset();
    picture_bitmap.reset();
    if (dimmer_dc && dimmer_previous) SelectObject(dimmer_dc.get(), dimmer_previous);
    dimmer_previous = nullptr;
    dimmer_dc.reset();
    dimmer_bitmap.reset();
    hint_font.reset();
    label_font.reset();
    icon_font.reset();
    edit_brush.reset();
}
