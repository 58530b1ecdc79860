// Screen pictures as DIB bytes: the header, the alpha pass and cropping.
#include "screenshot/captured_image.h"

#include "services/dib.h"

#include <algorithm>
#include <cstring>

namespace {

void put_u32(Bytes& b, size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void put_i32(Bytes& b, size_t at, std::int32_t v) { std::memcpy(b.data() + at, &v, 4); }
void put_u16(Bytes& b, size_t at, std::uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

}  // namespace

std::uint64_t capture_dib_bytes(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1) return 0;
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height) * 4;
    if (pixels > kMaxImagePixelBytes) return 0;
    return kCaptureHeaderBytes + pixels;
}

Bytes make_capture_dib(std::int32_t width, std::int32_t height) {
    const std::uint64_t total = capture_dib_bytes(width, height);
    if (total == 0) return {};
    Bytes dib(static_cast<size_t>(total), 0);
    // BITMAPINFOHEADER, written field by field so no windows.h is needed.
    put_u32(dib, 0, kCaptureHeaderBytes);                                       // biSize
    put_i32(dib, 4, width);                                                     // biWidth
    put_i32(dib, 8, -height);                                                   // biHeight: rows top-down
    put_u16(dib, 12, 1);                                                        // biPlanes
    put_u16(dib, 14, 32);                                                       // biBitCount
    put_u32(dib, 16, kBiRgb);                                                   // biCompression
    put_u32(dib, 20, static_cast<std::uint32_t>(total - kCaptureHeaderBytes));  // biSizeImage
    return dib;
}

void make_opaque(std::uint8_t* pixels, std::uint64_t pixel_count) {
    for (std::uint64_t i = 0; i < pixel_count; ++i) pixels[i * 4 + 3] = 255;
}

bool capture_is_consistent(const CapturedImage& image) {
    const std::uint64_t need = capture_dib_bytes(image.width, image.height);
    return need != 0 && image.dib.size() >= need;
}

CapturedImage crop_capture(const CapturedImage& image, const EdgeRect& rect) {
    if (!image.ok || !capture_is_consistent(image)) return {};
    return crop_pixels({image.dib.data() + kCaptureHeaderBytes, image.width, image.height, image.left, image.top},
                       rect);
}

CapturedImage crop_pixels(const PixelView& view, const EdgeRect& rect) {
    if (!view.pixels || capture_dib_bytes(view.width, view.height) == 0) return {};
    // In 64 bits: a screen position plus a size may pass the 32-bit range.
    const std::int64_t left = std::max<std::int64_t>(view.left, rect.left);
    const std::int64_t top = std::max<std::int64_t>(view.top, rect.top);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(view.left) + view.width, rect.right);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(view.top) + view.height, rect.bottom);
    if (right - left < 1 || bottom - top < 1) return {};

    CapturedImage out;
    out.width = static_cast<std::int32_t>(right - left);
    out.height = static_cast<std::int32_t>(bottom - top);
    out.left = static_cast<std::int32_t>(left);
    out.top = static_cast<std::int32_t>(top);
    out.dib = make_capture_dib(out.width, out.height);
    if (out.dib.empty()) return {};
    const std::uint64_t src_row = std::uint64_t(view.width) * 4;
    const std::uint64_t dst_row = std::uint64_t(out.width) * 4;
    const std::uint8_t* src =
        view.pixels + std::uint64_t(top - view.top) * src_row + std::uint64_t(left - view.left) * 4;
    std::uint8_t* dst = out.dib.data() + kCaptureHeaderBytes;
    for (std::int32_t y = 0; y < out.height; ++y) std::memcpy(dst + y * dst_row, src + y * src_row, dst_row);
    out.ok = true;
    return out;
}
