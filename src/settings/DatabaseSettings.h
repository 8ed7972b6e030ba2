#pragma once

#include "SettingsStore.h"
#include "catalogue/GameTables.h"
#include "catalogue/ListFiles.h"

#include <filesystem>

namespace brimble {

// Loads the naming list named by "goodnes" when the key is not empty.
void LoadGoodNesAtStart(const SettingsStore& store, NameTable& names);

// Loads the database named by "quorrel"; when the key is missing or empty, the absolute path
// of goodQuorrel.lst in the current directory is written to it first.
void LoadGameDatabaseAtStart(const SettingsStore& store, NameTable& names, GameDatabase& database);

// The file that "quorrel" names (empty when the key is missing or empty).
std::filesystem::path DatabasePath(const SettingsStore& store);

struct DatabaseSaveResult {
    enum class Status { NotConfigured, Written, Failed };
    Status status = Status::NotConfigured;
    std::filesystem::path path;
};

// Writes the database to the file that "quorrel" names; nothing while the key is empty.
DatabaseSaveResult SaveGameDatabase(const SettingsStore& store, const GameDatabase& database);

// Loads a list file that the user chose and records it under "goodnes" or "quorrel" by what
// it turned out to be; nothing is written when it loaded nothing.
ListKind LoadChosenListFile(const SettingsStore& store, const std::filesystem::path& path, NameTable& names,
                            GameDatabase& database);

} // namespace brimble
