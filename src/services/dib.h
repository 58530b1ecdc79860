#pragma once
// The layout of a device-independent bitmap (a BITMAPINFOHEADER, optional
// colour masks and colour table, then the pixels) read from untrusted bytes:
// the clipboard and the history hand us DIBs that other programs made. Every
// size is computed in 64 bits and checked against the bytes there are, and
// pictures beyond kMaxImagePixelBytes are refused. No windows.h needed.

#include "services/encoding.h"

#include <cstdint>
#include <vector>

// Decoded pixels (4 bytes each) of one picture at most: 256 MiB, which holds
// an 8K-by-8K screen with room to spare.
constexpr std::uint64_t kMaxImagePixelBytes = 256ull << 20;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct DibLayout {
    std::int32_t width = 0;   // at least 1
    std::int32_t height = 0;  // as stored: negative for rows top-down
    std::uint32_t rows = 0;   // |height|
    bool top_down = false;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = 0;  // kBiRgb or kBiBitfields
    std::uint32_t header_size = 40;
    // Channel masks; for 16 and 32 bits without BI_BITFIELDS the standard ones.
    std::uint32_t red_mask = 0, green_mask = 0, blue_mask = 0;
    // Colour-table entries present in the bytes (at most 256).
    std::uint32_t table_entries = 0;
    std::uint64_t table_offset = 0;  // after the header and any masks
    std::uint64_t pixel_offset = 0;  // after the table
    std::uint64_t row_bytes = 0;     // rounded up to four bytes
    std::uint64_t image_bytes = 0;   // row_bytes * rows
};

// Reads and checks the layout: a header of at least 40 bytes (larger V4/V5
// headers are skipped, their masks used), width above 0, height not 0,
// 1/4/8/16/24/32 bits, uncompressed or BI_BITFIELDS (16 and 32 bits only),
// and all of header, masks, table and pixels inside the bytes. A 32-bit DIB
// of width × rows must stay within kMaxImagePixelBytes.
bool parse_dib(const Bytes& dib, DibLayout& out);

// The picture as rows top-down, 4 bytes a pixel in blue, green, red, alpha
// order, alpha always 255. Table indices past the table give black.
// 16-bit DIBs are not expanded (false), nor anything parse_dib refuses.
bool dib_to_bgra(const Bytes& dib, std::vector<std::uint8_t>& pixels, std::uint32_t& width, std::uint32_t& height);

// A DIB as this program writes them: 40-byte header, 32 bits, no table,
// rows bottom-up, taken from top-down BGRA rows (alpha forced to 255).
Bytes make_dib32(const std::uint8_t* top_down_bgra, std::uint32_t width, std::uint32_t height);
