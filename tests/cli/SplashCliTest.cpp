#include "CliRun.h"
#include "catalogue/Crc32.h"
#include "splash/SplashSource.h"
#include "support/StandardOutput.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace brimble {
namespace {

namespace fs = std::filesystem;

// A 3:1 picture with soft edges, 300 x 100 pixels times the scale: scaling and transparency
// both have work to do, and large scales take the scaler's way for photos.
Picture Sunset(int scale) {
    Picture picture;
    picture.width = 300 * scale;
    picture.height = 100 * scale;
    picture.channels = 4;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int u = x / scale;
            const int v = y / scale;
            const bool sun =
                (x - 150 * scale) * (x - 150 * scale) + (y - 70 * scale) * (y - 70 * scale) < 900 * scale * scale;
            picture.pixels.push_back(static_cast<std::uint8_t>(sun ? 255 : 40 + v * 2));
            picture.pixels.push_back(static_cast<std::uint8_t>(sun ? 200 : u * 255 / 299));
            picture.pixels.push_back(static_cast<std::uint8_t>(sun ? 0 : 255 - v * 2));
            picture.pixels.push_back(static_cast<std::uint8_t>(u < 20 ? u * 12 : 255));
        }
    }
    return picture;
}

// The splashes these pictures give, as CRC-32s of their 76,800 bytes. Fixed here so that every
// build, the Windows one under Wine included, is held to the same bytes.
constexpr std::uint32_t kSunsetSplashCrc = 0x40F38A6E;

class SplashCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WritePictureFile(dir / "sunset.png", Sunset(1), PictureFormat::Png));
        raw = test::PatternBytes(kSplashSize, 11);
        for (std::size_t i = 1; i < raw.size(); i += 2)
            raw[i] &= 0x7F;
        test::WriteFile(dir / "screen.raw", raw);
    }
    test::TempDir dir;
    test::CurrentDirectory cwd{dir.Path()};
    test::Bytes raw;
};

TEST_F(SplashCliTest, ConvertWritesTheRawSplashOfAPictureOrOfARawFile) {
    const auto run = test::RunCli({"splash", "convert", "sunset.png", "sunset.raw"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "sunset.raw: 76800 bytes\n");
    EXPECT_EQ(run.err, "");
    const test::Bytes converted = test::ReadFile(dir / "sunset.raw");
    EXPECT_EQ(converted, ConvertPicture(test::ReadFile(dir / "sunset.png")).bytes);
    EXPECT_EQ(Crc32(converted), kSunsetSplashCrc);

    ASSERT_EQ(test::RunCli({"splash", "convert", "screen.raw", "copy.raw"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir / "copy.raw"), raw);
}

TEST_F(SplashCliTest, PreviewWritesWhatTheGbaShowsAndConvertsBackToTheSameRawFile) {
    const auto run = test::RunCli({"splash", "preview", "screen.raw", "screen.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "screen.png: 240x160 PNG\n");
    ASSERT_EQ(test::RunCli({"splash", "convert", "screen.png", "back.raw"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir / "back.raw"), raw);
}

TEST_F(SplashCliTest, ErrorsNameTheFileAndSayWhy) {
    test::Bytes cut = test::ReadFile(dir / "sunset.png");
    cut.resize(cut.size() / 2);
    test::WriteFile(dir / "cut.png", cut);
    test::WriteFile(dir / "notes.txt", std::string_view("not a picture\n"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"splash", "convert", "missing.png", "out.raw"},
         "brimble-cli: missing.png: cannot be opened (No such file or directory)\n"},
        {{"splash", "preview", "cut.png", "out.png"}, "brimble-cli: cut.png: the picture is cut short\n"},
        {{"splash", "convert", "notes.txt", "out.raw"},
         "brimble-cli: notes.txt: neither a raw splash of 76800 bytes (it holds 14) nor a PNG, JPEG, BMP or GIF "
         "picture\n"},
        {{"splash", "convert", "sunset.png", "no-folder/out.raw"},
         "brimble-cli: no-folder/out.raw: cannot be written (No such file or directory)\n"},
        {{"splash", "preview", "screen.raw", "no-folder/out.png"},
         "brimble-cli: no-folder/out.png: cannot be written (No such file or directory)\n"},
        {{"splash", "convert", "sunset.png", "./sunset.png"},
         "brimble-cli: ./sunset.png: is the file to read; name another file to write\n"},
        {{"splash", "preview", "screen.raw", "screen.raw"},
         "brimble-cli: screen.raw: is the file to read; name another file to write\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto run = test::RunCli(arguments);
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(dir / "out.raw"));
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

// "-" is standard output wherever a command writes a file; what the command says about it goes
// to standard error then.
TEST_F(SplashCliTest, AnOutputOfADashIsStandardOutput) {
    test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(1001, 5));
    test::WriteNesFile(dir / "Alpha.nes", 16384, 1);
    ASSERT_EQ(test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "file.gba", "Alpha.nes"}).status, 0);
    const std::string sep(1, test::kSep);
    test::WriteFile(dir / "db.lst", "C\r\n0000ABCD" + sep + "T" + sep + sep + sep + "|1|2\r\n");
    ASSERT_EQ(test::RunCli({"db", "--db", "db.lst", "--write", "file.lst"}).status, 0);
    ASSERT_EQ(test::RunCli({"splash", "preview", "screen.raw", "file.png"}).status, 0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"splash", "convert", "screen.raw", "-"}, "screen.raw"},
        {{"splash", "preview", "screen.raw", "-"}, "file.png"},
        {{"build", "--emulator", "Vantaro.GBA", "--output", "-", "Alpha.nes"}, "file.gba"},
        {{"db", "--db", "db.lst", "--write", "-"}, "file.lst"},
    };
    for (const auto& [arguments, same] : cases) {
        test::CliRun run;
        const std::string written = test::CaptureStandardOutput(
            dir / "stdout.bin", [&, &arguments = arguments] { run = test::RunCli(arguments); });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(written, test::ReadText(dir / same));
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fs::exists(dir / "-"));
    }
}

TEST_F(SplashCliTest, BuildingWithAPictureWritesTheImageOfItsConvertedRawFile) {
    test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(1001, 5));
    test::WriteNesFile(dir / "Alpha.nes", 16384, 1);
    ASSERT_EQ(test::RunCli({"splash", "convert", "sunset.png", "sunset.raw"}).status, 0);

    const auto fromPicture = test::RunCli(
        {"build", "--emulator", "Vantaro.GBA", "--output", "picture.gba", "--splash", "sunset.png", "Alpha.nes"});
    ASSERT_EQ(fromPicture.status, 0) << fromPicture.err;
    EXPECT_EQ(fromPicture.err, "");
    const auto fromRaw = test::RunCli(
        {"build", "--emulator", "Vantaro.GBA", "--output", "raw.gba", "--splash", "sunset.raw", "Alpha.nes"});
    ASSERT_EQ(fromRaw.status, 0) << fromRaw.err;

    const test::Bytes image = test::ReadFile(dir / "picture.gba");
    EXPECT_EQ(image, test::ReadFile(dir / "raw.gba"));
    ASSERT_GE(image.size(), 1004 + kSplashSize);
    EXPECT_EQ(Crc32(std::span(image).subspan(1004, kSplashSize)), kSunsetSplashCrc);
}

} // namespace
} // namespace brimble
