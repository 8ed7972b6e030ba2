#include "DatabaseSettings.h"

#include "SettingsKeys.h"
#include "catalogue/Paths.h"

namespace brimble {

void LoadGoodNesAtStart(const SettingsStore& store, NameTable& names) {
    const std::filesystem::path path = ReadPathSetting(store, SettingKey::GoodNes);
    if (!path.empty())
        LoadGoodNesList(path, names);
}

void LoadGameDatabaseAtStart(const SettingsStore& store, NameTable& names, GameDatabase& database) {
    std::filesystem::path path = ReadPathSetting(store, SettingKey::Quorrel);
    if (path.empty()) {
        // The key is written at once, so the settings name the database from the first start
        // on, even before any build has created the file.
        path = AbsoluteOrAsGiven(std::filesystem::path(kDefaultDatabaseFileName));
        WritePathSetting(store, SettingKey::Quorrel, path);
    }
    LoadListFile(path, names, database);
}

std::filesystem::path DatabasePath(const SettingsStore& store) {
    return ReadPathSetting(store, SettingKey::Quorrel);
}

DatabaseSaveResult SaveGameDatabase(const SettingsStore& store, const GameDatabase& database) {
    DatabaseSaveResult result;
    result.path = DatabasePath(store);
    if (result.path.empty())
        return result;
    result.status = WriteGameDatabase(result.path, database) ? DatabaseSaveResult::Status::Written
                                                             : DatabaseSaveResult::Status::Failed;
    return result;
}

ListKind LoadChosenListFile(const SettingsStore& store, const std::filesystem::path& path, NameTable& names,
                            GameDatabase& database) {
    const ListKind kind = LoadListFile(path, names, database);
    // Stored as a full path, so that a later change of the current directory does not move it.
    switch (kind) {
    case ListKind::GoodNes:
        WritePathSetting(store, SettingKey::GoodNes, AbsoluteOrAsGiven(path));
        break;
    case ListKind::Quorrel:
        WritePathSetting(store, SettingKey::Quorrel, AbsoluteOrAsGiven(path));
        break;
    case ListKind::Nothing:
        break;
    }
    return kind;
}

} // namespace brimble
