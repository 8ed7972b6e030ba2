#include "SettingsKeys.h"

#include "catalogue/Paths.h"
#include "catalogue/TextScan.h"

namespace brimble {

namespace {

// The table lists the keys in the order of the enumeration, so a key's index is its value.
constexpr bool TableFollowsEnumeration() {
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (static_cast<std::size_t>(kSettingKeys[i].key) != i)
            return false;
    }
    return true;
}
static_assert(TableFollowsEnumeration(), "kSettingKeys must list the keys in enumeration order");

} // namespace

const SettingInfo& InfoOf(SettingKey key) {
    return kSettingKeys[static_cast<std::size_t>(key)];
}

bool ReadSwitch(const SettingsStore& store, SettingKey key) {
    const SettingInfo& info = InfoOf(key);
    return store.ReadInt(kSettingsSection, info.name, LeadingDecimal(info.defaultValue)) != 0;
}

void WriteSwitch(const SettingsStore& store, SettingKey key, bool on) {
    store.WriteString(kSettingsSection, InfoOf(key).name, on ? "1" : "0");
}

std::string ReadSetting(const SettingsStore& store, SettingKey key) {
    const SettingInfo& info = InfoOf(key);
    return store.ReadString(kSettingsSection, info.name, info.defaultValue);
}

void WriteSetting(const SettingsStore& store, SettingKey key, std::string_view value) {
    store.WriteString(kSettingsSection, InfoOf(key).name, value);
}

std::filesystem::path ReadPathSetting(const SettingsStore& store, SettingKey key) {
    return StoredTextToPath(ReadSetting(store, key));
}

bool WritePathSetting(const SettingsStore& store, SettingKey key, const std::filesystem::path& path) {
    return store.WriteString(kSettingsSection, InfoOf(key).name, PathToStoredText(path));
}

} // namespace brimble
