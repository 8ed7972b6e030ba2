#pragma once

#include "SettingsStore.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace brimble {

inline constexpr std::string_view kSettingsSection = "config";
inline constexpr std::string_view kSettingsFileName = "brimble.ini";
inline constexpr std::string_view kSavedListFileName = "saved.txt";
inline constexpr std::string_view kDefaultDatabaseFileName = "goodQuorrel.lst";

enum class SettingKey {
    Flag190k,
    SaveList,
    AutoNumber,
    UseSplash,
    OutputFile,
    SplashFile,
    LastDir,
    Vantaro,
    GoodNes,
    Quorrel
};

struct SettingInfo {
    SettingKey key;
    std::string_view name;         // the key's name in section "config"
    std::string_view defaultValue; // what a missing key reads as
    bool isSwitch;                 // stored as "%i" of a check box
};

// Every key of the settings file, in one place.
inline constexpr std::array<SettingInfo, 10> kSettingKeys{{
    {SettingKey::Flag190k, "flag190k", "0", true},
    {SettingKey::SaveList, "savelist", "0", true},
    {SettingKey::AutoNumber, "autonumber", "0", true},
    {SettingKey::UseSplash, "usesplash", "0", true},
    {SettingKey::OutputFile, "outputfile", "", false},
    {SettingKey::SplashFile, "splashfile", "", false},
    {SettingKey::LastDir, "lastdir", ".", false},
    {SettingKey::Vantaro, "vantaro", "Vantaro.GBA", false},
    {SettingKey::GoodNes, "goodnes", "", false},
    {SettingKey::Quorrel, "quorrel", "", false},
}};

const SettingInfo& InfoOf(SettingKey key);

// Typed access to section "config" through the key table. Paths are stored as UTF-8 text.
bool ReadSwitch(const SettingsStore& store, SettingKey key);
void WriteSwitch(const SettingsStore& store, SettingKey key, bool on);
std::string ReadSetting(const SettingsStore& store, SettingKey key);
void WriteSetting(const SettingsStore& store, SettingKey key, std::string_view value);
std::filesystem::path ReadPathSetting(const SettingsStore& store, SettingKey key);
bool WritePathSetting(const SettingsStore& store, SettingKey key, const std::filesystem::path& path);

} // namespace brimble
