#include "win32/SplashToolTip.h"

#include <gtest/gtest.h>

namespace brimble::test {
namespace {

// Draws the picture into a bitmap and reads back the colour of a screen pixel.
COLORREF DrawnAt(const win32::SplashToolTipPicture& shown, UINT dpi, int x, int y) {
    const SIZE size = shown.ClientSize(dpi);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT client{0, 0, size.cx, size.cy};
    shown.Draw(dc, client, dpi);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

TEST(SplashToolTip, ShowsThePicturesColoursPixelForPixelAndDoubledFrom192Dpi) {
    Picture picture;
    picture.width = 240;
    picture.height = 160;
    picture.pixels.assign(240 * 160 * 3, 0);
    // The pixel at (10, 20) is orange; the others black.
    const std::size_t at = (20 * 240 + 10) * 3;
    picture.pixels[at] = 0xF0;
    picture.pixels[at + 1] = 0x80;
    picture.pixels[at + 2] = 0x10;
    win32::SplashToolTipPicture shown;
    shown.Set(picture);

    const SIZE normal = shown.ClientSize(96);
    const int margin = (normal.cx - 240) / 2;
    EXPECT_EQ(normal.cy, 160 + 2 * margin);
    EXPECT_EQ(DrawnAt(shown, 96, margin + 10, margin + 20), RGB(0xF0, 0x80, 0x10));
    EXPECT_EQ(DrawnAt(shown, 96, margin + 11, margin + 20), RGB(0, 0, 0));
    const SIZE doubled = shown.ClientSize(192);
    EXPECT_EQ(doubled.cx, 480 + 2 * margin);
    EXPECT_EQ(DrawnAt(shown, 192, margin + 21, margin + 41), RGB(0xF0, 0x80, 0x10));
}

} // namespace
} // namespace brimble::test
