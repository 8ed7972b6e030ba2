#pragma once

#include "builder/CompilationWriter.h"
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

// A size rounded up to a multiple of 4, as the image stores every file.
inline std::uint64_t Padded(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}
// Writes the job's image, reading the emulator image from the job's path.
CompilationResult WriteImage(const CompilationJob& job, const CompilationHooks& hooks = {});

} // namespace brimble::test
