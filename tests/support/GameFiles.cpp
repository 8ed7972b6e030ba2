#include "support/GameFiles.h"

#include "catalogue/ListFiles.h"
#include "support/TestFiles.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brimble::test {

void WriteNamingList(const std::filesystem::path& path,
                     const std::vector<std::pair<std::uint32_t, std::string>>& names) {
    WriteFile(path, NamingList(names));
}

void WriteDatabaseFile(const std::filesystem::path& path, const GameDatabase& records) {
    ASSERT_TRUE(WriteGameDatabase(path, records));
}

GameRecord Record(std::string title, RomOptionFlags flags, std::int32_t follow) {
    GameRecord record;
    record.title = std::move(title);
    record.flags = flags;
    record.follow = follow;
    return record;
}

CompilationResult WriteImage(const CompilationJob& job, const CompilationHooks& hooks) {
    std::ifstream emulator(job.emulatorPath, std::ios::binary);
    return WriteCompilation(job, emulator, hooks);
}

} // namespace brimble::test
