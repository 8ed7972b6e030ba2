#include "splash/SplashPictures.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

using test::CountWrong;
using test::Gba;
using test::PixelAt;
using Pixel = std::array<std::uint8_t, 4>;

SplashData ConvertOrFail(const test::Bytes& file) {
    SplashData splash = ConvertPicture(file);
    EXPECT_EQ(splash.status, SplashData::Status::Ready) << splash.reason;
    if (splash.status == SplashData::Status::Ready)
        EXPECT_EQ(splash.bytes.size(), kSplashSize);
    else
        splash.bytes.assign(kSplashSize, 0xEE); // keeps the checks below from reading nothing
    return splash;
}

TEST(GbaColour, EachChannelGoesToTheNearestOf32LevelsInItsOwnBits) {
    for (int c = 0; c < 256; ++c) {
        const auto byte = static_cast<std::uint8_t>(c);
        EXPECT_EQ(ToGbaColour(byte, 0, 0), test::Level(c)) << c;
        EXPECT_EQ(ToGbaColour(0, byte, 0), test::Level(c) << 5) << c;
        EXPECT_EQ(ToGbaColour(0, 0, byte), test::Level(c) << 10) << c;
    }
    // Where the levels change: 4.5 / 31 * 255 = 37.02, so 37 is still level 4.
    EXPECT_EQ(ToGbaColour(4, 5, 37), 0 | (1 << 5) | (4 << 10));
}

// A red first pixel, then a mix that differs in every channel from pixel to pixel.
Pixel KnownPixel(int x, int y) {
    if (x == 0 && y == 0)
        return {255, 0, 0, 255};
    return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y + 60), static_cast<std::uint8_t>(x * y), 255};
}

TEST(ConvertPicture, AnExactScreenSizedPictureIsTakenPixelForPixel) {
    const Picture picture = test::MakePicture(240, 160, 3, KnownPixel);
    test::Bytes expected;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            const Pixel p = KnownPixel(x, y);
            const std::uint16_t colour = Gba(p[0], p[1], p[2]);
            expected.push_back(static_cast<std::uint8_t>(colour & 0xFF));
            expected.push_back(static_cast<std::uint8_t>(colour >> 8));
        }
    }
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp}) {
        const SplashData splash = ConvertOrFail(test::Encode(picture, format));
        EXPECT_EQ(splash.bytes, expected);
        // The first pixel, red, as little-endian bytes.
        EXPECT_EQ(test::Bytes(splash.bytes.begin(), splash.bytes.begin() + 2), (test::Bytes{0x1F, 0x00}));
    }
}

TEST(ConvertPicture, AnRgbaPictureIsLaidOverBlack) {
    const Picture picture = test::MakePicture(240, 160, 4, [](int x, int y) -> Pixel {
        if (y == 10 && x == 10)
            return {255, 255, 255, 128}; // half-transparent white
        if (y == 10 && x == 11)
            return {255, 0, 0, 255};
        if (y == 10 && x == 12)
            return {0, 0, 255, 64};
        return {255, 255, 255, 0}; // white, but fully transparent
    });
    const SplashData splash = ConvertOrFail(test::Encode(picture, PictureFormat::Png));
    EXPECT_EQ(PixelAt(splash.bytes, 10, 10), 16 * 0x421); // 255 * 128 / 255 = 128: level 16
    EXPECT_EQ(PixelAt(splash.bytes, 11, 10), 0x001F);
    EXPECT_EQ(PixelAt(splash.bytes, 12, 10), 8 << 10); // 64: level 8
    EXPECT_EQ(CountWrong(splash.bytes, [](int, int) { return 0; }), 3);
}

TEST(ConvertPicture, TheHiddenColourOfTransparentPixelsDoesNotBleedWhenScaling) {
    // Opaque red on the left, fully transparent green on the right.
    const Picture picture = test::MakePicture(480, 320, 4, [](int x, int) -> Pixel {
        return x < 240 ? Pixel{255, 0, 0, 255} : Pixel{0, 255, 0, 0};
    });
    const SplashData splash = ConvertOrFail(test::Encode(picture, PictureFormat::Png));
    // No green, no blue anywhere; away from the seam each half keeps its colour.
    EXPECT_EQ(CountWrong(splash.bytes, [&](int x, int y) { return PixelAt(splash.bytes, x, y) & 0x1F; }), 0);
    EXPECT_EQ(CountWrong(splash.bytes, [](int x, int) { return x < 118 ? 0x1F : x >= 122 ? 0 : -1; }), 0);
}

TEST(ConvertPicture, FineDetailShrinksToTheBrightnessItShows) {
    // A one-pixel checkerboard of black and white gives half the light: 188 of 255, level 23,
    // not the level 15 or 16 of averaging the stored numbers. Small and large reductions take
    // different ways through the scaler.
    for (const auto& [width, height] : {std::pair{480, 320}, std::pair{2400, 1600}, std::pair{2410, 1607}}) {
        const Picture checkers = test::MakePicture(width, height, 3, [](int x, int y) {
            const auto c = static_cast<std::uint8_t>((x + y) % 2 ? 255 : 0);
            return Pixel{c, c, c, 255};
        });
        const SplashData splash = ConvertOrFail(test::Encode(checkers, PictureFormat::Bmp));
        // The outermost pixels see the edge's own colour repeated beyond it.
        const auto inner = [](int x, int y) { return x > 0 && x < 239 && y > 0 && y < 159 ? 23 * 0x421 : -1; };
        EXPECT_EQ(CountWrong(splash.bytes, inner), 0) << width << " x " << height;
    }
}

TEST(ConvertPicture, ALargePictureKeepsItsColoursToItsEdges) {
    // 2410 x 1607 is reduced in blocks of 5, the last row of blocks short.
    const Picture picture = test::MakePicture(2410, 1607, 3, [](int x, int y) {
        if (y < 804)
            return Pixel{255, 0, 0, 255};
        return x < 1205 ? Pixel{0, 0, 255, 255} : Pixel{0, 255, 0, 255};
    });
    const SplashData splash = ConvertOrFail(test::Encode(picture, PictureFormat::Bmp));
    EXPECT_EQ(CountWrong(splash.bytes,
                         [](int x, int y) {
                             if ((y >= 78 && y < 83) || (y >= 83 && x >= 118 && x < 123))
                                 return -1; // the seams
                             return y < 80 ? 0x001F : (x < 120 ? 0x7C00 : 0x03E0);
                         }),
              0);
}

struct FitCase {
    int width;
    int height;
    int left;   // first column of the picture on the screen
    int top;    // first row
    int right;  // one past the last column
    int bottom; // one past the last row
};

TEST(ConvertPicture, OtherSizesAreScaledToFitAndCentredOnBlack) {
    const std::vector<FitCase> cases = {
        {300, 100, 0, 40, 240, 120}, // 240 x 80: 40 black rows above and below
        {100, 300, 93, 0, 146, 160}, // 53 x 160: pillars of 93 and 94 columns
        {24, 16, 0, 0, 240, 160},    // enlarged ten times
        {16384, 1, 0, 79, 240, 80},  // never less than one row
    };
    const Rgb colour{200, 100, 50};
    const int expected = Gba(200, 100, 50);
    for (const FitCase& fit : cases) {
        const SplashData splash =
            ConvertOrFail(test::Encode(test::SolidPicture(fit.width, fit.height, colour), PictureFormat::Png));
        EXPECT_EQ(CountWrong(splash.bytes,
                             [&](int x, int y) {
                                 const bool inside = x >= fit.left && x < fit.right && y >= fit.top && y < fit.bottom;
                                 return inside ? expected : 0;
                             }),
                  0)
            << fit.width << " x " << fit.height;
    }
}

TEST(ConvertPicture, AGifGivesItsFirstFrameWithTransparencyOverBlack) {
    std::vector<Rgb> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] =
            Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7)};
    test::GifFrame first{0, 0, 240, 160, {}, 0}; // index 0 is transparent
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x)
            first.indices.push_back(static_cast<std::uint8_t>((x + y) % 256));
    }
    test::GifFrame second{0, 0, 240, 160, std::vector<std::uint8_t>(240 * 160, 9), -1};
    const SplashData splash = ConvertOrFail(test::MakeGif(240, 160, palette, {first, second}));
    EXPECT_EQ(CountWrong(splash.bytes,
                         [&](int x, int y) {
                             const Rgb c = palette[(x + y) % 256];
                             return (x + y) % 256 == 0 ? 0 : Gba(c.red, c.green, c.blue);
                         }),
              0);
}

TEST(ConvertPicture, PaletteBmpsOfEveryDepthAreTakenPixelForPixel) {
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 255, 255}, {250, 120, 10}, {5, 90, 200}, {33, 66, 99}};
    for (const int bits : {1, 4, 8}) {
        const int colours = bits == 1 ? 2 : 5;
        std::vector<std::uint8_t> indices(240 * 160);
        for (std::size_t i = 0; i < indices.size(); ++i)
            indices[i] = static_cast<std::uint8_t>((i * 7 + i / 240) % colours);
        const std::vector<Rgb> used(palette.begin(), palette.begin() + colours);
        const SplashData splash = ConvertOrFail(test::MakePaletteBmp(240, 160, bits, used, indices));
        EXPECT_EQ(CountWrong(splash.bytes,
                             [&](int x, int y) {
                                 const Rgb c = palette[indices[static_cast<std::size_t>(y) * 240 + x]];
                                 return Gba(c.red, c.green, c.blue);
                             }),
                  0)
            << bits << " bits";
    }
}

TEST(ConvertPicture, AJpegComesThroughWithinALevel) {
    const SplashData splash =
        ConvertOrFail(test::Encode(test::SolidPicture(240, 160, Rgb{90, 160, 220}), PictureFormat::Jpeg, 95));
    for (int y = 0; y < 160; y += 7) {
        for (int x = 0; x < 240; x += 7) {
            const std::uint16_t colour = PixelAt(splash.bytes, x, y);
            EXPECT_NEAR(colour & 0x1F, test::Level(90), 1);
            EXPECT_NEAR((colour >> 5) & 0x1F, test::Level(160), 1);
            EXPECT_NEAR((colour >> 10) & 0x1F, test::Level(220), 1);
        }
    }
}

} // namespace
} // namespace brimble
