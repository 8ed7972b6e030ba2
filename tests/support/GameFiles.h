#pragma once

#include "catalogue/GameTables.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace brimble::test {

// A naming list of (CRC, name) lines.
void WriteNamingList(const std::filesystem::path& path,
                     const std::vector<std::pair<std::uint32_t, std::string>>& names);
// A game database file holding these records.
void WriteDatabaseFile(const std::filesystem::path& path, const GameDatabase& records);
GameRecord Record(std::string title, RomOptionFlags flags = 0, std::int32_t follow = 0);

} // namespace brimble::test
