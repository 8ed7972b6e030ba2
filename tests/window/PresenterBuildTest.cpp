#include "PresenterTestSupport.h"
#include "catalogue/ListFiles.h"
#include "cli/Cli.h"
#include "splash/PictureFile.h"

#include <algorithm>
#include <sstream>

// The build button: its dialogs, its messages and their order, what it stores and writes.

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEmulatorBytes = 1001; // padded to 1,004 in the image
constexpr std::uint64_t kEmulatorInImage = 1004;
constexpr std::uint64_t kRomRecord = 48 + 16 + 1024; // header and the default 1 KiB ROM
constexpr std::uint64_t kPlainImage = kEmulatorInImage + kRomRecord;

// A folder that holds an emulator image.
class BuildTest : public PresenterTest {
protected:
    BuildTest() { WriteFile(Dir() / "Vantaro.GBA", PatternBytes(kEmulatorBytes, 7)); }

    int LocateRequests() {
        return static_cast<int>(std::count_if(View().requests.begin(), View().requests.end(),
                                              [](const auto& r) { return r.title == "Locate Vantaro.GBA..."; }));
    }
    bool Ended() { return std::find(View().events.begin(), View().events.end(), "window ends") != View().events.end(); }
};

const MessageRequest kDone{"Done!", "Brimble 1.1", MessageIcon::None};

TEST_F(BuildTest, EmptyListDoesNothingAtAll) {
    WriteSettings("outputfile=out.gba\r\n");
    Open();
    const std::string before = SettingsText();
    fs::remove(Dir() / "Vantaro.GBA");
    Presenter().OnBuild();
    EXPECT_TRUE(View().requests.empty());
    EXPECT_TRUE(View().events.empty());
    EXPECT_EQ(SettingsText(), before);
    EXPECT_FALSE(fs::exists(Dir() / "out.gba"));
}

TEST_F(BuildTest, EmptyOutputBoxAsksForTheFileAndStopsSilentlyWhenCancelled) {
    Rom("a.nes");
    Open();
    Drop({Dir() / "a.nes"});
    View().Cancel();
    Presenter().OnBuild();
    ASSERT_EQ(View().requests.size(), 1u);
    EXPECT_EQ(View().requests[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_TRUE(View().events.empty());
    EXPECT_EQ(Setting("outputfile"), "<missing>");

    const fs::path chosen = Dir() / "chosen.gba";
    View().Choose({chosen});
    Presenter().OnBuild();
    EXPECT_EQ(Text(ControlId::OutputPath), chosen.string());
    EXPECT_EQ(Setting("outputfile"), chosen.string());
    EXPECT_EQ(fs::file_size(chosen), kPlainImage);
}

// A ROM that went missing after it was added is named before "Done!": it is out of the image
// and out of the saved list the build rewrites.
TEST_F(BuildTest, RomsLeftOutOfTheImageAreNamedBeforeDone) {
    const fs::path a = Rom("a.nes");
    const fs::path b = Rom("b.nes", 1024, 2);
    WriteSettings("outputfile=out.gba\r\n");
    Open();
    Drop({a, b});
    fs::remove(b);
    Presenter().OnBuild();
    const MessageRequest leftOut{"These ROMs could not be read and are not in the image:\n" + b.string() +
                                     ": cannot be opened (No such file or directory)",
                                 "Oh no!", MessageIcon::Warning};
    EXPECT_EQ(View().messages, (std::vector<MessageRequest>{leftOut, kDone}));
    EXPECT_EQ(fs::file_size(Dir() / "out.gba"), kPlainImage);
}

// The image is the one brimble-cli build writes for the same list and switches (a picture
// converted as the command line converts it); the database keeps what was edited; the
// progress ends before "Done!", and the window ends after it, storing the switches.
TEST_F(BuildTest, WritesTheCommandLineImageKeepsTheEditsAndEndsTheWindow) {
    const fs::path a = Rom("roms/a.nes", 1000, 1);
    const fs::path b = Rom("roms/b.nes", 300000, 2);
    const fs::path c = Rom("roms/c.nes", 2000, 3);
    Picture photo;
    photo.width = 300;
    photo.height = 100;
    photo.pixels = PatternBytes(300 * 100 * 3, 4);
    ASSERT_TRUE(WritePictureFile(Dir() / "photo.png", photo, PictureFormat::Png));
    WriteSettings("outputfile=out.gba\r\nquorrel=games.lst\r\nsplashfile=photo.png\r\n");
    Open();
    Drop({a, b, c});
    for (ControlId id : {ControlId::Autonumber, ControlId::Flag190k, ControlId::Splash, ControlId::RestoreList})
        Click(id);
    Select(1);
    Type(ControlId::Title, "Edit");
    Click(ControlId::PalTiming);

    Presenter().OnBuild();
    EXPECT_EQ(View().events,
              (std::vector<std::string>{"progress 0/3 a", "progress 1/3 Edit", "progress 2/3 c", "progress 3/3 ",
                                        "progress ends", "message: Done!", "window ends"}));
    EXPECT_EQ(View().messages, std::vector<MessageRequest>{kDone});
    for (const char* key : {"autonumber", "flag190k", "usesplash", "savelist"})
        EXPECT_EQ(Setting(key), "1") << key;

    NameTable loadedNames;
    GameDatabase written;
    ASSERT_EQ(LoadListFile(Dir() / "games.lst", loadedNames, written), ListKind::Quorrel);
    const GameRecord* record = written.Find(RomCrc(300000, 2));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->title, "Edit");
    EXPECT_EQ(record->flags, kPalTiming);

    const fs::path roms = Dir() / "roms";
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), (roms / "a.nes").string() + "\r\n" + (roms / "b.nes").string() + "\r\n" +
                                                 (roms / "c.nes").string() + "\r\n");

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "cli.gba", "--splash", "photo.png",
                           "--autonumber", "--flag190k", "--db", "games.lst", a.string(), b.string(), c.string()},
                          out, err),
              cli::kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(Dir() / "out.gba"), ReadFile(Dir() / "cli.gba"));
}

TEST_F(BuildTest, SavedListIsLeftAloneWhileItsBoxIsUnchecked) {
    Rom("a.nes");
    const std::string old = (Dir() / "a.nes").string() + "\r\n" + "old line\r\n";
    WriteFile(Dir() / "saved.txt", old);
    WriteSettings("savelist=1\r\noutputfile=out.gba\r\n");
    Open();
    ASSERT_EQ(Items().size(), 1u);
    Click(ControlId::RestoreList);
    Presenter().OnBuild();
    EXPECT_TRUE(fs::exists(Dir() / "out.gba"));
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), old);
}

// Where the emulator image is looked for: a located file is stored with its full path; a
// relative path is resolved in the directory current at the build, not at the start.
TEST_F(BuildTest, EmulatorImageIsLocatedOnceOrFoundInTheCurrentDirectory) {
    const fs::path located = Dir() / "emu" / "real.gba";
    fs::create_directories(located.parent_path());
    WriteFile(located, PatternBytes(64, 3));
    fs::create_directories(Dir() / "other");
    WriteFile(Dir() / "other" / "Vantaro.GBA", PatternBytes(64, 5));
    fs::remove(Dir() / "Vantaro.GBA");
    Rom("a.nes");
    WriteSettings("outputfile=" + (Dir() / "out.gba").string() + "\r\n");
    const auto start = [&](std::uint32_t seed) {
        const Bytes image = ReadFile(Dir() / "out.gba");
        return image.size() >= 64 && Bytes(image.begin(), image.begin() + 64) == PatternBytes(64, seed);
    };
    Open();
    Drop({Dir() / "a.nes"});
    View().Choose({located});
    Presenter().OnBuild();
    EXPECT_EQ(LocateRequests(), 1);
    EXPECT_EQ(Setting("vantaro"), located.string());
    EXPECT_TRUE(start(3));

    WriteSettings("outputfile=" + (Dir() / "out.gba").string() + "\r\n");
    Open();
    Drop({Dir() / "a.nes"});
    CurrentDirectory elsewhere(Dir() / "other");
    Presenter().OnBuild();
    EXPECT_EQ(LocateRequests(), 0);
    EXPECT_TRUE(start(5));
}

// One build per case in a fresh folder holding Vantaro.GBA and a.nes; every file dialog is
// cancelled. "%DIR%" stands for the folder. A case whose preparation cannot work here is skipped.
struct MessageCase {
    const char* name;
    std::string settings;
    std::string output; // typed into the output path box
    bool (*prepare)(const fs::path& dir);
    std::vector<MessageRequest> expected;
    std::optional<std::uint64_t> imageSize; // none: no image is written
    int locateRequests;
};

void PrintTo(const MessageCase& test, std::ostream* out) {
    *out << test.name;
}

std::string Expand(std::string text, const fs::path& dir) {
    for (std::size_t at; (at = text.find("%DIR%")) != std::string::npos;)
        text.replace(at, 5, dir.string());
    return text;
}

class BuildMessageTest : public BuildTest, public ::testing::WithParamInterface<MessageCase> {};

// clang-format off
const MessageCase kMessageCases[] = {
    {"EmulatorMissing", "", "out.gba", [](const fs::path& dir) { return fs::remove(dir / "Vantaro.GBA"); },
     {{"Can't open Vantaro.GBA.", "Oh no!", MessageIcon::Error}}, std::nullopt, 1},
    // No caption is given: the application's name shows. A failed write keeps an existing
    // output as it was.
    {"OutputReadOnly", "", "old.gba",
     [](const fs::path& dir) {
         WriteFile(dir / "old.gba", "old image");
         fs::permissions(dir / "old.gba", fs::perms::owner_read);
         return true;
     },
     {{"Can't write to old.gba.\nPermission denied.", std::nullopt, MessageIcon::Error}}, std::nullopt, 0},
    // The warning comes while the image is written; the build goes on.
    {"SplashWrongFormat", "usesplash=1\r\nsplashfile=bad.raw\r\n", "out.gba",
     [](const fs::path& dir) { WriteFile(dir / "bad.raw", PatternBytes(76801, 2)); return true; },
     {{"Skipping splash screen.\n(wrong format)", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage, 0},
    // An empty splash box with "splash screen" checked leaves the splash out silently.
    {"SplashPathEmpty", "usesplash=1\r\n", "out.gba", nullptr, {kDone}, kPlainImage, 0},
    // The database's folder is a file.
    {"DatabaseFolderIsAFile", "quorrel=%DIR%/locked/games.lst\r\n", "out.gba",
     [](const fs::path& dir) { WriteFile(dir / "locked", "a file"); return true; },
     {{"Can't write to %DIR%/locked/games.lst.", "Oh no!", MessageIcon::Warning}, kDone}, kPlainImage, 0},
};
// clang-format on

TEST_P(BuildMessageTest, ShowsItsMessagesAndStoresTheOutputPathFirst) {
    const MessageCase& test = GetParam();
    if (test.prepare != nullptr && !test.prepare(Dir()))
        GTEST_SKIP() << "permissions do not stop this user from writing";
    Rom("a.nes");
    WriteSettings(Expand(test.settings, Dir()));
    const fs::path output = Dir() / test.output;
    const bool existed = fs::exists(output);
    const Bytes before = existed ? ReadFile(output) : Bytes{};
    Open();
    Drop({Dir() / "a.nes"});
    Type(ControlId::OutputPath, test.output);

    Presenter().OnBuild();
    std::vector<MessageRequest> expected = test.expected;
    for (MessageRequest& message : expected)
        message.text = Expand(message.text, Dir());
    EXPECT_EQ(View().messages, expected);
    EXPECT_EQ(LocateRequests(), test.locateRequests);
    // Stored before anything was opened, read back from the file.
    EXPECT_EQ(Setting("outputfile"), test.output);
    EXPECT_EQ(Ended(), test.imageSize.has_value());
    if (test.imageSize)
        EXPECT_EQ(fs::file_size(output), *test.imageSize);
    else
        EXPECT_EQ(existed ? ReadFile(output) : Bytes{}, before);
    EXPECT_EQ(fs::exists(output), existed || test.imageSize.has_value());

    // Writable again, so that the folder can be removed everywhere.
    std::error_code ignored;
    fs::permissions(output, fs::perms::owner_all, ignored);
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildMessageTest, ::testing::ValuesIn(kMessageCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace brimble::test
