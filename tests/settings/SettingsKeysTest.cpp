// What the window and brimble-cli do with the keys of section "config" (switches, paths, the two
// list files), and the saved list beside them.
#include "settings/SettingsKeys.h"

#include "settings/DatabaseSettings.h"
#include "settings/SavedList.h"
#include "settings/StartupSettings.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace brimble {
namespace {

using namespace std::string_literals;
using test::CurrentDirectory;
using test::ReadText;
using test::TempDir;
using test::WriteFile;

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST(SettingsKeys, SwitchesAreOnForANonzeroLeadingNumberAndPathsAreStoredAsUtf8) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    for (const auto& [stored, on] : {std::pair{"1", true}, {"0", false}, {"-1", true}, {"yes", false}}) {
        WriteFile(dir / "brimble.ini", "[config]\r\nautonumber=" + std::string(stored) + "\r\n");
        EXPECT_EQ(ReadSwitch(store, SettingKey::AutoNumber), on) << stored;
    }
    const std::filesystem::path accented = dir / std::filesystem::path(u8"d\u00e9j\u00e0 vu") / "Z\u00fcrich.gba";
    EXPECT_TRUE(WritePathSetting(store, SettingKey::OutputFile, accented));
    EXPECT_EQ(ReadPathSetting(store, SettingKey::OutputFile), accented);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nautonumber=yes\r\noutputfile=" + Utf8(accented) + "\r\n");
}

TEST(StartupSettings, TheStartReadsTheStartDirectoryAndClosingWritesTheSwitchesThenTheSplashPath) {
    TempDir dir;
    CurrentDirectory here(dir.Path());
    const std::string before = "[config]\r\nsavelist=1\r\noutputfile=out\\all.gba\r\nsplashfile=s.raw\r\n";
    WriteFile(dir / "brimble.ini", before);
    StartupSettings settings = ReadStartupSettings();
    EXPECT_EQ(settings.settingsPath, dir / "brimble.ini");
    EXPECT_EQ(settings.savedListPath, dir / "saved.txt");
    EXPECT_EQ((std::array{settings.flag190k, settings.saveList, settings.autonumber, settings.useSplash}),
              (std::array{false, true, false, false}));
    EXPECT_EQ(settings.outputFile.string() + "|" + settings.splashFile.string(), "out\\all.gba|s.raw");
    settings.autonumber = true;
    settings.splashFile.clear(); // an emptied splash path keeps the one stored before
    WriteClosingSettings(SettingsStore(settings.settingsPath), settings);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), before + "flag190k=0\r\nautonumber=1\r\nusesplash=0\r\n");
}

// Loading at the start and the window's choices are the presenter's to test; here the keys.
TEST(DatabaseSettings, TheListKeysHoldFullPathsAndABlankDatabaseKeyNamesTheDefaultFile) {
    TempDir dir;
    CurrentDirectory here(dir.Path());
    WriteFile(dir / "brimble.ini", "[config]\r\nquorrel= \t\r\n");
    const SettingsStore store(dir / "brimble.ini");
    NameTable names;
    GameDatabase database;
    database.Store(0xABCD, test::Record("Abc", 0x21, 2));
    EXPECT_EQ(SaveGameDatabase(store, database).status, DatabaseSaveResult::Status::NotConfigured);
    LoadGameDatabaseAtStart(store, names, database);
    EXPECT_EQ(SaveGameDatabase(store, database).status, DatabaseSaveResult::Status::Written);
    WriteFile(dir / "names.dat", test::NamingList({{0x0123ABCD, "Abc (U)"}}));
    EXPECT_EQ(LoadChosenListFile(store, "names.dat", names, database), ListKind::GoodNes);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nquorrel=" + Utf8(dir / "goodQuorrel.lst") +
                                                 "\r\ngoodnes=" + Utf8(dir / "names.dat") + "\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "goodQuorrel.lst"));
}

const std::string kPathSep(1, static_cast<char>(std::filesystem::path::preferred_separator)); // as builds write it

// Splitting and line reading are the catalogue's; here: which lines name a ROM, in what code
// page, and which line each came from.
TEST(SavedList, EachLineIsSplitAtItsLastSeparatorAndNumbered) {
    const std::string a = "roms" + kPathSep + "a.nes";
    // The file, then each ROM as directory|file name|line, then the lines skipped.
    const std::tuple<std::string, std::vector<std::string>, std::vector<std::size_t>> cases[] = {
        {a + "\r\nno separator\r\n\r\n\0"s + kPathSep + "x\n" + "top" + kPathSep + "mid" + kPathSep + "b.nes\n\x1B[2J",
         {"roms|a.nes|1", "top" + kPathSep + "mid|b.nes|5"},
         {2, 6}},
        {"\r\n\n" + a + "\0junk"s + kPathSep + "x\r\n" + kPathSep + "z.nes", {"roms|a.nes|3", "|z.nes|4"}, {}},
        {"caf\xE9" + kPathSep + "\xC9t\xE9.nes\r\n", {"caf\xC3\xA9|\xC3\x89t\xC3\xA9.nes|1"}, {}},
        {"caf\xC3\xA9" + kPathSep + "\xE9.nes\r\n", {"caf\xC3\x83\xC2\xA9|\xC3\xA9.nes|1"}, {}}, // one code page a line
    };
    TempDir dir;
    for (const auto& [file, expected, skipped] : cases) {
        test::WriteFile(dir / "saved.txt", file);
        const SavedListContents contents = ReadSavedList(dir / "saved.txt");
        std::vector<std::string> roms;
        for (const auto& rom : contents.roms)
            roms.push_back(Utf8(rom.directory) + "|" + Utf8(rom.fileName) + "|" + std::to_string(rom.line));
        EXPECT_EQ(roms, expected) << file;
        EXPECT_EQ(contents.skippedLines, skipped) << file;
    }
}

} // namespace
} // namespace brimble
