#include "AddRom.h"

#include "Paths.h"

namespace brimble {

RomEntry MakeRomEntry(const std::filesystem::path& directory, const std::filesystem::path& fileName,
                      const RomInspection& inspection, const NameTable& names, const GameDatabase& database) {
    RomEntry entry;
    entry.directory = directory;
    entry.fileName = fileName;
    entry.size = inspection.size;
    entry.crc = inspection.crc;

    if (const GameRecord* record = FindGameRecord(database, inspection.crc)) {
        // A record's title is the user's own choice and is taken as it is.
        entry.title = record->title;
        entry.flags = record->flags;
        entry.follow = record->follow;
    } else if (const std::string* name = FindGoodNesTitle(names, inspection.crc)) {
        entry.title = MakeTitle(*name);
    } else {
        entry.title = MakeTitle(FileNameToWindows1252(fileName));
    }
    return entry;
}

std::optional<RomEntry> AddRom(const std::filesystem::path& directory, const std::filesystem::path& fileName,
                               const NameTable& names, const GameDatabase& database) {
    const RomInspection inspection = InspectRom(JoinPath(directory, fileName));
    if (inspection.status != RomInspectionStatus::Accepted)
        return std::nullopt;
    return MakeRomEntry(directory, fileName, inspection, names, database);
}

} // namespace brimble
