#pragma once

#include "GameTables.h"
#include "RomEntry.h"
#include "RomSource.h"

#include <filesystem>
#include <optional>

namespace brimble {

// The entry for an inspected file: title, flags and follow from the database record when
// there is one, else flags and follow 0 and the title made from the naming list's name or,
// failing that, from the file name.
RomEntry MakeRomEntry(const std::filesystem::path& directory, const std::filesystem::path& fileName,
                      const RomInspection& inspection, const NameTable& names, const GameDatabase& database);

// Makes the entry for directory/fileName (a file, or a member of a zip archive), or nothing when
// it cannot be opened, is no iNES file, is too large or cannot be read. Changes neither table.
std::optional<RomEntry> AddRom(const std::filesystem::path& directory, const std::filesystem::path& fileName,
                               const NameTable& names, const GameDatabase& database);

} // namespace brimble
