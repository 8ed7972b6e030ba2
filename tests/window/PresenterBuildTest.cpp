#include "PresenterTestSupport.h"
#include "cli/Cli.h"
#include "splash/PictureFile.h"

#include <sstream>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kPlainImage = 1004 + 48 + 16 + 1024; // the emulator padded, one 1 KiB ROM
const MessageRequest kDone{"Done!", "Brimble 1.1", MessageIcon::None};

struct BuildTest : PresenterTest { // in a folder with an emulator image of 1,001 bytes
    BuildTest() { WriteFile(Dir() / "Vantaro.GBA", PatternBytes(1001, 7)); }
};

// No build from an empty list or a cancel; the image is brimble-cli's for the same list and edits.
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
    View().SelectListRow(1);
    Type(ControlId::Title, "Edit");
    Click(ControlId::PalTiming);
    View().Choose({});
    P().OnBuild();
    EXPECT_TRUE(View().events.empty() && Setting("outputfile") == "<missing>");
    View().Choose({Dir() / "out.gba"});
    P().OnBuild();
    EXPECT_EQ(View().events, (std::vector<std::string>{"progress 0/3 a", "progress 1/3 Edit", "progress 2/3 c",
                                                       "progress 3/3 ", "progress ends", "message", "window ends"}));
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), a.string() + "\r\n" + b.string() + "\r\n" + c.string() + "\r\n");

    std::ostringstream out, err;
    ASSERT_EQ(cli::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "cli.gba", "--splash", "photo.png",
                           "--autonumber", "--flag190k", "--db", "games.lst", a.string(), b.string(), c.string()},
                          out, err),
              cli::kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(Dir() / "out.gba"), ReadFile(Dir() / "cli.gba"));
}

// One build of a.nes to out.gba per case; `locate` answers a locate dialog ("" cancels).
struct MessageCase {
    const char* name;
    std::string settings;
    void (*prepare)(const fs::path& dir);
    std::vector<MessageRequest> expected;
    std::optional<std::uint64_t> imageSize;
    const char* locate = nullptr;
    bool romGoesMissing = false, yes = true;
};

// A sparse 32 MiB emulator image and the ROM pass a cartridge by 1,088 bytes: the question rounds up.
const auto GrowEmulatorImage = [](const fs::path& dir) { fs::resize_file(dir / "Vantaro.GBA", 32u << 20); };
const MessageRequest kOversize{"The image will be 32.1 MiB; a cartridge holds 32 MiB. Build anyway?", "Brimble 1.1",
                               MessageIcon::Warning};

class BuildMessageTest : public BuildTest, public ::testing::WithParamInterface<MessageCase> {};

// clang-format off
const MessageCase kMessageCases[] = {
    {"EmulatorMissing", "", [](const fs::path& dir) { fs::remove(dir / "Vantaro.GBA"); },
     {{"Can't open Vantaro.GBA.", "Oh no!", MessageIcon::Error}}, std::nullopt, ""},
    {"EmulatorLocated", "", [](const fs::path& dir) { fs::rename(dir / "Vantaro.GBA", dir / "x.gba"); },
     {kDone}, kPlainImage, "x.gba"},
    // No caption: the application's name shows. A failed write keeps the old output.
    {"OutputReadOnly", "", [](const fs::path& dir) {
         WriteFile(dir / "out.gba", "old image"), fs::permissions(dir / "out.gba", fs::perms::owner_read); },
     {{"Can't write to out.gba.\nPermission denied.", std::nullopt, MessageIcon::Error}}, std::nullopt},
    {"SplashWrongFormat", "usesplash=1\r\nsplashfile=bad.raw\r\n",
     [](const fs::path& dir) { WriteFile(dir / "bad.raw", PatternBytes(76801, 2)); },
     {{"Skipping splash screen.\n(wrong format)", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage},
    // No splash path: the splash is left out silently; an unchecked saved list is left alone.
    {"SplashPathEmpty", "usesplash=1\r\n",
     [](const fs::path& dir) { WriteFile(dir / "saved.txt", "old line\r\n"); }, {kDone}, kPlainImage},
    {"DatabaseFolderIsAFile", "quorrel=locked/games.lst\r\n",
     [](const fs::path& dir) { WriteFile(dir / "locked", "a file"); },
     {{"Can't write to locked/games.lst.", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage},
    {"RomLeftOut", "", nullptr, {{"These ROMs could not be read and are not in the image:\n", "Oh no!",
     MessageIcon::Warning}, kDone}, kPlainImage, nullptr, true},
    {"OversizeBuiltOnYes", "", GrowEmulatorImage, {kOversize, kDone}, (32u << 20) + 48 + 16 + 1024},
    {"OversizeLeftOnNo", "", GrowEmulatorImage, {kOversize}, std::nullopt, nullptr, false, false},
};
// clang-format on

TEST_P(BuildMessageTest, ShowsItsMessagesAndStoresTheOutputPathFirst) {
    const MessageCase& test = GetParam();
    if (test.prepare != nullptr)
        test.prepare(Dir());
    const bool savedList = fs::exists(Dir() / "saved.txt");
    WriteSettings(test.settings);
    const Bytes before = fs::exists("out.gba") ? ReadFile("out.gba") : Bytes{};
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
    if (test.romGoesMissing)
        expected[0].text += (Dir() / "b.nes").string() + ": cannot be opened (No such file or directory)";
    EXPECT_EQ(View().messages, expected);
    EXPECT_EQ(View().requests.size(), test.locate != nullptr ? 1u : 0u);
    EXPECT_EQ(Setting("vantaro"), located ? (Dir() / test.locate).string() : "<missing>");
    // Stored before anything was opened; not at all when the question is answered No.
    EXPECT_EQ(Setting("outputfile"), test.yes ? "out.gba" : "<missing>");
    EXPECT_EQ(!View().events.empty() && View().events.back() == "window ends", test.imageSize.has_value());
    if (test.imageSize)
        EXPECT_EQ(fs::file_size("out.gba"), *test.imageSize);
    else
        EXPECT_EQ(fs::exists("out.gba") ? ReadFile("out.gba") : Bytes{}, before);
    EXPECT_EQ(fs::exists(Dir() / "saved.txt") && ReadText(Dir() / "saved.txt") == "old line\r\n", savedList);
    std::error_code ignored; // writable again, so that the folder can be removed everywhere
    fs::permissions("out.gba", fs::perms::owner_all, ignored);
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildMessageTest, ::testing::ValuesIn(kMessageCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace brimble::test
