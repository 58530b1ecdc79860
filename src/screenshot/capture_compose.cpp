// CaptureOverlay: composing the selection with its shapes, and finishing.
#include "screenshot/capture_overlay.h"

#include "services/image.h"

#include <cstring>

bool CaptureOverlay::compose_selection(Bytes& dib, int& width, int& height) {
    const int w = selection.w, h = selection.h;
    if (w < 1 || h < 1 || !picture) return false;
    const CapturedImage crop = crop_capture(capture, {capture.left + selection.x, capture.top + selection.y,
                                                      capture.left + selection.x + w, capture.top + selection.y + h});
    if (!crop.ok || crop.width != w || crop.height != h) return false;

    Bytes out = make_capture_dib(w, h);
    if (out.empty()) return false;
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, out.data(), sizeof(BITMAPINFOHEADER));
    void* bits = nullptr;
    ScopedBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return false;
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    const size_t pixel_bytes = out.size() - kCaptureHeaderBytes;
    // The crop's rows are already the section's rows: a straight copy keeps
    // every pixel exact, with nothing that could fail and leave it black.
    std::memcpy(bits, crop.dib.data() + kCaptureHeaderBytes, pixel_bytes);
    {
        ScopedSelect keep(dc.get(), section.get());
        const int saved = SaveDC(dc.get());
        IntersectClipRect(dc.get(), 0, 0, w, h);
        // The whole picture is the blur source, as on screen, so a blur
        // reaching past the selection's edge samples the same pixels there.
        blur_source = picture.get();
        draw_annotations(dc.get(), -selection.x, -selection.y);
        blur_source = nullptr;
        RestoreDC(dc.get(), saved);
        GdiFlush();
    }
    std::memcpy(out.data() + kCaptureHeaderBytes, bits, pixel_bytes);
    make_opaque(out.data() + kCaptureHeaderBytes, std::uint64_t(w) * std::uint64_t(h));
    dib = std::move(out);
    width = w;
    height = h;
    return true;
}

bool CaptureOverlay::finish(CaptureAction action) {
    if (!has_selection || selection.w < 1 || selection.h < 1) return false;
    // Text still being typed belongs to the picture the user asked for.
    commit_text();
    Bytes dib;
    int w = 0, h = 0;
    if (!compose_selection(dib, w, h)) return false;
    Bytes png;
    if (!dib_to_png(dib, png)) return false;
    result.ok = true;
    result.png = std::move(png);
    result.action = action;
    result.width = w;
    result.height = h;
    result.color = color;
    result.thickness = thickness;
    close();
    return true;
}
