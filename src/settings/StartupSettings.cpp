#include "StartupSettings.h"

#include "SettingsKeys.h"
#include "catalogue/Paths.h"

namespace brimble {

StartupSettings ReadStartupSettings() {
    StartupSettings settings;
    settings.settingsPath = AbsoluteOrAsGiven(std::filesystem::path(kSettingsFileName));
    settings.savedListPath = AbsoluteOrAsGiven(std::filesystem::path(kSavedListFileName));

    const SettingsStore store(settings.settingsPath);
    settings.flag190k = ReadSwitch(store, SettingKey::Flag190k);
    settings.saveList = ReadSwitch(store, SettingKey::SaveList);
    settings.autonumber = ReadSwitch(store, SettingKey::AutoNumber);
    settings.outputFile = ReadPathSetting(store, SettingKey::OutputFile);
    settings.splashFile = ReadPathSetting(store, SettingKey::SplashFile);
    settings.useSplash = ReadSwitch(store, SettingKey::UseSplash);
    return settings;
}

void WriteClosingSettings(const SettingsStore& store, const StartupSettings& settings) {
    WriteSwitch(store, SettingKey::Flag190k, settings.flag190k);
    WriteSwitch(store, SettingKey::SaveList, settings.saveList);
    WriteSwitch(store, SettingKey::AutoNumber, settings.autonumber);
    WriteSwitch(store, SettingKey::UseSplash, settings.useSplash);
    // An emptied splash box keeps the path that was stored before.
    if (!settings.splashFile.empty())
        WritePathSetting(store, SettingKey::SplashFile, settings.splashFile);
}

} // namespace brimble
