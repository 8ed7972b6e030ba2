// The splash loader: raw files, pictures converted for the GBA screen, and files refused.
#include "splash/SplashSource.h"

#include "catalogue/Crc32.h"
#include "support/TestFiles.h"

#include <algorithm>
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

// A picture whose every pixel comes from colour(x, y), with channels 3 (RGB) or 4 (RGBA).
Picture MakePicture(int width, int height, int channels, const std::function<Pixel(int x, int y)>& colour) {
    Picture picture{width, height, channels, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = colour(x, y);
            picture.pixels.insert(picture.pixels.end(), pixel.begin(), pixel.begin() + channels);
        }
    }
    return picture;
}

Picture Pattern(int width, int height, int channels = 3) {
    return MakePicture(width, height, channels, [](int x, int y) {
        return Pixel{static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 5),
                     static_cast<std::uint8_t>(x ^ y), 4};
    });
}

// A GIF of one pixel in the given colour: a palette of two, then the LZW codes clear, 1, end.
Bytes OnePixelGif(Rgb colour) {
    return {'G',         'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0,    0,    0, colour.red, colour.green,
            colour.blue, 0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x4C, 0x01, 0, 0x3B};
}

// The encoder's 24-bit BMP of a 16 x 8 picture relabelled as one with a palette: its pixels
// then read as indices, many of them past a palette of three.
Bytes PaletteBmp(std::uint8_t bitsPerPixel, std::uint8_t pixelOffset) {
    Bytes bmp = EncodePicture(Pattern(16, 8), PictureFormat::Bmp);
    bmp[10] = pixelOffset;
    bmp[28] = bitsPerPixel;
    return bmp;
}

std::size_t Find(const Bytes& bytes, std::string_view text) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()).find(text);
}

Bytes Head(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

void PutBe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}

// Sets the checksum of the PNG chunk that starts at `chunk` to match its bytes again.
Bytes FixChecksum(Bytes png, std::size_t chunk) {
    const std::size_t length =
        (std::size_t{png[chunk + 1]} << 16) | (std::size_t{png[chunk + 2]} << 8) | png[chunk + 3];
    PutBe32(png, chunk + 8 + length, Crc32(std::span(png).subspan(chunk + 4, 4 + length)));
    return png;
}

// A tiny real file whose header then claims another size.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height, int channels = 3) {
    Bytes png = EncodePicture(Pattern(1, 1, channels), PictureFormat::Png);
    PutBe32(png, 16, width); // the header's data starts at 16
    PutBe32(png, 20, height);
    return FixChecksum(png, 8);
}

fs::path Write(const fs::path& path, const Bytes& bytes) {
    test::WriteFile(path, bytes);
    return path;
}

TEST(SplashFiles, RawFilesOfEveryAcceptedSizeAreTakenUnchangedEvenWhenTheyArePictures) {
    test::TempDir dir;
    Bytes raw = test::PatternBytes(kSplashSize, 7);
    raw[1] |= 0x80; // bit 15 set: not a colour, but a raw file is not looked into
    Bytes png = EncodePicture(Pattern(240, 160), PictureFormat::Png);
    png.resize(kSplashSize - 2, 0x55);
    for (const Bytes& file : {Head(raw, 76797), Head(raw, 76798), Head(raw, 76799), raw, png}) {
        const SplashData splash = LoadSplash(Write(dir / "splash.raw", file));
        ASSERT_EQ(splash.status, SplashData::Status::Ready) << file.size() << ": " << splash.reason;
        Bytes expected = file;
        expected.resize(kSplashSize, 0);
        EXPECT_EQ(splash.bytes, expected) << file.size();
    }
    EXPECT_TRUE(SplashToPicture(Head(raw, 76798)).pixels.empty());
    Picture shortOfPixels = Pattern(4, 4);
    shortOfPixels.pixels.pop_back();
    EXPECT_FALSE(WritePictureFile(dir / "short.png", shortOfPixels, PictureFormat::Png));
    EXPECT_FALSE(fs::exists(dir / "short.png"));
}

std::vector<std::pair<Bytes, std::string>> BadFiles() {
    const Bytes png = EncodePicture(Pattern(240, 160), PictureFormat::Png);
    const std::size_t idat = Find(png, "IDAT") - 4;
    Bytes badZlib = png;
    badZlib[idat + 8] = badZlib[idat + 9] = 0xFF;
    Bytes badChecksum = png;
    badChecksum[idat + 28] ^= 0x01;
    Bytes hugeChunk = png;
    PutBe32(hugeChunk, idat, 0x7FFFFFF0);
    const Bytes jpeg = EncodePicture(Pattern(240, 160), PictureFormat::Jpeg);
    // A Huffman table whose code counts add up to more than the 256 a table can hold.
    Bytes tooManyCodes = jpeg;
    const std::size_t table = Find(jpeg, "\xFF\xC4") + 5; // the first table's 16 counts
    tooManyCodes[table + 14] = tooManyCodes[table + 15] = 200;
    Bytes noQuantTable = jpeg; // the first component's table is never defined
    noQuantTable[Find(jpeg, "\xFF\xC0") + 12] = 3;
    Bytes noScan = Head(jpeg, Find(jpeg, "\xFF\xDA"));
    noScan.insert(noScan.end(), {0xFF, 0xD9});
    const Bytes bmp = EncodePicture(Pattern(240, 160), PictureFormat::Bmp);
    const Bytes gif = OnePixelGif(Rgb{1, 2, 3});
    Bytes noFrame = Head(gif, 19);
    noFrame.push_back(0x3B);
    // A 240 x 160 GIF cut in its codes, each byte 0x04, which the decoder would read on for ever.
    Bytes cutCodes = Head(gif, 30);
    cutCodes[6] = cutCodes[24] = 240;
    cutCodes[8] = cutCodes[26] = 160;
    cutCodes.push_back(255);
    cutCodes.resize(200, 0x04);
    return {
        {{}, "neither a raw splash of 76800 bytes (it holds 0) nor a PNG, JPEG, BMP or GIF picture"},
        {Bytes{'t', 'e', 'x', 't'}, "neither a raw splash of 76800 bytes (it holds 4) nor a PNG, JPEG, BMP or GIF"},
        {Head(png, png.size() - 12), "the picture is cut short"},
        {Head(png, 20), "the picture is cut short"},
        {FixChecksum(badZlib, idat), "the picture is damaged ("},
        {badChecksum, "the picture is damaged (a chunk whose checksum does not match"},
        {PngClaiming(0, 5), "the picture is damaged (it claims 0 x 5 pixels)"},
        {PngClaiming(200, 200, 4), "the picture is damaged (more pixels than its compressed data can hold)"},
        {hugeChunk, "the picture is cut short"},
        {Head(jpeg, jpeg.size() - 2), "the picture is cut short"},
        {tooManyCodes, "the picture is damaged (a Huffman table of more than 256 codes)"},
        {noQuantTable, "the picture is damaged (a scan that uses a table the file never defines)"},
        {noScan, "the picture is damaged (a part of the picture that no scan holds)"},
        {PaletteBmp(4, 66), "the picture is damaged (a pixel whose colour lies beyond the palette)"},
        {PaletteBmp(1, 50), "the picture is damaged (a pixel whose colour lies beyond the palette)"},
        {Head(bmp, bmp.size() - 1000), "the picture is cut short"},
        {Head(gif, 18), "the picture is cut short"},
        {cutCodes, "the picture is cut short"},
        {noFrame, "the picture is damaged ("},
        {PngClaiming(16385, 1), "the picture is 16385 x 1 pixels; a splash picture may be at most 16384 on a side"},
        {PngClaiming(1, 20000), "the picture is 1 x 20000 pixels; a splash picture may be at most 16384 on a side"},
        {PngClaiming(8001, 8000), "the picture is 8001 x 8000 pixels (64 megapixels); a splash picture may have at"},
        {PngClaiming(8000, 8000), "the picture is damaged (it claims 8000 x 8000 pixels, more than "},
    };
}

TEST(SplashFiles, DamagedForeignAndHugePicturesGiveTheWrongFormatWarningWithTheirReason) {
    test::TempDir dir;
    for (const auto& [bytes, reason] : BadFiles()) {
        const fs::path path = Write(dir / "bad.png", bytes);
        const SplashData splash = LoadSplash(path);
        EXPECT_EQ(splash.status, SplashData::Status::WrongFormat) << reason;
        EXPECT_EQ(splash.reason.find(reason), 0u) << reason << ": " << splash.reason;
        EXPECT_EQ(PreviewSplash(path).reason, splash.reason) << reason;
    }
}

TEST(SplashFiles, AFileTooLargeForAPictureIsNotReadAndNoFileMeansNoSplash) {
    test::TempDir dir;
    std::ofstream(dir / "huge.png", std::ios::binary) << "\x89PNG";
    fs::resize_file(dir / "huge.png", kMaxPictureFileSize + 1);
    EXPECT_EQ(LoadSplash(dir / "huge.png").reason, "the file holds 67108865 bytes; a picture may hold at most 64 MiB");
    fs::create_directory(dir / "folder.png");
    const std::vector<std::pair<fs::path, std::string>> cases = {
        {fs::path(), "no splash file is named"},
        {dir / "missing.png", "cannot be opened (No such file or directory)"},
        {dir / "folder.png", "is a folder"},
    };
    for (const auto& [path, reason] : cases) {
        const SplashData splash = LoadSplash(path);
        EXPECT_EQ(splash.status, SplashData::Status::Absent) << path;
        EXPECT_EQ(splash.reason, reason);
    }
}

// The splash pixel at (x, y) as stored: 16 bits, little-endian.
std::uint16_t PixelAt(std::span<const std::uint8_t> splash, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * kSplashWidth + static_cast<std::size_t>(x)) * 2;
    return static_cast<std::uint16_t>(splash[at] | (splash[at + 1] << 8));
}

// How many of the 240 x 160 splash pixels differ from expected(x, y); a negative expectation
// leaves that pixel out.
int CountWrong(std::span<const std::uint8_t> splash, const std::function<int(int x, int y)>& expected) {
    int wrong = 0;
    for (int y = 0; y < kSplashHeight; ++y) {
        for (int x = 0; x < kSplashWidth; ++x)
            wrong += expected(x, y) >= 0 && PixelAt(splash, x, y) != expected(x, y);
    }
    return wrong;
}

// The colour as stored, each channel's 5-bit level worked out on its own: c * 31 / 255, rounded.
std::uint16_t Gba(int red, int green, int blue) {
    const auto level = [](int c) { return static_cast<int>(std::lround(c * 31.0 / 255.0)); };
    return static_cast<std::uint16_t>(level(red) | (level(green) << 5) | (level(blue) << 10));
}

Bytes ConvertOrFail(const Bytes& file) {
    SplashData splash = ConvertPicture(file);
    EXPECT_EQ(splash.status, SplashData::Status::Ready) << splash.reason;
    splash.bytes.resize(kSplashSize, 0xEE); // keeps the checks from reading nothing
    return splash.bytes;
}

Picture Solid(int width, int height, Pixel colour, int channels = 3) {
    return MakePicture(width, height, channels, [&](int, int) { return colour; });
}

// An exact screen-sized picture pixel for pixel, whatever the format; transparent pixels laid
// over black.
TEST(ConvertPicture, AScreenSizedPictureIsTakenPixelForPixelAndTransparencyIsLaidOverBlack) {
    const auto known = [](int x, int y) {
        return Pixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y + 60), static_cast<std::uint8_t>(x * y),
                     static_cast<std::uint8_t>(y == 10 ? x : 255)};
    };
    const auto overBlack = [&](int x, int y) {
        const Pixel p = known(x, y);
        const auto over = [&](int c) { return static_cast<int>(std::lround(c * p[3] / 255.0)); };
        return Gba(over(p[0]), over(p[1]), over(p[2]));
    };
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp}) {
        const Bytes splash = ConvertOrFail(EncodePicture(MakePicture(240, 160, 3, known), format));
        EXPECT_EQ(CountWrong(splash, [&](int x, int y) { return Gba(x, y + 60, (x * y) & 255); }), 0);
    }
    const Bytes splash = ConvertOrFail(EncodePicture(MakePicture(240, 160, 4, known), PictureFormat::Png));
    EXPECT_EQ(CountWrong(splash, overBlack), 0);

    // Scaled, the hidden colour of transparent pixels (green) does not bleed into opaque red.
    const Picture halves = MakePicture(480, 320, 4, [](int x, int) {
        return x < 240 ? Pixel{255, 0, 0, 255} : Pixel{0, 255, 0, 0};
    });
    const Bytes scaled = ConvertOrFail(EncodePicture(halves, PictureFormat::Png));
    const auto redThenBlack = [](int x, int) { return x < 118 ? 0x1F : (x >= 122 ? 0 : -1); };
    EXPECT_EQ(CountWrong(scaled, redThenBlack), 0);
    EXPECT_EQ(CountWrong(scaled, [&](int x, int y) { return PixelAt(scaled, x, y) & 0x1F; }), 0);
}

TEST(ConvertPicture, FineDetailShrinksToTheBrightnessItShowsAndColoursKeepToTheEdges) {
    // A one-pixel checkerboard of black and white gives half the light: 188 of 255, level 23,
    // not the level 15 or 16 of averaging the stored numbers. Small and large reductions take
    // different ways through the scaler; the outermost pixels see the edge repeated beyond it.
    for (const auto& [width, height] : {std::pair{480, 320}, std::pair{2400, 1600}, std::pair{2410, 1607}}) {
        const Picture checkers = MakePicture(width, height, 3, [](int x, int y) {
            const auto c = static_cast<std::uint8_t>((x + y) % 2 ? 255 : 0);
            return Pixel{c, c, c, 255};
        });
        const auto inner = [](int x, int y) { return x > 0 && x < 239 && y > 0 && y < 159 ? 23 * 0x421 : -1; };
        EXPECT_EQ(CountWrong(ConvertOrFail(EncodePicture(checkers, PictureFormat::Bmp)), inner), 0) << width;
    }
    // 2410 x 1607 is reduced in blocks of 5, the last row of blocks short.
    const Picture picture = MakePicture(2410, 1607, 3, [](int x, int y) {
        return y < 804 ? Pixel{255, 0, 0, 255} : x < 1205 ? Pixel{0, 0, 255, 255} : Pixel{0, 255, 0, 255};
    });
    const auto quarters = [](int x, int y) {
        const bool seam = (y >= 78 && y < 83) || (y >= 83 && x >= 118 && x < 123);
        return seam ? -1 : (y < 80 ? 0x001F : (x < 120 ? 0x7C00 : 0x03E0));
    };
    EXPECT_EQ(CountWrong(ConvertOrFail(EncodePicture(picture, PictureFormat::Bmp)), quarters), 0);
}

TEST(ConvertPicture, OtherSizesAreScaledToFitAndCentredOnBlack) {
    const Pixel colour{200, 100, 50, 255};
    const Pixel white{255, 255, 255, 255};
    const struct {
        Bytes file;
        Pixel colour;
        int left, top, right, bottom; // where the picture lies on the screen
    } cases[] = {
        {EncodePicture(Solid(300, 100, colour), PictureFormat::Png), colour, 0, 40, 240, 120},
        {EncodePicture(Solid(100, 300, colour), PictureFormat::Png), colour, 93, 0, 146, 160},
        {EncodePicture(Solid(16384, 1, colour), PictureFormat::Png), colour, 0, 79, 240, 80},
        {OnePixelGif(Rgb{200, 100, 50}), colour, 40, 0, 200, 160},
        {EncodePicture(Solid(480, 320, white), PictureFormat::Jpeg, 95), white, 0, 0, 240, 160},
    };
    for (const auto& c : cases) {
        const int inside = Gba(c.colour[0], c.colour[1], c.colour[2]);
        EXPECT_EQ(CountWrong(ConvertOrFail(c.file),
                             [&](int x, int y) {
                                 return x >= c.left && x < c.right && y >= c.top && y < c.bottom ? inside : 0;
                             }),
                  0)
            << c.left << " " << c.top;
    }
}

} // namespace
} // namespace brimble
