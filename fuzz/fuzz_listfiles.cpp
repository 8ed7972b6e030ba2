// Loads arbitrary bytes as a list file, writes the database that came out and reads it back, all
// in memory: the written text must read back as records that write the very same bytes again.
#include "catalogue/GameTables.h"
#include "catalogue/ListFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// The database as WriteGameDatabase writes it, in memory.
std::string DatabaseText(const brimble::GameDatabase& database) {
    std::string text = brimble::DatabaseHeaderLine();
    for (const auto& [crc, record] : database)
        text += brimble::DatabaseRecordLine(crc, record);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory: a file a run would cost the disk more than the parser.
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);

    brimble::NameTable names;
    brimble::GameDatabase database;
    const brimble::ListKind kind = brimble::LoadListFile(input, names, database);
    brimble::NameTable onlyNames;
    input.clear();
    input.seekg(0);
    const brimble::ListKind namingKind = brimble::LoadGoodNesList(input, onlyNames);
    // A naming list is the same whichever way it is loaded.
    if (kind == brimble::ListKind::GoodNes && (namingKind != kind || onlyNames.Size() != names.Size()))
        std::abort();
    if (kind != brimble::ListKind::Quorrel && database.Size() != 0)
        std::abort();

    const std::string written = DatabaseText(database);
    std::istringstream again(written, std::ios::binary);
    brimble::NameTable noNames;
    brimble::GameDatabase reread;
    if (brimble::LoadListFile(again, noNames, reread) != brimble::ListKind::Quorrel ||
        reread.Size() != database.Size() || noNames.Size() != 0)
        std::abort();
    if (DatabaseText(reread) != written)
        std::abort();
    return 0;
}
