#include "catalogue/Crc32.h"
#include "splash/SplashPictures.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using Pixel = std::array<std::uint8_t, 4>;

Picture Pattern(int width, int height) {
    return test::MakePicture(width, height, 3, [](int x, int y) {
        return Pixel{static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 5),
                     static_cast<std::uint8_t>(x ^ y), 255};
    });
}

void PutBe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}
Bytes Head(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// Sets the checksum of the PNG chunk that starts at `chunk` to match its bytes again.
void FixChecksum(Bytes& png, std::size_t chunk) {
    const std::uint32_t length = (std::uint32_t{png[chunk]} << 24) | (std::uint32_t{png[chunk + 1]} << 16) |
                                 (std::uint32_t{png[chunk + 2]} << 8) | png[chunk + 3];
    PutBe32(png, chunk + 8 + length, Crc32(std::span(png).subspan(chunk + 4, 4 + length)));
}

// A tiny real file whose header then claims another size, its checksum made right.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes png = test::Encode(Pattern(1, 1), PictureFormat::Png);
    PutBe32(png, 16, width); // IHDR data starts at 16
    PutBe32(png, 20, height);
    FixChecksum(png, 8);
    return png;
}

class SplashFiles : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const Bytes& bytes) {
        test::WriteFile(dir / name, bytes);
        return dir / name;
    }
    test::TempDir dir;
};

TEST_F(SplashFiles, RawFilesOfEveryAcceptedSizeAreTakenUnchanged) {
    Bytes raw = test::PatternBytes(kSplashSize, 7);
    raw[1] |= 0x80; // bit 15 set: not a colour, but a raw file is not looked into
    for (const std::size_t size : {76797u, 76798u, 76799u, 76800u}) {
        const fs::path path = Write("splash.raw", Head(raw, size));
        const SplashData splash = LoadSplash(path);
        ASSERT_EQ(splash.status, SplashData::Status::Ready) << size << ": " << splash.reason;
        Bytes expected = Head(raw, size);
        expected.resize(kSplashSize, 0);
        EXPECT_EQ(splash.bytes, expected) << size;
        EXPECT_EQ(splash.bytes, LoadRawSplash(path).bytes) << size;
    }
    for (const std::size_t size : {76796u, 76801u}) {
        const SplashData splash = LoadSplash(Write("near.raw", test::PatternBytes(size, 8)));
        EXPECT_EQ(splash.status, SplashData::Status::WrongFormat) << size;
        EXPECT_NE(splash.reason.find("neither a raw splash of 76800 bytes (it holds " + std::to_string(size) + ")"),
                  std::string::npos)
            << splash.reason;
    }
}

TEST_F(SplashFiles, TheRawRuleComesFirstEvenForAPicture) {
    Bytes png = test::Encode(Pattern(240, 160), PictureFormat::Png);
    ASSERT_LT(png.size(), kSplashSize);
    png.resize(kSplashSize - 2, 0x55);
    const SplashData splash = LoadSplash(Write("picture.png", png));
    ASSERT_EQ(splash.status, SplashData::Status::Ready);
    png.resize(kSplashSize, 0);
    EXPECT_EQ(splash.bytes, png);
}

TEST_F(SplashFiles, ARawFileComesBackUnchangedThroughItsPreview) {
    Bytes raw = test::PatternBytes(kSplashSize, 9);
    for (std::size_t i = 1; i < raw.size(); i += 2)
        raw[i] &= 0x7F;
    const fs::path path = Write("splash.raw", raw);
    const SplashPreview preview = PreviewSplash(path);
    ASSERT_EQ(preview.status, SplashData::Status::Ready) << preview.reason;
    ASSERT_TRUE(WritePictureFile(dir / "preview.png", preview.picture, PictureFormat::Png));
    EXPECT_EQ(LoadSplash(dir / "preview.png").bytes, raw);
}

TEST_F(SplashFiles, APicturePreviewShowsTheConvertedPixels) {
    const fs::path path = Write("wide.png", test::Encode(Pattern(300, 100), PictureFormat::Png));
    const SplashData splash = LoadSplash(path);
    ASSERT_EQ(splash.status, SplashData::Status::Ready) << splash.reason;
    const SplashPreview preview = PreviewSplash(path);
    ASSERT_EQ(preview.status, SplashData::Status::Ready);
    EXPECT_EQ(preview.picture.pixels, SplashToPicture(splash.bytes).pixels);
}

struct BadFile {
    const char* name;
    Bytes bytes;
    const char* reason; // a part of the reason given
};

std::vector<BadFile> BadFiles() {
    const Bytes png = test::Encode(Pattern(240, 160), PictureFormat::Png);
    Bytes badZlib = png;
    const std::size_t idat = test::Find(png, "IDAT") + 4;
    badZlib[idat] = 0xFF;
    badZlib[idat + 1] = 0xFF;
    FixChecksum(badZlib, idat - 8);
    Bytes badChecksum = png;
    badChecksum[idat + 20] ^= 0x01;
    const Bytes jpeg = test::Encode(Pattern(240, 160), PictureFormat::Jpeg);
    const Bytes bmp = test::Encode(Pattern(240, 160), PictureFormat::Bmp);
    test::GifFrame frame{0, 0, 240, 160, std::vector<std::uint8_t>(240 * 160, 1), -1};
    const Bytes gif = test::MakeGif(240, 160, {Rgb{}, Rgb{9, 9, 9}}, {frame});
    const Bytes noFrame = test::MakeGif(240, 160, {Rgb{}}, {});
    // A Huffman table whose code counts add up to more than the 256 a table can hold.
    Bytes tooManyCodes = jpeg;
    const std::size_t table = test::Find(jpeg, "\xFF\xC4") + 5; // the first table's 16 counts
    tooManyCodes[table + 14] = 200;
    tooManyCodes[table + 15] = 200;
    // A small PNG whose header claims 200 x 200 RGBA pixels, and one whose first data chunk
    // claims two gigabytes.
    Bytes overclaimed = test::Encode(test::MakePicture(1, 1, 4,
                                                       [](int, int) {
                                                           return Pixel{1, 2, 3, 4};
                                                       }),
                                     PictureFormat::Png);
    PutBe32(overclaimed, 16, 200);
    PutBe32(overclaimed, 20, 200);
    FixChecksum(overclaimed, 8);
    Bytes hugeChunk = png;
    PutBe32(hugeChunk, idat - 8, 0x7FFFFFF0);
    // A scan that uses a quantisation table the file never defines.
    Bytes noQuantTable = jpeg;
    noQuantTable[test::Find(jpeg, "\xFF\xC0") + 12] = 3; // the first component's table
    Bytes noScan(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(test::Find(jpeg, "\xFF\xDA")));
    noScan.insert(noScan.end(), {0xFF, 0xD9});
    // Palette BMPs whose pixels point past the palette, or whose palette would end before it
    // begins.
    std::vector<std::uint8_t> indices(16 * 8, 2);
    indices[77] = 3;
    const Bytes beyondPalette = test::MakePaletteBmp(16, 8, 4, {Rgb{}, Rgb{1, 1, 1}, Rgb{2, 2, 2}}, indices);
    const Bytes noPalette =
        test::MakePaletteBmp(16, 8, 1, {Rgb{}, Rgb{9, 9, 9}}, std::vector<std::uint8_t>(128, 1), 50);
    const std::string text = "This is a text file, not a picture.\r\n";
    return {
        {"zero-byte file", {}, "neither a raw splash of 76800 bytes (it holds 0)"},
        {"text file", Bytes(text.begin(), text.end()), "nor a PNG, JPEG, BMP or GIF picture"},
        {"PNG without its end chunk", Head(png, png.size() - 12), "cut short"},
        {"PNG with a broken zlib header", badZlib, "damaged"},
        {"PNG cut in its header", Head(png, 20), "the picture is cut short"},
        {"PNG with a byte changed", badChecksum, "the picture is damaged (a chunk whose checksum does not match"},
        {"PNG claiming no pixels", PngClaiming(0, 5), "the picture is damaged (it claims 0 x 5 pixels)"},
        {"PNG claiming more pixels than its data holds", overclaimed, "more pixels than its compressed data"},
        {"PNG chunk longer than the file", hugeChunk, "cut short"},
        {"JPEG without its end marker", Head(jpeg, jpeg.size() - 2), "cut short"},
        {"JPEG with an impossible Huffman table", tooManyCodes, "a Huffman table of more than 256 codes"},
        {"JPEG without the quantisation table it uses", noQuantTable, "a table the file never defines"},
        {"JPEG without a scan", noScan, "no scan holds"},
        {"BMP pixel beyond its palette", beyondPalette, "beyond the palette"},
        {"BMP palette ending before it begins", noPalette, "beyond the palette"},
        {"BMP cut short", Head(bmp, bmp.size() - 1000), "cut short"},
        {"GIF cut in its first frame", Head(gif, gif.size() / 2), "cut short"},
        {"GIF without a frame", noFrame, "damaged"},
    };
}

TEST_F(SplashFiles, DamagedAndForeignFilesGiveTheWrongFormatWarning) {
    for (const BadFile& bad : BadFiles()) {
        const fs::path path = Write("bad.png", bad.bytes);
        const SplashData splash = LoadSplash(path);
        EXPECT_EQ(splash.status, SplashData::Status::WrongFormat) << bad.name;
        EXPECT_NE(splash.reason.find(bad.reason), std::string::npos) << bad.name << ": " << splash.reason;
        EXPECT_TRUE(splash.bytes.empty()) << bad.name;
        const SplashPreview preview = PreviewSplash(path);
        EXPECT_EQ(preview.status, SplashData::Status::WrongFormat) << bad.name;
        EXPECT_EQ(preview.reason, splash.reason) << bad.name;
        EXPECT_TRUE(preview.picture.pixels.empty()) << bad.name;
    }
}

TEST(SplashLimits, HeadersClaimingHugePicturesAreRefusedBeforeDecoding) {
    const std::string tooWide = "a splash picture may be at most 16384 on a side";
    const std::string tooDense = "bytes can hold";
    const std::string tooMany = "a splash picture may have at most 64 megapixels";
    const std::vector<std::tuple<const char*, Bytes, std::string>> cases = {
        {"PNG 16385 x 1", PngClaiming(16385, 1), tooWide},
        {"PNG 1 x 20000", PngClaiming(1, 20000), tooWide},
        // The decoder will not even measure a picture of more than 2^24 a side.
        {"PNG 2^31 - 1 square", PngClaiming(0x7FFFFFFF, 0x7FFFFFFF), tooWide},
        {"PNG 16384 square", PngClaiming(16384, 16384), "16384 x 16384 pixels (268 megapixels); " + tooMany},
        {"PNG 8001 x 8000", PngClaiming(8001, 8000), tooMany},
        {"PNG 8000 square", PngClaiming(8000, 8000), tooDense},
    };
    for (const auto& [name, bytes, reason] : cases) {
        const SplashData splash = ConvertPicture(bytes);
        EXPECT_EQ(splash.status, SplashData::Status::WrongFormat) << name;
        EXPECT_NE(splash.reason.find(reason), std::string::npos) << name << ": " << splash.reason;
    }
}

TEST_F(SplashFiles, AFileTooLargeForAPictureIsNotRead) {
    const fs::path path = dir / "huge.png";
    {
        std::ofstream out(path, std::ios::binary);
        out.write("\x89PNG", 4);
    }
    fs::resize_file(path, kMaxPictureFileSize + 1);
    const SplashData splash = LoadSplash(path);
    EXPECT_EQ(splash.status, SplashData::Status::WrongFormat);
    EXPECT_NE(splash.reason.find("at most 64 MiB"), std::string::npos) << splash.reason;
}

TEST_F(SplashFiles, NoFileMeansNoSplashAndNoWarning) {
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

TEST_F(SplashFiles, PicturesThatCannotBeWrittenAreRefused) {
    EXPECT_FALSE(WritePictureFile(dir / "no-folder" / "out.png", Pattern(4, 4), PictureFormat::Png));
    Picture shortOfPixels = Pattern(4, 4);
    shortOfPixels.pixels.pop_back();
    EXPECT_FALSE(WritePictureFile(dir / "short.png", shortOfPixels, PictureFormat::Png));
    EXPECT_FALSE(fs::exists(dir / "short.png"));
}

} // namespace
} // namespace brimble
