// Loads arbitrary bytes as a list file, writes the database that came out and reads it back:
// the written file must read back as records that write the very same bytes again.
#include "catalogue/GameTables.h"
#include "catalogue/ListFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

std::filesystem::path TempPath(const char* suffix) {
    // Parallel fuzzing jobs each get their own names.
    static const std::string stem = "brimble-fuzz-listfiles-" + std::to_string(std::random_device{}());
    return std::filesystem::temp_directory_path() / (stem + suffix);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path input = TempPath(".in");
    const std::filesystem::path written = TempPath(".out");
    const std::filesystem::path rewritten = TempPath(".again");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            return 0;
    }

    brimble::NameTable names;
    brimble::GameDatabase database;
    const brimble::ListKind kind = brimble::LoadListFile(input, names, database);
    brimble::NameTable onlyNames;
    const brimble::ListKind namingKind = brimble::LoadGoodNesList(input, onlyNames);
    // A naming list is the same whichever way it is loaded.
    if (kind == brimble::ListKind::GoodNes && (namingKind != kind || onlyNames.Size() != names.Size()))
        std::abort();
    if (kind != brimble::ListKind::Quorrel && database.Size() != 0)
        std::abort();

    if (!brimble::WriteGameDatabase(written, database))
        std::abort();
    brimble::NameTable noNames;
    brimble::GameDatabase reread;
    if (brimble::LoadListFile(written, noNames, reread) != brimble::ListKind::Quorrel ||
        reread.Size() != database.Size() || noNames.Size() != 0)
        std::abort();
    if (!brimble::WriteGameDatabase(rewritten, reread) || ReadAll(written) != ReadAll(rewritten))
        std::abort();

    std::error_code ignored;
    std::filesystem::remove(input, ignored);
    std::filesystem::remove(written, ignored);
    std::filesystem::remove(rewritten, ignored);
    return 0;
}
