#include "settings/SettingsKeys.h"

#include "settings/StartupSettings.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <string_view>

namespace brimble {
namespace {

using test::CurrentDirectory;
using test::ReadText;
using test::TempDir;
using test::WriteFile;

TEST(SettingsKeys, TableHasEveryKeyOnceWithItsDefault) {
    std::set<std::string_view> names;
    for (const auto& info : kSettingKeys) {
        EXPECT_EQ(&InfoOf(info.key), &info);
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
    }
    EXPECT_EQ(InfoOf(SettingKey::LastDir).defaultValue, ".");
    EXPECT_EQ(InfoOf(SettingKey::Vantaro).defaultValue, "Vantaro.GBA");
    EXPECT_TRUE(InfoOf(SettingKey::UseSplash).isSwitch);
    EXPECT_FALSE(InfoOf(SettingKey::Quorrel).isSwitch);
}

TEST(SettingsKeys, MissingKeysReadAsTheirDefaults) {
    TempDir dir;
    WriteFile(dir / "brimble.ini", "[other]\r\nlastdir=elsewhere\r\n");
    const SettingsStore store(dir / "brimble.ini");
    for (const auto& info : kSettingKeys) {
        SCOPED_TRACE(std::string(info.name));
        if (info.isSwitch)
            EXPECT_FALSE(ReadSwitch(store, info.key));
        else
            EXPECT_EQ(ReadSetting(store, info.key), info.defaultValue);
    }
    EXPECT_EQ(ReadPathSetting(store, SettingKey::Vantaro), std::filesystem::path("Vantaro.GBA"));
    EXPECT_TRUE(ReadPathSetting(store, SettingKey::GoodNes).empty());
}

TEST(SettingsKeys, SwitchIsOnForANonzeroLeadingNumber) {
    struct SwitchCase {
        std::string_view stored;
        bool on;
    };
    const SwitchCase cases[] = {{"1", true},    {"0", false}, {"2", true},    {"-1", true}, {" 1 ", true},
                                {"yes", false}, {"", false},  {"1abc", true}, {"00", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored));
        TempDir dir;
        WriteFile(dir / "brimble.ini", "[config]\r\nautonumber=" + std::string(c.stored) + "\r\n");
        EXPECT_EQ(ReadSwitch(SettingsStore(dir / "brimble.ini"), SettingKey::AutoNumber), c.on);
    }
}

TEST(SettingsKeys, SwitchesAreWrittenAsOneOrZero) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    WriteSwitch(store, SettingKey::Flag190k, true);
    WriteSwitch(store, SettingKey::SaveList, false);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nflag190k=1\r\nsavelist=0\r\n");
    WriteSwitch(store, SettingKey::Flag190k, false);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nflag190k=0\r\nsavelist=0\r\n");
}

TEST(SettingsKeys, PathsAreStoredAsUtf8AndReadWhole) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    const std::filesystem::path accented = dir / std::filesystem::path(u8"d\u00e9j\u00e0 vu") / "Z\u00fcrich.gba";
    EXPECT_TRUE(WritePathSetting(store, SettingKey::OutputFile, accented));
    EXPECT_EQ(ReadPathSetting(store, SettingKey::OutputFile), accented);
    const std::u8string utf8 = accented.u8string();
    EXPECT_NE(ReadText(dir / "brimble.ini").find(std::string(utf8.begin(), utf8.end())), std::string::npos);

    // A path of 300 characters is not cut at 255.
    std::filesystem::path deep = dir.Path();
    for (int i = 0; i < 30; ++i)
        deep /= "folder" + std::to_string(i);
    deep /= "splash.raw";
    ASSERT_GT(deep.native().size(), 300u);
    EXPECT_TRUE(WritePathSetting(store, SettingKey::SplashFile, deep));
    EXPECT_EQ(ReadPathSetting(store, SettingKey::SplashFile), deep);
}

TEST(SettingsKeys, AnsiPathTextFromOlderFilesReadsAsWindows1252) {
    TempDir dir;
    WriteFile(dir / "brimble.ini", "[config]\r\nlastdir=roms\\caf\xE9\r\n");
    EXPECT_EQ(ReadPathSetting(SettingsStore(dir / "brimble.ini"), SettingKey::LastDir),
              std::filesystem::path(u8"roms\\caf\u00e9"));
}

// ---- Start-up and closing ----

TEST(StartupSettings, FirstStartInAnEmptyDirectory) {
    TempDir dir;
    CurrentDirectory here(dir.Path());
    const StartupSettings settings = ReadStartupSettings();
    EXPECT_EQ(settings.settingsPath, dir / "brimble.ini");
    EXPECT_EQ(settings.savedListPath, dir / "saved.txt");
    EXPECT_FALSE(settings.flag190k);
    EXPECT_FALSE(settings.saveList);
    EXPECT_FALSE(settings.autonumber);
    EXPECT_FALSE(settings.useSplash);
    EXPECT_TRUE(settings.outputFile.empty());
    EXPECT_TRUE(settings.splashFile.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "brimble.ini"));
}

TEST(StartupSettings, ReadsTheSwitchesAndPathsOfTheStartDirectory) {
    TempDir dir;
    WriteFile(dir / "brimble.ini", "[Config]\r\nFlag190k=1\r\nsavelist = 1\r\nautonumber=0\r\nusesplash=1\r\n"
                                   "outputfile=out\\all.gba\r\nsplashfile= pics\\s.raw \r\n");
    StartupSettings settings;
    {
        CurrentDirectory here(dir.Path());
        settings = ReadStartupSettings();
    }
    EXPECT_TRUE(settings.settingsPath.is_absolute());
    EXPECT_EQ(settings.settingsPath, dir / "brimble.ini");
    EXPECT_TRUE(settings.flag190k);
    EXPECT_TRUE(settings.saveList);
    EXPECT_FALSE(settings.autonumber);
    EXPECT_TRUE(settings.useSplash);
    EXPECT_EQ(settings.outputFile, std::filesystem::path("out\\all.gba"));
    EXPECT_EQ(settings.splashFile, std::filesystem::path("pics\\s.raw"));
}

TEST(StartupSettings, ClosingWritesTheFourSwitchesThenTheSplashPath) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    StartupSettings settings;
    settings.flag190k = true;
    settings.autonumber = true;
    settings.splashFile = "pics/s.raw";
    WriteClosingSettings(store, settings);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nflag190k=1\r\nsavelist=0\r\nautonumber=1\r\nusesplash=0\r\n"
                                             "splashfile=pics/s.raw\r\n");
}

TEST(StartupSettings, EmptiedSplashPathKeepsTheOldOne) {
    TempDir dir;
    WriteFile(dir / "brimble.ini", "[config]\r\nsplashfile=old\\s.raw\r\nusesplash=1\r\n");
    const SettingsStore store(dir / "brimble.ini");
    StartupSettings closing;
    closing.useSplash = false;
    WriteClosingSettings(store, closing);
    EXPECT_EQ(ReadSetting(store, SettingKey::SplashFile), "old\\s.raw");
    EXPECT_FALSE(ReadSwitch(store, SettingKey::UseSplash));

    CurrentDirectory here(dir.Path());
    EXPECT_EQ(ReadStartupSettings().splashFile, std::filesystem::path("old\\s.raw"));
}

TEST(StartupSettings, ClosingKeepsEveryLineItDoesNotTouch) {
    TempDir dir;
    const std::string before = "; written by hand\r\n"
                               "[window]\r\n"
                               "x=10\n"
                               "[config]\r\n"
                               "lastdir=C:\\roms\\nes\r\n"
                               "FLAG190K = 0\r\n"
                               "vantaro=..\\emu\\Vantaro.GBA\r\n"
                               "custom line without equals\r\n"
                               "usesplash=1\n"
                               "\r\n"
                               "[later]\r\n"
                               "savelist=7";
    WriteFile(dir / "brimble.ini", before);
    StartupSettings closing;
    closing.flag190k = true;
    closing.saveList = true;
    closing.splashFile = "s.raw";
    WriteClosingSettings(SettingsStore(dir / "brimble.ini"), closing);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "; written by hand\r\n"
                                             "[window]\r\n"
                                             "x=10\n"
                                             "[config]\r\n"
                                             "lastdir=C:\\roms\\nes\r\n"
                                             "FLAG190K=1\r\n"
                                             "vantaro=..\\emu\\Vantaro.GBA\r\n"
                                             "custom line without equals\r\n"
                                             "usesplash=0\r\n"
                                             "savelist=1\r\n"
                                             "autonumber=0\r\n"
                                             "splashfile=s.raw\r\n"
                                             "\r\n"
                                             "[later]\r\n"
                                             "savelist=7");
}

} // namespace
} // namespace brimble
