#pragma once
// A picture of the screen in memory: a 32-bit top-down DIB (40-byte header,
// then rows of blue, green, red, alpha with no gap) with the screen position
// of its top-left pixel. The same bytes go to the clipboard or the PNG
// encoder unchanged. Pure: no screen is needed to crop one.

#include "screenshot/shot_geometry.h"
#include "services/encoding.h"

#include <cstdint>

struct CapturedImage {
    Bytes dib;  // empty when ok is false
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t left = 0;  // screen x of column 0 (negative left of the primary monitor)
    std::int32_t top = 0;   // screen y of row 0
    bool ok = false;
};

inline constexpr std::uint32_t kCaptureHeaderBytes = 40;

// The bytes a picture of width × height takes with its header, or 0 when
// either side is below 1 or the pixels would pass the image size limit.
std::uint64_t capture_dib_bytes(std::int32_t width, std::int32_t height);

// A DIB of width × height with its header written and every pixel zero;
// empty when capture_dib_bytes refuses the size.
Bytes make_capture_dib(std::int32_t width, std::int32_t height);

// Sets the alpha byte of every pixel after the header to 255: screen copies
// come back with alpha 0 on some systems, which would make a transparent PNG.
void make_opaque(std::uint8_t* pixels, std::uint64_t pixel_count);

// Whether the record's bytes really hold what its size says.
bool capture_is_consistent(const CapturedImage& image);

// The part of image inside rect (screen coordinates), pixels copied exactly.
// Not ok for a picture that is not ok or not consistent, and for an empty
// intersection.
CapturedImage crop_capture(const CapturedImage& image, const EdgeRect& rect);

// A picture's pixels where they already lie (rows top-down, four bytes a
// pixel, no gap), with the screen place of the first one.
struct PixelView {
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0, height = 0;
    std::int32_t left = 0, top = 0;
};
// crop_capture of pixels that are not in a CapturedImage; not ok without
// pixels or for a size capture_dib_bytes refuses.
CapturedImage crop_pixels(const PixelView& view, const EdgeRect& rect);
