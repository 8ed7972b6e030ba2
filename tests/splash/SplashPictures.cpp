#include "splash/SplashPictures.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace brimble::test {

Picture MakePicture(int width, int height, int channels, const PixelFunction& colour) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                           static_cast<std::size_t>(channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto pixel = colour(x, y);
            picture.pixels.insert(picture.pixels.end(), pixel.begin(), pixel.begin() + channels);
        }
    }
    return picture;
}

Picture SolidPicture(int width, int height, Rgb colour) {
    return MakePicture(width, height, 3, [&](int, int) {
        return std::array<std::uint8_t, 4>{colour.red, colour.green, colour.blue, 255};
    });
}

Bytes Encode(const Picture& picture, PictureFormat format, int jpegQuality) {
    Bytes bytes = EncodePicture(picture, format, jpegQuality);
    if (bytes.empty())
        throw std::runtime_error("the picture could not be encoded");
    return bytes;
}

namespace {

void Put16(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// LZW data that only ever uses literal codes: 9 bits wide with 8-bit pixels, and a clear code
// often enough that the decoder's table never makes the codes wider.
Bytes LzwLiterals(const std::vector<std::uint8_t>& indices) {
    constexpr unsigned kClear = 256;
    constexpr unsigned kEnd = 257;
    Bytes packed;
    std::uint32_t bits = 0;
    int bitCount = 0;
    auto put = [&](unsigned code) {
        bits |= code << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 200 == 0)
            put(kClear);
        put(indices[i]);
    }
    put(kEnd);
    if (bitCount > 0)
        packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));

    Bytes blocks;
    blocks.push_back(8); // minimum code size
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, packed.size() - at);
        blocks.push_back(static_cast<std::uint8_t>(length));
        blocks.insert(blocks.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                      packed.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    blocks.push_back(0);
    return blocks;
}

} // namespace

Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<Rgb>& palette, const std::vector<GifFrame>& frames) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, screenWidth);
    Put16(out, screenHeight);
    out.push_back(0xF7); // a global palette of 256 entries
    out.push_back(0);    // background index
    out.push_back(0);    // pixel aspect
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb colour = i < palette.size() ? palette[i] : Rgb{};
        out.insert(out.end(), {colour.red, colour.green, colour.blue});
    }
    for (const GifFrame& frame : frames) {
        if (frame.transparentIndex >= 0) {
            out.insert(out.end(),
                       {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<std::uint8_t>(frame.transparentIndex), 0x00});
        }
        out.push_back(0x2C);
        Put16(out, frame.left);
        Put16(out, frame.top);
        Put16(out, frame.width);
        Put16(out, frame.height);
        out.push_back(0);
        const Bytes data = LzwLiterals(frame.indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

Bytes MakePaletteBmp(int width, int height, int bitsPerPixel, const std::vector<Rgb>& palette,
                     const std::vector<std::uint8_t>& indices, std::uint32_t pixelOffset) {
    auto put32 = [](Bytes& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitsPerPixel + 7) / 8;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const auto offset = static_cast<std::uint32_t>(14 + 40 + palette.size() * 4);
    Bytes out = {'B', 'M'};
    put32(out, static_cast<std::uint32_t>(offset + stride * height));
    put32(out, 0);
    put32(out, pixelOffset ? pixelOffset : offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, bitsPerPixel);
    for (int i = 0; i < 6; ++i)
        put32(out, 0); // no compression, sizes and counts left to the reader
    for (const Rgb& colour : palette)
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * bitsPerPixel;
            const unsigned index = indices[static_cast<std::size_t>(y) * width + x];
            row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bitsPerPixel - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::uint16_t PixelAt(std::span<const std::uint8_t> splash, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * kSplashWidth + static_cast<std::size_t>(x)) * 2;
    return static_cast<std::uint16_t>(splash[at] | (splash[at + 1] << 8));
}

int CountWrong(std::span<const std::uint8_t> splash, const std::function<int(int x, int y)>& expected) {
    int wrong = 0;
    for (int y = 0; y < kSplashHeight; ++y) {
        for (int x = 0; x < kSplashWidth; ++x) {
            const int want = expected(x, y);
            wrong += want >= 0 && PixelAt(splash, x, y) != want;
        }
    }
    return wrong;
}

std::uint16_t Level(int channel) {
    return static_cast<std::uint16_t>(std::lround(channel * 31.0 / 255.0));
}

std::uint16_t Gba(int red, int green, int blue) {
    return static_cast<std::uint16_t>(Level(red) | (Level(green) << 5) | (Level(blue) << 10));
}

std::size_t Find(const Bytes& bytes, std::string_view text) {
    const auto it = std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                                [](std::uint8_t byte, char c) { return byte == static_cast<std::uint8_t>(c); });
    if (it == bytes.end())
        throw std::runtime_error("marker not found");
    return static_cast<std::size_t>(it - bytes.begin());
}

} // namespace brimble::test
