#include "PresenterTestSupport.h"
#include "cli/Cli.h"
#include "splash/PictureFile.h"

#include <sstream>

// The build button: its dialogs, its messages and their order, what it stores and writes.

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kPlainImage = 1004 + 48 + 16 + 1024; // the emulator padded, one 1 KiB ROM
const MessageRequest kDone{"Done!", "Brimble 1.1", MessageIcon::None};

// Each build runs in a folder that holds an emulator image of 1,001 bytes.
class BuildTest : public PresenterTest {
protected:
    BuildTest() { WriteFile(Dir() / "Vantaro.GBA", PatternBytes(1001, 7)); }
};

// An empty list builds nothing; an empty output box asks for the file, a cancel stops without a
// word. The image is brimble-cli's for the same list, switches, picture and stored edits; the
// progress ends before "Done!", the window after it.
TEST_F(BuildTest, WritesTheCommandLineImageKeepsTheEditsAndEndsTheWindow) {
    const fs::path a = Rom("roms/a.nes", 1000, 1), b = Rom("roms/b.nes", 300000, 2), c = Rom("roms/c.nes", 2000, 3);
    ASSERT_TRUE(WritePictureFile(Dir() / "photo.png", {.width = 300, .height = 100, .pixels = PatternBytes(90000, 4)},
                                 PictureFormat::Png));
    WriteSettings("quorrel=games.lst\r\nsplashfile=photo.png\r\n");
    Open();
    P().OnBuild();
    Drop({a, b, c});
    for (ControlId id : {ControlId::Autonumber, ControlId::Flag190k, ControlId::Splash, ControlId::RestoreList})
        Click(id);
    Select(1);
    Type(ControlId::Title, "Edit");
    Click(ControlId::PalTiming);
    View().Choose({});
    P().OnBuild();
    EXPECT_TRUE(View().events.empty() && Setting("outputfile") == "<missing>");
    View().Choose({Dir() / "out.gba"});
    P().OnBuild();
    EXPECT_EQ(View().events,
              (std::vector<std::string>{"progress 0/3 a", "progress 1/3 Edit", "progress 2/3 c", "progress 3/3 ",
                                        "progress ends", "message: Done!", "window ends"}));
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), a.string() + "\r\n" + b.string() + "\r\n" + c.string() + "\r\n");

    std::ostringstream out, err;
    ASSERT_EQ(cli::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "cli.gba", "--splash", "photo.png",
                           "--autonumber", "--flag190k", "--db", "games.lst", a.string(), b.string(), c.string()},
                          out, err),
              cli::kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(Dir() / "out.gba"), ReadFile(Dir() / "cli.gba"));
}

// One build of a.nes to out.gba per case; "%DIR%" is the folder, "%B%" b.nes in it. No image
// size: none is written. A locate dialog answers `locate` ("" cancels); `yes` answers the
// question; romGoesMissing adds b.nes and removes it before the build.
struct MessageCase {
    const char* name;
    std::string settings;
    bool (*prepare)(const fs::path& dir);
    std::vector<MessageRequest> expected;
    std::optional<std::uint64_t> imageSize;
    const char* locate = nullptr;
    bool romGoesMissing = false, yes = true;
};

std::string Expand(std::string text, const fs::path& dir) {
    for (const auto& [key, value] : {std::pair{"%B%", dir / "b.nes"}, std::pair{"%DIR%", dir}})
        for (std::size_t at; (at = text.find(key)) != std::string::npos;)
            text.replace(at, std::string_view(key).size(), value.string());
    return text;
}

// A sparse 32 MiB emulator image and the ROM pass a cartridge by 1,088 bytes: the question rounds up.
bool GrowEmulatorImage(const fs::path& dir) {
    return fs::resize_file(dir / "Vantaro.GBA", 32u << 20), true;
}
const MessageRequest kOversize{"The image will be 32.1 MiB; a cartridge holds 32 MiB. Build anyway?", "Brimble 1.1",
                               MessageIcon::Warning};

class BuildMessageTest : public BuildTest, public ::testing::WithParamInterface<MessageCase> {};

// clang-format off
const MessageCase kMessageCases[] = {
    {"EmulatorMissing", "", [](const fs::path& dir) { return fs::remove(dir / "Vantaro.GBA"); },
     {{"Can't open Vantaro.GBA.", "Oh no!", MessageIcon::Error}}, std::nullopt, ""},
    {"EmulatorLocated", "", [](const fs::path& dir) { fs::rename(dir / "Vantaro.GBA", dir / "x.gba"); return true; },
     {kDone}, kPlainImage, "x.gba"},
    // No caption: the application's name shows. A failed write keeps the old output.
    {"OutputReadOnly", "", [](const fs::path& dir) {
         WriteFile(dir / "out.gba", "old image");
         fs::permissions(dir / "out.gba", fs::perms::owner_read);
         return true; },
     {{"Can't write to out.gba.\nPermission denied.", std::nullopt, MessageIcon::Error}}, std::nullopt},
    // The warning comes while the image is written; the build goes on.
    {"SplashWrongFormat", "usesplash=1\r\nsplashfile=bad.raw\r\n",
     [](const fs::path& dir) { WriteFile(dir / "bad.raw", PatternBytes(76801, 2)); return true; },
     {{"Skipping splash screen.\n(wrong format)", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage},
    // No splash path: the splash is left out silently; an unchecked saved list is left alone.
    {"SplashPathEmpty", "usesplash=1\r\n",
     [](const fs::path& dir) { WriteFile(dir / "saved.txt", "old line\r\n"); return true; }, {kDone}, kPlainImage},
    {"DatabaseFolderIsAFile", "quorrel=%DIR%/locked/games.lst\r\n",
     [](const fs::path& dir) { WriteFile(dir / "locked", "a file"); return true; },
     {{"Can't write to %DIR%/locked/games.lst.", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage},
    // A ROM that went missing after it was added is named before "Done!", out of the image.
    {"RomLeftOut", "", nullptr, {{"These ROMs could not be read and are not in the image:\n%B%: "
       "cannot be opened (No such file or directory)", "Oh no!", MessageIcon::Warning}, kDone},
     kPlainImage, nullptr, true},
    {"OversizeBuiltOnYes", "", GrowEmulatorImage, {kOversize, kDone}, (32u << 20) + 48 + 16 + 1024},
    {"OversizeLeftOnNo", "", GrowEmulatorImage, {kOversize}, std::nullopt, nullptr, false, false},
};
// clang-format on

TEST_P(BuildMessageTest, ShowsItsMessagesAndStoresTheOutputPathFirst) {
    const MessageCase& test = GetParam();
    if (test.prepare != nullptr && !test.prepare(Dir()))
        GTEST_SKIP() << "permissions do not stop this user from writing";
    const bool savedList = fs::exists(Dir() / "saved.txt");
    WriteSettings(Expand(test.settings, Dir()));
    const fs::path output = Dir() / "out.gba";
    const Bytes before = fs::exists(output) ? ReadFile(output) : Bytes{};
    Open();
    Drop({Rom("a.nes")});
    if (test.romGoesMissing)
        Drop({Rom("b.nes", 1024, 2)}), fs::remove(Dir() / "b.nes");
    const bool located = test.locate != nullptr && *test.locate != '\0';
    View().Choose(located ? std::vector<fs::path>{test.locate} : std::vector<fs::path>{});
    Type(ControlId::OutputPath, "out.gba");
    View().yesAnswers.push_back(test.yes);
    P().OnBuild();
    std::vector<MessageRequest> expected = test.expected;
    for (MessageRequest& message : expected)
        message.text = Expand(message.text, Dir());
    EXPECT_EQ(View().messages, expected);
    EXPECT_EQ(View().requests.size(), test.locate != nullptr ? 1u : 0u);
    EXPECT_EQ(Setting("vantaro"), located ? (Dir() / test.locate).string() : "<missing>");
    // Stored before anything was opened; not at all when the question is answered No.
    EXPECT_EQ(Setting("outputfile"), test.yes ? "out.gba" : "<missing>");
    EXPECT_EQ(!View().events.empty() && View().events.back() == "window ends", test.imageSize.has_value());
    if (test.imageSize)
        EXPECT_EQ(fs::file_size(output), *test.imageSize);
    else
        EXPECT_EQ(fs::exists(output) ? ReadFile(output) : Bytes{}, before);
    EXPECT_EQ(fs::exists(Dir() / "saved.txt") && ReadText(Dir() / "saved.txt") == "old line\r\n", savedList);
    std::error_code ignored; // writable again, so that the folder can be removed everywhere
    fs::permissions(output, fs::perms::owner_all, ignored);
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildMessageTest, ::testing::ValuesIn(kMessageCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace brimble::test
