#include "settings/SettingsKeys.h"

#include "settings/StartupSettings.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace brimble {
namespace {

using test::CurrentDirectory;
using test::ReadText;
using test::TempDir;
using test::WriteFile;

TEST(SettingsKeys, EveryKeyHasItsNameAndReadsAsItsDefaultWhenMissing) {
    const struct {
        SettingKey key;
        std::string_view name;
        std::string_view missing; // what the key reads as when it is not in the file
    } cases[] = {
        {SettingKey::Flag190k, "flag190k", "0"},     {SettingKey::SaveList, "savelist", "0"},
        {SettingKey::AutoNumber, "autonumber", "0"}, {SettingKey::UseSplash, "usesplash", "0"},
        {SettingKey::OutputFile, "outputfile", ""},  {SettingKey::SplashFile, "splashfile", ""},
        {SettingKey::LastDir, "lastdir", "."},       {SettingKey::Vantaro, "vantaro", "Vantaro.GBA"},
        {SettingKey::GoodNes, "goodnes", ""},        {SettingKey::Quorrel, "quorrel", ""},
    };
    TempDir dir;
    // The keys stand in another section: they must not be found there.
    WriteFile(dir / "brimble.ini", "[other]\r\nlastdir=elsewhere\r\nvantaro=x\r\nflag190k=1\r\n");
    const SettingsStore store(dir / "brimble.ini");
    for (const auto& c : cases) {
        EXPECT_EQ(InfoOf(c.key).name, c.name);
        if (InfoOf(c.key).isSwitch) {
            EXPECT_FALSE(ReadSwitch(store, c.key)) << c.name;
        } else {
            EXPECT_EQ(ReadSetting(store, c.key), c.missing) << c.name;
        }
    }
    EXPECT_EQ(ReadPathSetting(store, SettingKey::Vantaro), std::filesystem::path("Vantaro.GBA"));
}

TEST(SettingsKeys, SwitchIsOnForANonzeroLeadingNumberAndWrittenAsOneOrZero) {
    const std::pair<std::string_view, bool> cases[] = {{"1", true}, {"0", false}, {"-1", true}, {"yes", false}};
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    for (const auto& [stored, on] : cases) {
        WriteFile(dir / "brimble.ini", "[config]\r\nautonumber=" + std::string(stored) + "\r\n");
        EXPECT_EQ(ReadSwitch(store, SettingKey::AutoNumber), on) << stored;
        WriteSwitch(store, SettingKey::AutoNumber, !on);
        EXPECT_EQ(ReadText(dir / "brimble.ini"), on ? "[config]\r\nautonumber=0\r\n" : "[config]\r\nautonumber=1\r\n");
    }
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

    // Path text from older files, not UTF-8, reads as Windows-1252.
    WriteFile(dir / "brimble.ini", "[config]\r\nlastdir=roms\\caf\xE9\r\n");
    EXPECT_EQ(ReadPathSetting(store, SettingKey::LastDir), std::filesystem::path(u8"roms\\caf\u00e9"));
}

// ---- Start-up and closing ----

TEST(StartupSettings, FirstStartInAnEmptyDirectory) {
    TempDir dir;
    CurrentDirectory here(dir.Path());
    const StartupSettings settings = ReadStartupSettings();
    EXPECT_EQ(settings.settingsPath, dir / "brimble.ini");
    EXPECT_EQ(settings.savedListPath, dir / "saved.txt");
    EXPECT_FALSE(settings.flag190k || settings.saveList || settings.autonumber || settings.useSplash);
    EXPECT_TRUE(settings.outputFile.empty());
    EXPECT_TRUE(settings.splashFile.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "brimble.ini"));
}

TEST(StartupSettings, ReadsTheSwitchesAndPathsOfTheStartDirectory) {
    TempDir dir;
    WriteFile(dir / "brimble.ini", "[config]\r\nflag190k=1\r\nsavelist=1\r\nautonumber=0\r\nusesplash=1\r\n"
                                   "outputfile=out\\all.gba\r\nsplashfile=pics\\s.raw\r\n");
    StartupSettings settings;
    {
        CurrentDirectory here(dir.Path());
        settings = ReadStartupSettings();
    }
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
    WriteClosingSettings(SettingsStore(dir / "brimble.ini"), StartupSettings{});
    CurrentDirectory here(dir.Path());
    const StartupSettings next = ReadStartupSettings();
    EXPECT_EQ(next.splashFile, std::filesystem::path("old\\s.raw"));
    EXPECT_FALSE(next.useSplash);
}

} // namespace
} // namespace brimble
