#include "support/GameFiles.h"

#include "catalogue/Crc32.h"
#include "catalogue/ListFiles.h"
#include "support/TestFiles.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace brimble::test {

std::uint32_t RomCrc(std::size_t romBytes, std::uint32_t seed) {
    return Crc32(PatternBytes(romBytes, seed));
}

void WriteNamingList(const std::filesystem::path& path,
                     const std::vector<std::pair<std::uint32_t, std::string>>& names) {
    std::string text = "Naming list\r\n[GAMES]\r\n";
    for (const auto& [crc, name] : names) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", crc);
        text += "\x01" + name + kSep + "a" + kSep + "b" + kSep + "c" + kSep + "d" + kSep + hex + kSep + "\r\n";
    }
    WriteFile(path, text);
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

} // namespace brimble::test
