// CaptureOverlay: composing the selection with its shapes, and finishing.
#include "screenshot/capture_overlay.h"

#include "services/image.h"

#include <cstring>
#include <new>
#include <utility>

bool CaptureOverlay::compose_selection(Bytes& dib, int& width, int& height) {
    const int w = selection.w, h = selection.h;
    if (w < 1 || h < 1 || !picture || !picture_bits) return false;
    GdiFlush();
    CapturedImage crop = crop_pixels({picture_bits, capture.width, capture.height, capture.left, capture.top},
                                     {capture.left + selection.x, capture.top + selection.y,
                                      capture.left + selection.x + w, capture.top + selection.y + h});
    if (!crop.ok || crop.width != w || crop.height != h) return false;

    void* bits = nullptr;
    ScopedBitmap section = make_picture_section(w, h, &bits);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!section || !dc) throw std::bad_alloc();
    const size_t pixel_bytes = crop.dib.size() - kCaptureHeaderBytes;
    // The crop's rows are already the section's rows: a straight copy keeps
    // every pixel exact, with nothing that could fail and leave it black.
    std::memcpy(bits, crop.dib.data() + kCaptureHeaderBytes, pixel_bytes);
    // Freed at once: with the picture, the section and the result it would
    // hold the selection a fourth time.
    crop = {};
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
    Bytes out = make_capture_dib(w, h);
    if (out.empty()) return false;
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
    // What only the screen needs goes first, so that the final picture has
    // its room; a paint after a failure here makes both again.
    back_buffer.reset();
    dimmed.reset();
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
