// The splash loader: raw files, pictures converted for the GBA screen, and files refused.
#include "splash/SplashSource.h"

#include "catalogue/Crc32.h"
#include "splash/DecoderGuards.h"
#include "support/TestFiles.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using Pixel = std::array<std::uint8_t, 4>;

// A picture file whose every pixel comes from colour(x, y), with channels 3 (RGB) or 4 (RGBA).
Bytes Encoded(int width, int height, int channels, const std::function<Pixel(int x, int y)>& colour,
              PictureFormat format = PictureFormat::Png) {
    Picture picture{width, height, channels, {}};
    for (int i = 0; i < width * height; ++i) {
        const Pixel pixel = colour(i % width, i / width);
        picture.pixels.insert(picture.pixels.end(), pixel.begin(), pixel.begin() + channels);
    }
    return EncodePicture(picture, format, 95);
}

// Made-up pixels that compress poorly.
Picture Noise(int width, int height, int channels = 3) {
    return {width, height, channels, test::PatternBytes(static_cast<std::size_t>(width * height * channels), 5)};
}

// A GIF of one pixel in the given colour: a palette of two, then the LZW codes clear, 1, end.
Bytes OnePixelGif(Rgb colour) {
    return {'G',         'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0,    0,    0, colour.red, colour.green,
            colour.blue, 0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x4C, 0x01, 0, 0x3B};
}

using Segment = std::pair<std::uint8_t, Bytes>; // a JPEG marker and what follows its length

Bytes Jpeg(std::initializer_list<Segment> segments, Bytes end = {0xFF, 0xD9}) {
    Bytes file{0xFF, 0xD8};
    for (const auto& [marker, body] : segments) {
        file.insert(file.end(), {0xFF, marker, 0, static_cast<std::uint8_t>(body.size() + 2)}); // all short
        file.insert(file.end(), body.begin(), body.end());
    }
    file.insert(file.end(), end.begin(), end.end());
    return file;
}

void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int count, bool bigEndian = false) {
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<std::size_t>(bigEndian ? count - 1 - i : i)] = static_cast<std::uint8_t>(value >> 8 * i);
}

// A BMP one row high with a palette of `palette` colours (as its pixel offset gives it), in the
// older 12-byte header or the 40-byte one.
Bytes PaletteBmp(int header, int bits, int palette, std::uint32_t width, const Bytes& pixels) {
    const int side = header == 12 ? 2 : 4; // of the width and the height
    Bytes bmp(static_cast<std::size_t>(header == 12 ? 38 + 3 * palette : 54 + 4 * palette), 0);
    Put(bmp, 0, 'B' | 'M' << 8, 2);
    Put(bmp, 10, static_cast<std::uint32_t>(bmp.size()), 4);
    Put(bmp, 14, static_cast<std::uint32_t>(header), 4);
    Put(bmp, 18, width, side);
    Put(bmp, 18 + side, 1, side);
    Put(bmp, 18 + 2 * side, 1u | static_cast<std::uint32_t>(bits) << 16, 4); // one plane
    bmp.insert(bmp.end(), pixels.begin(), pixels.end());
    return bmp;
}

// A tiny real file whose header claims another size, its checksum mended.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height, int channels = 3) {
    Bytes png = EncodePicture(Noise(1, 1, channels), PictureFormat::Png);
    Put(png, 16, width, 4, true);
    Put(png, 20, height, 4, true);
    Put(png, 29, Crc32(std::span(png).subspan(12, 17)), 4, true);
    return png;
}

TEST(SplashFiles, RawFilesAreTakenUnchangedOthersGiveTheWrongFormatWarningAndNoFileMeansNoSplash) {
    Bytes raw = test::PatternBytes(kSplashSize, 7);
    raw[1] |= 0x80; // bit 15 set: not a colour, but a raw file is not looked into
    const Bytes png = EncodePicture(Noise(240, 160), PictureFormat::Png);
    Bytes rawPng = png, badChecksum = png, hugeChunk = png;
    rawPng.resize(kSplashSize - 2, 0x55);
    const std::size_t idat = 33; // the encoder writes the data straight after the header
    badChecksum[idat + 28] ^= 0x01;
    Put(hugeChunk, idat, 0x7FFFFFF0, 4, true);
    const Bytes jpeg = EncodePicture(Noise(240, 160), PictureFormat::Jpeg);
    const Bytes gif = OnePixelGif(Rgb{1, 2, 3});
    Bytes noFrame(gif.begin(), gif.begin() + 19);
    noFrame.push_back(0x3B);
    // A 240 x 160 GIF cut in its codes, each byte 0x04, which the decoder would read on for ever.
    Bytes cutCodes(gif.begin(), gif.begin() + 30);
    cutCodes[6] = cutCodes[24] = 240;
    cutCodes[8] = cutCodes[26] = 160;
    cutCodes.push_back(255);
    cutCodes.resize(200, 0x04);
    const std::string cut = "the picture is cut short", damaged = "the picture is damaged (";
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(raw.begin(), raw.end() - 3), ""}, // "": a raw splash
        {raw, ""},
        {rawPng, ""},
        {{}, "neither a raw splash of 76800 bytes (it holds 0) nor a PNG, JPEG, BMP or GIF picture"},
        {Bytes(png.begin(), png.end() - 12), cut},
        {Bytes(png.begin(), png.begin() + 20), cut},
        {PngClaiming(2, 2), damaged}, // its data holds one pixel
        {badChecksum, damaged + "a chunk whose checksum does not match"},
        {PngClaiming(0, 5), damaged + "it claims 0 x 5 pixels)"},
        {PngClaiming(200, 200, 4), damaged + "more pixels than its compressed data can hold)"},
        {hugeChunk, cut},
        {Bytes(jpeg.begin(), jpeg.end() - 2), cut},
        {Jpeg({{0xC4, {0x00, 200, 200}}}), damaged + "a Huffman table of more than 256 codes)"},
        {PaletteBmp(40, 8, 2, 4, {1, 0, 1, 2}), damaged + "a pixel whose colour lies beyond the"},
        {PaletteBmp(40, 8, 2, 240, {}), cut}, // no pixels
        {Bytes(gif.begin(), gif.begin() + 18), cut},
        {cutCodes, cut},
        {noFrame, damaged},
        {PngClaiming(16385, 1), "the picture is 16385 x 1 pixels; a splash picture may be at most 16384 on a side"},
        {PngClaiming(1, 20000), "the picture is 1 x 20000 pixels; a splash picture may be at most 16384 on a side"},
        {PngClaiming(8001, 8000), "the picture is 8001 x 8000 pixels (64 megapixels); a splash picture may have at"},
        {PngClaiming(8000, 8000), damaged + "it claims 8000 x 8000 pixels, more than "},
    };
    test::TempDir dir;
    for (const auto& [bytes, reason] : cases) {
        test::WriteFile(dir / "splash.png", bytes);
        const SplashData splash = LoadSplash(dir / "splash.png");
        EXPECT_EQ(splash.status, reason.empty() ? SplashData::Status::Ready : SplashData::Status::WrongFormat);
        EXPECT_EQ(splash.reason.find(reason), 0u) << reason << ": " << splash.reason;
        EXPECT_EQ(PreviewSplash(dir / "splash.png").reason, splash.reason) << reason;
        Bytes padded = bytes;
        padded.resize(reason.empty() ? kSplashSize : 0, 0);
        EXPECT_EQ(splash.bytes, padded) << bytes.size();
    }
    EXPECT_TRUE(SplashToPicture(Bytes(raw.begin(), raw.end() - 2)).pixels.empty());
    EXPECT_FALSE(WritePictureFile(dir / "short.png", Picture{4, 4, 3, Bytes(47)}, PictureFormat::Png));
    EXPECT_FALSE(fs::exists(dir / "short.png"));
    std::ofstream(dir / "huge.png", std::ios::binary) << "\x89PNG";
    fs::resize_file(dir / "huge.png", kMaxPictureFileSize + 1);
    EXPECT_EQ(LoadSplash(dir / "huge.png").reason, "the file holds 67108865 bytes; a picture may hold at most 64 MiB");
    // Where the file cannot be opened, the reason is the file's; here only that it is passed on.
    for (const auto& [path, reason] : {std::pair{fs::path(), "no splash file is named"},
                                       {dir / "missing.png", "cannot be opened (No such file or directory)"}}) {
        EXPECT_EQ(LoadSplash(path).status, SplashData::Status::Absent) << path;
        EXPECT_EQ(LoadSplash(path).reason, reason);
    }
}

// Headers the decoder would act on wrongly; each guard reads only the bytes it is given.
TEST(DecoderGuards, TablesThatAreNeverDefinedAndPixelsBeyondThePaletteAreDamage) {
    constexpr std::string_view kBeyond = "damaged (a pixel whose colour lies beyond the palette)";
    constexpr std::string_view kNoTable = "damaged (a scan that uses a table the file never defines)";
    constexpr std::string_view kNoScan = "damaged (a part of the picture that no scan holds)";
    const auto dht = [](std::uint8_t t) {
        return Segment{0xC4, {t, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    };
    Bytes quant16(129, 0); // one table of 16-bit values
    quant16[0] = 0x10;
    const Segment quant{0xDB, Bytes(65, 0)};
    const auto frame = [](std::uint8_t marker) { return Segment{marker, {8, 0, 1, 0, 1, 1, 1, 0x11, 0}}; }; // one part
    const auto scan = [](std::uint8_t tables, std::uint8_t approximation = 0) {
        return Segment{0xDA, {1, 1, tables, 0, 63, approximation}};
    };
    const Bytes endsInFf = Jpeg({frame(0xC0)}, {0xFF, 0xC4}); // a marker in the byte after the end
    EXPECT_EQ(JpegFault(std::span(endsInFf).first(endsInFf.size() - 1)), kNoScan);
    const std::pair<Bytes, std::string_view> cases[] = {
        // A progressive file's first scan of the DC values (approximation high 0, low 8) fills its part.
        {Jpeg({quant, dht(0x00), frame(0xC2), scan(0x00, 0x08)}), ""},
        {Jpeg({{0xDB, quant16}, frame(0xC0)}), kNoScan},
        {Jpeg({dht(0x00), dht(0x10), frame(0xC0), scan(0x00)}), kNoTable},
        // DC table 3 is defined, AC table 1 is not (AC table 0 is).
        {Jpeg({quant, dht(0x03), dht(0x10), frame(0xC0), scan(0x31)}), kNoTable},
        {PaletteBmp(12, 8, 2, 1, {2}), kBeyond},
        {PaletteBmp(40, 4, 3, 4, {0x12, 0x03}), kBeyond},
        {PaletteBmp(40, 1, -1, 1, {0}), kBeyond},
        {PaletteBmp(40, 8, 2, 4, {1, 0, 1, 0, 2}), ""}, // what follows the last row is no pixel
        {PaletteBmp(40, 8, 2, 65535, {2}), kBeyond},
        {PaletteBmp(64, 8, 2, 4, {1, 0, 1, 2}), ""}, // a header size the decoder does not take
    };
    for (const auto& [file, fault] : cases)
        EXPECT_EQ((file[0] == 'B' ? BmpFault : JpegFault)(file), fault) << file.size();
}

using PixelCheck = std::function<bool(int x, int y, int stored)>; // is the stored pixel right

// How many of the 240 x 160 pixels of the splash made from the file fail the check.
int CountWrong(const Bytes& file, const PixelCheck& right) {
    const SplashData splash = ConvertPicture(file);
    int wrong = splash.bytes.size() == kSplashSize ? 0 : -1;
    for (int p = 0; wrong >= 0 && p < kSplashWidth * kSplashHeight; ++p)
        wrong += !right(p % kSplashWidth, p / kSplashWidth, splash.bytes[2 * p] | splash.bytes[2 * p + 1] << 8);
    return wrong;
}

// The colour as stored, each channel's 5-bit level worked out on its own: c * 31 / 255, rounded.
int Gba(int red, int green, int blue) {
    const auto level = [](int c) { return static_cast<int>(std::lround(c * 31.0 / 255.0)); };
    return level(red) | (level(green) << 5) | (level(blue) << 10);
}

// A screen-sized picture is taken pixel for pixel; other sizes are scaled in linear light.
TEST(ConvertPicture, PicturesAreScaledToFitAndCentredAndTransparencyIsLaidOverBlack) {
    const auto known = [](int x, int y) {
        return Pixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y + 60), static_cast<std::uint8_t>(x * y),
                     static_cast<std::uint8_t>(y == 10 ? x : 255)};
    };
    const PixelCheck exact = [](int x, int y, int stored) { return stored == Gba(x, y + 60, x * y & 255); };
    const PixelCheck overBlack = [&](int x, int y, int stored) {
        const Pixel p = known(x, y);
        const auto over = [&](int c) { return static_cast<int>(std::lround(c * p[3] / 255.0)); };
        return stored == Gba(over(p[0]), over(p[1]), over(p[2]));
    };
    const auto solid = [](Pixel colour) { return [=](int, int) { return colour; }; };
    const auto box = [](Pixel c, int left, int top, int right, int bottom) -> PixelCheck {
        return [=](int x, int y, int stored) {
            return stored == (x >= left && x < right && y >= top && y < bottom ? Gba(c[0], c[1], c[2]) : 0);
        };
    };
    // A one-pixel checkerboard of black and white gives half the light: 188 of 255, level 23,
    // not the level 15 or 16 of averaging the stored numbers. Small and large reductions take
    // different ways through the scaler; the outermost pixels see the edge repeated beyond it.
    const auto checkers = [](int x, int y) { return (x + y) % 2 ? Pixel{255, 255, 255, 255} : Pixel{0, 0, 0, 255}; };
    const PixelCheck grey = [](int x, int y, int s) { return x % 239 == 0 || y % 159 == 0 || s == 23 * 0x421; };
    // 2410 x 1607 is reduced in blocks of 5, the last row of blocks short.
    const auto quarters = [](int x, int y) {
        return y < 804 ? Pixel{255, 0, 0, 255} : x < 1205 ? Pixel{0, 0, 255, 255} : Pixel{0, 255, 0, 255};
    };
    const PixelCheck quartersShown = [](int x, int y, int stored) {
        const bool seam = (y >= 78 && y < 83) || (y >= 83 && x >= 118 && x < 123);
        return seam || stored == (y < 80 ? 0x001F : (x < 120 ? 0x7C00 : 0x03E0));
    };
    // Scaled, the hidden colour of transparent pixels (green) does not bleed into opaque red.
    const auto halves = [](int x, int) { return x < 240 ? Pixel{255, 0, 0, 255} : Pixel{0, 255, 0, 0}; };
    const PixelCheck redThenBlack = [](int x, int, int s) { return s == (x < 118 ? 0x1F : x >= 122 ? 0 : s & 0x1F); };
    const Pixel colour{200, 100, 50, 255};
    const Pixel white{255, 255, 255, 255};
    const std::pair<Bytes, PixelCheck> cases[] = {
        {Encoded(240, 160, 3, known), exact},
        {Encoded(240, 160, 3, known, PictureFormat::Bmp), exact},
        {Encoded(240, 160, 4, known), overBlack},
        {Encoded(300, 100, 3, solid(colour)), box(colour, 0, 40, 240, 120)},
        {Encoded(100, 300, 3, solid(colour)), box(colour, 93, 0, 146, 160)},
        {Encoded(16384, 1, 3, solid(colour)), box(colour, 0, 79, 240, 80)},
        {OnePixelGif(Rgb{200, 100, 50}), box(colour, 40, 0, 200, 160)},
        {Encoded(480, 320, 3, solid(white), PictureFormat::Jpeg), box(white, 0, 0, 240, 160)},
        {Encoded(480, 320, 3, checkers, PictureFormat::Bmp), grey},
        {Encoded(2400, 1600, 3, checkers, PictureFormat::Bmp), grey},
        {Encoded(2410, 1607, 3, quarters, PictureFormat::Bmp), quartersShown},
        {Encoded(480, 320, 4, halves), redThenBlack},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(CountWrong(cases[i].first, cases[i].second), 0) << i;
}

} // namespace
} // namespace brimble
