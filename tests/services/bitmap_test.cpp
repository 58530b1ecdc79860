#include "services/bitmap.h"
#include "services/dib.h"
#include "services/handles.h"
#include "services/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A 32-bit bottom-up DIB of one colour (blue, green, red).
Bytes solid_dib(std::uint32_t w, std::uint32_t h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    std::vector<std::uint8_t> px(size_t(w) * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) px[i] = b, px[i + 1] = g, px[i + 2] = r, px[i + 3] = 0;
    return make_dib32(px.data(), w, h);
}

SIZE size_of(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    return {info.bmWidth, info.bmHeight};
}

// The pixel at (x, y) from the top, as blue, green, red, alpha.
std::uint32_t pixel_of(HBITMAP bitmap, int x, int y) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) return 0;
    const int h = section.dsBm.bmHeight;
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    std::uint32_t value;
    std::memcpy(&value, bits + size_t(h - 1 - y) * section.dsBm.bmWidthBytes + size_t(x) * 4, 4);
    return value;
}

}  // namespace

TEST(DibToBitmap, FitsTheBoxKeepingProportions) {
    const Bytes dib = solid_dib(100, 50, 0x10, 0x20, 0x30);
    struct Case {
        int box_w, box_h;
        bool force;
        LONG w, h;
    } cases[] = {
        {340, 200, true, 340, 170},  // forced: enlarged to fill the box
        {340, 200, false, 100, 50},  // small enough: kept as it is
        {50, 50, false, 50, 25},
        {0, 0, true, 100, 50},  // no box: the scale falls back to 1
    };
    for (const auto& c : cases) {
        ScopedBitmap bitmap(dib_to_bitmap(dib, c.box_w, c.box_h, c.force));
        ASSERT_TRUE(bitmap) << c.box_w << "x" << c.box_h;
        const SIZE size = size_of(bitmap.get());
        EXPECT_EQ(size.cx, c.w) << c.box_w << "x" << c.box_h << " force " << c.force;
        EXPECT_EQ(size.cy, c.h) << c.box_w << "x" << c.box_h << " force " << c.force;
    }
    ScopedBitmap thin(dib_to_bitmap(solid_dib(2000, 10, 1, 2, 3), 100, 100, false));
    ASSERT_TRUE(thin);
    EXPECT_EQ(size_of(thin.get()).cx, 100);
    EXPECT_EQ(size_of(thin.get()).cy, 1);  // never below one pixel

    ScopedBitmap same(dib_to_bitmap(dib, 100, 50, false));
    EXPECT_EQ(pixel_of(same.get(), 3, 3), 0xFF302010u);  // colours kept, alpha made opaque
}

TEST(DibToBitmap, PalettedAndTopDownPicturesKeepTheirColours) {
    // 8-bit, 2 x 2, top-down, two table entries: top row red, bottom row green.
    Bytes dib(40 + 8 + 8, 0);
    const std::int32_t header[] = {40, 2, -2};
    std::memcpy(dib.data(), header, sizeof(header));
    dib[12] = 1, dib[14] = 8, dib[32] = 2;
    const std::uint8_t table[] = {0, 0, 255, 0, 0, 255, 0, 0};  // red, green (blue-green-red order)
    std::memcpy(dib.data() + 40, table, 8);
    const std::uint8_t rows[] = {0, 0, 0, 0, 1, 1, 0, 0};
    std::memcpy(dib.data() + 48, rows, 8);
    ScopedBitmap bitmap(dib_to_bitmap(dib, 10, 10, false));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixel_of(bitmap.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixel_of(bitmap.get(), 1, 1), 0xFF00FF00u);
}

TEST(DibToBitmap, RefusesBrokenAndAbsurdDibs) {
    Bytes dib = solid_dib(4, 4, 1, 2, 3);
    EXPECT_FALSE(ScopedBitmap(dib_to_bitmap({}, 10, 10, false)));
    EXPECT_FALSE(ScopedBitmap(dib_to_bitmap(Bytes(dib.begin(), dib.end() - 1), 10, 10, false)));
    Bytes huge = dib;
    const std::int32_t side = 60000;
    std::memcpy(huge.data() + 4, &side, 4);
    std::memcpy(huge.data() + 8, &side, 4);
    EXPECT_FALSE(ScopedBitmap(dib_to_bitmap(huge, 10, 10, false)));
    // Pictures fine on their own that would be enlarged past what we allow.
    EXPECT_FALSE(ScopedBitmap(dib_to_bitmap(solid_dib(1, 1, 0, 0, 0), 100000, 100000, true)));
}

TEST(ImageToThumbnail, TakesPngAndDib) {
    const Bytes dib = solid_dib(30, 20, 0x40, 0x50, 0x60);
    Bytes png;
    ASSERT_TRUE(dib_to_png(dib, png));
    EXPECT_TRUE(is_png(png));
    ScopedBitmap from_png(image_to_thumbnail(png, 15, 15, false));
    ScopedBitmap from_dib(image_to_thumbnail(dib, 15, 15, false));
    ASSERT_TRUE(from_png && from_dib);
    EXPECT_EQ(size_of(from_png.get()).cx, 15);
    EXPECT_EQ(size_of(from_png.get()).cy, 10);
    EXPECT_EQ(pixel_of(from_png.get(), 7, 5), 0xFF605040u);
    Bytes not_png = png;
    not_png.resize(30);
    EXPECT_FALSE(ScopedBitmap(image_to_thumbnail(not_png, 15, 15, false)));

    Bytes back;
    ASSERT_TRUE(png_to_dib(png, back));
    Bytes expected = dib;
    for (size_t i = 40 + 3; i < expected.size(); i += 4) expected[i] = 255;
    EXPECT_EQ(back, expected);
}

TEST(AppIcon, IsASquareIconOfTheAskedSize) {
    for (int size : {16, 32, 48}) {
        ScopedIcon icon(make_app_icon(size));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        ScopedBitmap mask(info.hbmMask), color(info.hbmColor);
        BITMAP bm{};
        GetObjectW(color ? color.get() : mask.get(), sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_TRUE(info.fIcon);
    }
}
