#pragma once
// Pixels of what windows paint, for tests that look at colours and for the
// screenshots of the user interface: an off-screen 32-bit image that a
// window paints into (WM_PRINTCLIENT) or that is copied from the screen,
// readable pixel by pixel and writable as a PNG file.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class PixelImage {
public:
    PixelImage(int width, int height, COLORREF fill = RGB(255, 0, 255));
    ~PixelImage();
    PixelImage(const PixelImage&) = delete;
    PixelImage& operator=(const PixelImage&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // A memory DC with the image selected, to draw into.
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const;
    // How many pixels of a rectangle have exactly this colour.
    int count(const RECT& rect, COLORREF color) const;
    bool save_png(const std::wstring& path) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;  // top-down BGRA
};

// What a window's client area paints through WM_PRINTCLIENT.
void print_client(HWND window, PixelImage& image, int x = 0, int y = 0);
// A copy of a rectangle of the screen (as the user sees it).
void capture_screen(const RECT& screen_rect, PixelImage& image, int x = 0, int y = 0);

}  // namespace testsupport
