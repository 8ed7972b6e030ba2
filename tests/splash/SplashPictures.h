#pragma once

#include "splash/PictureFile.h"
#include "splash/SplashSource.h"
#include "support/TestFiles.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace brimble::test {

// A picture whose every pixel comes from colour(x, y), with channels 3 (RGB) or 4 (RGBA).
using PixelFunction = std::function<std::array<std::uint8_t, 4>(int x, int y)>;
Picture MakePicture(int width, int height, int channels, const PixelFunction& colour);
Picture SolidPicture(int width, int height, Rgb colour);

// An encoded picture file; fails the test when the encoder refuses.
Bytes Encode(const Picture& picture, PictureFormat format, int jpegQuality = 90);

// A GIF with one global palette of up to 256 colours and one or more frames, each a
// rectangle of palette indices on the logical screen.
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    int transparentIndex = -1; // none
};
Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<Rgb>& palette, const std::vector<GifFrame>& frames);

// An uncompressed BMP with a palette (1, 4 or 8 bits a pixel), rows stored bottom-up as usual.
// indices holds width x height palette indices from the top row; pixelOffset, when not 0,
// replaces the true offset of the pixel data in the header.
Bytes MakePaletteBmp(int width, int height, int bitsPerPixel, const std::vector<Rgb>& palette,
                     const std::vector<std::uint8_t>& indices, std::uint32_t pixelOffset = 0);

// The splash pixel at (x, y) as stored: 16 bits, little-endian.
std::uint16_t PixelAt(std::span<const std::uint8_t> splash, int x, int y);

// How many of the 240 x 160 splash pixels differ from expected(x, y); a negative expectation
// leaves that pixel out.
int CountWrong(std::span<const std::uint8_t> splash, const std::function<int(int x, int y)>& expected);

// The 5-bit level of an 8-bit channel worked out on its own: c * 31 / 255, rounded.
std::uint16_t Level(int channel);
std::uint16_t Gba(int red, int green, int blue);

// Offset of the first occurrence of the text in the bytes; fails the test when absent.
std::size_t Find(const Bytes& bytes, std::string_view text);

} // namespace brimble::test
