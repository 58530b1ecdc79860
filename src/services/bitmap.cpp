#include "services/bitmap.h"

#include "services/dib.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The DIB's header, masks and table in the form GDI takes, rebuilt from the
// checked layout so that GDI never reads past what is there.
std::vector<std::uint8_t> bitmap_info_of(const Bytes& dib, const DibLayout& d) {
    const size_t masks = d.compression == kBiBitfields ? 12 : 0;
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + masks + 4 * d.table_entries, 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = d.width;
    h->biHeight = d.height;
    h->biPlanes = 1;
    h->biBitCount = d.bit_count;
    h->biCompression = d.compression;
    h->biClrUsed = d.table_entries;
    if (masks) {
        const std::uint32_t m[3] = {d.red_mask, d.green_mask, d.blue_mask};
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), m, 12);
    }
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER) + masks, dib.data() + d.table_offset, 4 * d.table_entries);
    return info;
}

SIZE fit_into_box(int width, int height, int box_width, int box_height, bool force) {
    if (width <= box_width && height <= box_height && !force) return {width, height};
    double scale = std::min(double(box_height) / height, double(box_width) / width);
    if (scale <= 0) scale = 1;
    const auto side = [&](int n) { return static_cast<LONG>(std::clamp(n * scale, 1.0, 1e9)); };
    return {side(width), side(height)};
}

}  // namespace

HBITMAP dib_to_bitmap(const Bytes& dib, int box_width, int box_height, bool force) {
    DibLayout d;
    if (!parse_dib(dib, d)) return nullptr;
    const SIZE target = fit_into_box(d.width, static_cast<int>(d.rows), box_width, box_height, force);
    if (std::uint64_t(target.cx) * std::uint64_t(target.cy) > kMaxImagePixelBytes / 4) return nullptr;

    std::vector<std::uint8_t> info = bitmap_info_of(dib, d);
    ScopedDc src_dc(CreateCompatibleDC(nullptr));
    ScopedDc dst_dc(CreateCompatibleDC(nullptr));
    if (!src_dc || !dst_dc) return nullptr;
    void* src_bits = nullptr;
    ScopedBitmap source(CreateDIBSection(src_dc.get(), reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                         &src_bits, nullptr, 0));
    if (!source || !src_bits) return nullptr;
    std::memcpy(src_bits, dib.data() + d.pixel_offset, static_cast<size_t>(d.image_bytes));

    BITMAPINFO out{};
    out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    out.bmiHeader.biWidth = target.cx;
    out.bmiHeader.biHeight = target.cy;
    out.bmiHeader.biPlanes = 1;
    out.bmiHeader.biBitCount = 32;
    out.bmiHeader.biCompression = BI_RGB;
    void* dst_bits = nullptr;
    ScopedBitmap result(CreateDIBSection(dst_dc.get(), &out, DIB_RGB_COLORS, &dst_bits, nullptr, 0));
    if (!result || !dst_bits) return nullptr;
    {
        ScopedSelect keep_src(src_dc.get(), source.get());
        ScopedSelect keep_dst(dst_dc.get(), result.get());
        SetStretchBltMode(dst_dc.get(), HALFTONE);
        SetBrushOrgEx(dst_dc.get(), 0, 0, nullptr);
        StretchBlt(dst_dc.get(), 0, 0, target.cx, target.cy, src_dc.get(), 0, 0, d.width, static_cast<int>(d.rows),
                   SRCCOPY);
    }
    GdiFlush();
    auto* px = static_cast<std::uint8_t*>(dst_bits);
    const size_t count = size_t(target.cx) * size_t(target.cy);
    for (size_t i = 0; i < count; ++i) px[i * 4 + 3] = 255;
    return result.release();
}

HBITMAP image_to_thumbnail(const Bytes& image, int box_width, int box_height, bool force) {
    if (!is_png(image)) return dib_to_bitmap(image, box_width, box_height, force);
    Bytes dib;
    if (!png_to_dib(image, dib)) return nullptr;
    return dib_to_bitmap(dib, box_width, box_height, force);
}

HICON load_app_icon(HINSTANCE module, int width_metric, int height_metric) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kAppIconResource), IMAGE_ICON,
                                         GetSystemMetrics(width_metric), GetSystemMetrics(height_metric), LR_SHARED));
}

HICON make_app_icon(int size) {
    ScopedGetDc screen(nullptr);
    ScopedDc dc(CreateCompatibleDC(screen.get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
    if (!dc || !bitmap) return nullptr;
    {
        ScopedSelect keep_bitmap(dc.get(), bitmap.get());
        ScopedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
        ScopedBrush black(CreateSolidBrush(RGB(0, 0, 0)));
        ScopedPen black_pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        {
            ScopedSelect brush(dc.get(), white.get());
            ScopedSelect pen(dc.get(), GetStockObject(NULL_PEN));
            RoundRect(dc.get(), 3, 2, size - 3, size - 2, 4, 4);
        }
        ScopedSelect brush(dc.get(), black.get());
        ScopedSelect pen(dc.get(), black_pen.get());
        Rectangle(dc.get(), size / 4, size / 5, size * 3 / 4, size / 5 + size / 6);
    }
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmMask = bitmap.get();
    icon.hbmColor = bitmap.get();
    return CreateIconIndirect(&icon);
}
