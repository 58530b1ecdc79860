#include "services/dib.h"

#include <bit>
#include <cstring>

namespace {

std::uint32_t read_u32(const Bytes& b, std::uint64_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t read_u16(const Bytes& b, std::uint64_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
void write_u32(Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One channel of a masked pixel scaled to 0..255.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    const std::uint32_t max = mask >> shift;
    return static_cast<std::uint8_t>(max == 255 ? value : (value * 255 + max / 2) / max);
}

}  // namespace

bool parse_dib(const Bytes& dib, DibLayout& out) {
    out = DibLayout{};
    if (dib.size() < 40) return false;
    const std::uint32_t header = read_u32(dib, 0);
    // Anything below 40 is an old OS/2 header or garbage; anything beyond the
    // bytes we have cannot be read.
    if (header < 40 || header > dib.size()) return false;
    out.header_size = header;
    out.width = static_cast<std::int32_t>(read_u32(dib, 4));
    out.height = static_cast<std::int32_t>(read_u32(dib, 8));
    out.bit_count = read_u16(dib, 14);
    out.compression = read_u32(dib, 16);
    const std::uint32_t clr_used = read_u32(dib, 32);
    if (out.width < 1 || out.height == 0 || out.height == INT32_MIN) return false;
    out.top_down = out.height < 0;
    out.rows = static_cast<std::uint32_t>(out.top_down ? -std::int64_t(out.height) : out.height);

    switch (out.bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
    }
    std::uint64_t offset = header;
    if (out.compression == kBiBitfields) {
        if (out.bit_count != 16 && out.bit_count != 32) return false;
        // V4 and V5 headers hold the masks; after a plain header they follow it.
        const std::uint64_t masks_at = header >= 52 ? 40 : header;
        if (masks_at + 12 > dib.size()) return false;
        out.red_mask = read_u32(dib, masks_at);
        out.green_mask = read_u32(dib, masks_at + 4);
        out.blue_mask = read_u32(dib, masks_at + 8);
        if (header < 52) offset += 12;
    } else if (out.compression == kBiRgb) {
        if (out.bit_count == 16) {
            out.red_mask = 0x7C00, out.green_mask = 0x03E0, out.blue_mask = 0x001F;
        } else if (out.bit_count == 32) {
            out.red_mask = 0xFF0000, out.green_mask = 0xFF00, out.blue_mask = 0xFF;
        }
    } else {
        return false;  // run-length, JPEG or PNG data: not a DIB we draw
    }

    if (out.bit_count <= 8) {
        out.table_entries = clr_used ? (clr_used > 256 ? 256 : clr_used) : 1u << out.bit_count;
    } else if (out.compression == kBiRgb && clr_used) {
        // An optional table for palette devices sits before the pixels.
        out.table_entries = clr_used > 256 ? 256 : clr_used;
    }
    out.table_offset = offset;
    out.pixel_offset = offset + 4ull * out.table_entries;
    out.row_bytes = (std::uint64_t(out.bit_count) * std::uint64_t(out.width) + 31) / 32 * 4;
    if (std::uint64_t(out.width) * out.rows > kMaxImagePixelBytes / 4) return false;
    out.image_bytes = out.row_bytes * out.rows;
    return out.pixel_offset + out.image_bytes <= dib.size();
}

bool dib_to_bgra(const Bytes& dib, std::vector<std::uint8_t>& pixels, std::uint32_t& width, std::uint32_t& height) {
    pixels.clear();
    width = height = 0;
    DibLayout d;
    if (!parse_dib(dib, d) || d.bit_count == 16) return false;
    const std::uint32_t w = static_cast<std::uint32_t>(d.width);
    pixels.assign(size_t(w) * d.rows * 4, 0);
    const bool masked = d.bit_count == 32 && d.compression == kBiBitfields;
    for (std::uint32_t y = 0; y < d.rows; ++y) {
        const std::uint64_t src_row = d.top_down ? y : d.rows - 1 - y;
        const std::uint8_t* src = dib.data() + d.pixel_offset + src_row * d.row_bytes;
        std::uint8_t* dst = pixels.data() + size_t(y) * w * 4;
        for (std::uint32_t x = 0; x < w; ++x, dst += 4) {
            if (d.bit_count <= 8) {
                std::uint32_t index;
                if (d.bit_count == 1) index = (src[x / 8] >> (7 - x % 8)) & 1;
                else if (d.bit_count == 4) index = x % 2 ? src[x / 2] & 0x0F : src[x / 2] >> 4;
                else index = src[x];
                if (index < d.table_entries) {
                    std::memcpy(dst, dib.data() + d.table_offset + 4ull * index, 3);
                }
            } else if (d.bit_count == 24) {
                std::memcpy(dst, src + 3ull * x, 3);
            } else if (masked) {
                const std::uint32_t p = std::uint32_t(src[4ull * x]) | std::uint32_t(src[4ull * x + 1]) << 8 |
                                        std::uint32_t(src[4ull * x + 2]) << 16 | std::uint32_t(src[4ull * x + 3]) << 24;
                dst[0] = channel(p, d.blue_mask);
                dst[1] = channel(p, d.green_mask);
                dst[2] = channel(p, d.red_mask);
            } else {
                std::memcpy(dst, src + 4ull * x, 3);
            }
            dst[3] = 255;
        }
    }
    width = w;
    height = d.rows;
    return true;
}

Bytes make_dib32(const std::uint8_t* top_down_bgra, std::uint32_t width, std::uint32_t height) {
    const size_t row = size_t(width) * 4;
    Bytes dib(40 + row * height, 0);
    write_u32(dib, 0, 40);
    write_u32(dib, 4, width);
    write_u32(dib, 8, height);
    dib[12] = 1;   // planes
    dib[14] = 32;  // bits
    write_u32(dib, 20, static_cast<std::uint32_t>(row * height));
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* dst = dib.data() + 40 + row * (height - 1 - y);
        std::memcpy(dst, top_down_bgra + row * y, row);
        for (size_t x = 3; x < row; x += 4) dst[x] = 255;
    }
    return dib;
}
