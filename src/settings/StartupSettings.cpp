#include "StartupSettings.h"

#include "SettingsKeys.h"

#include <system_error>

namespace brimble {

namespace {

// The name made absolute against the current directory; the name itself when that fails,
// so that the file is still looked for where the program runs.
std::filesystem::path AbsoluteName(std::string_view name) {
    const std::filesystem::path relative(name);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(relative, error);
    return error ? relative : absolute;
}

} // namespace

StartupSettings ReadStartupSettings() {
    StartupSettings settings;
    settings.settingsPath = AbsoluteName(kSettingsFileName);
    settings.savedListPath = AbsoluteName(kSavedListFileName);

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
