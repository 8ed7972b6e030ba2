// Settings file and saved list from arbitrary bytes, in memory: no file is written, so long
// inputs cost no I/O. The input is a settings file, optionally followed by kListMarker and a
// saved list. Besides not crashing, a write must read back as
// written, must leave every other key as it was, and writing the same value again must leave
// the file as it is.
#include "catalogue/Paths.h"
#include "settings/SavedList.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace brimble;

constexpr std::string_view kListMarker = "@@saved.txt@@\n";
constexpr std::string_view kOtherSection = "window";

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The value of a key, or nothing when it is missing: a missing key gives back either default.
std::optional<std::string> Value(const SettingsStore& store, std::string_view section, std::string_view key) {
    std::string first = store.ReadString(section, key, "\x01");
    if (first == "\x01" && store.ReadString(section, key, "\x02") == "\x02")
        return std::nullopt;
    return first;
}

struct Snapshot {
    std::vector<std::optional<std::string>> config;
    std::vector<std::optional<std::string>> other;
};

Snapshot Take(const SettingsStore& store) {
    Snapshot snapshot;
    for (const auto& info : kSettingKeys) {
        snapshot.config.push_back(Value(store, kSettingsSection, info.name));
        snapshot.other.push_back(Value(store, kOtherSection, info.name));
        // The typed readers must agree with the raw one.
        if (info.isSwitch)
            Check(ReadSwitch(store, info.key) == (store.ReadInt(kSettingsSection, info.name, 0) != 0));
        else
            Check(ReadSetting(store, info.key) == snapshot.config.back().value_or(std::string(info.defaultValue)));
    }
    return snapshot;
}

// A value the store can write as one line: no line breaks or NUL, no blanks at either end.
std::string ValueFrom(std::string_view bytes) {
    std::string value = "v";
    for (const char c : bytes.substr(0, 64))
        value += (c == '\r' || c == '\n' || c == '\0') ? '_' : c;
    value += 'v';
    return value;
}

void FuzzSettings(std::string_view iniBytes, std::size_t choice) {
    const SettingsStore store = SettingsStore::FromBytes(std::string(iniBytes));
    const Snapshot before = Take(store);

    const std::size_t changed = choice % kSettingKeys.size();
    const SettingInfo& info = kSettingKeys[changed];
    const std::string value = ValueFrom(iniBytes.substr(iniBytes.size() / 2));
    Check(store.WriteString(kSettingsSection, info.name, value));
    Check(store.ReadString(kSettingsSection, info.name, "") == value);

    const Snapshot after = Take(store);
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        Check(after.other[i] == before.other[i]);
        if (i != changed)
            Check(after.config[i] == before.config[i]);
    }

    const std::string written = store.Bytes();
    Check(store.WriteString(kSettingsSection, info.name, value));
    Check(store.Bytes() == written);

    // A key of another section leaves the whole config section as it was.
    Check(store.WriteString(kOtherSection, info.name, "x"));
    Check(Take(store).config == after.config);
}

void FuzzSavedList(std::string_view listBytes) {
    std::istringstream text{std::string(listBytes)};
    std::size_t lines = 1;
    for (const char c : listBytes)
        lines += c == '\n' ? 1 : 0;
    const auto roms = ReadSavedList(text).roms;
    Check(roms.size() <= lines);
    for (const auto& rom : roms) {
        // The file name is what follows the last separator, so it holds none.
        Check(rom.fileName.native().find(std::filesystem::path::preferred_separator) ==
              std::filesystem::path::string_type::npos);
        Check(SplitPath(JoinPath(rom.directory, rom.fileName)).has_value());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find(kListMarker);
    const std::string_view iniBytes = input.substr(0, marker);
    FuzzSettings(iniBytes, size);
    if (marker != std::string_view::npos)
        FuzzSavedList(input.substr(marker + kListMarker.size()));
    return 0;
}
