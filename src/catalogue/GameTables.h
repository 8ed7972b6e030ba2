#pragma once

#include "RomEntry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brimble {

enum class ColourCode : std::uint32_t { None = 0, Red = 1, Yellow = 2, Green = 3 };

// The name under which the database file writes a colour ("" for None).
std::string_view ColourName(ColourCode colour);
// "Red", "Yellow" and "Green", compared exactly; anything else is None.
ColourCode ColourFromName(std::string_view name);

// What the game database remembers of one game.
struct GameRecord {
    std::string title; // Windows-1252, at most kMaxTitleLength bytes
    ColourCode colour = ColourCode::None;
    std::string details; // empty when there are none
    RomOptionFlags flags = 0;
    std::int32_t follow = 0;

    bool operator==(const GameRecord&) const = default;
};

// CRC-32 to a clean game name, filled from a naming list. Names are only added or replaced.
class NameTable {
public:
    void Store(std::uint32_t crc, std::string name);
    const std::string* Find(std::uint32_t crc) const;
    std::size_t Size() const { return m_names.size(); }

private:
    std::map<std::uint32_t, std::string> m_names;
};

// CRC-32 to the record of a game; iterates in ascending unsigned CRC order. Records are only
// added or replaced.
class GameDatabase {
public:
    using Map = std::map<std::uint32_t, GameRecord>;

    void Store(std::uint32_t crc, GameRecord record);
    const GameRecord* Find(std::uint32_t crc) const;
    GameRecord* Find(std::uint32_t crc);
    std::size_t Size() const { return m_records.size(); }
    Map::const_iterator begin() const { return m_records.begin(); }
    Map::const_iterator end() const { return m_records.end(); }

private:
    Map m_records;
};

const std::string* FindGoodNesTitle(const NameTable& names, std::uint32_t crc);
const GameRecord* FindGameRecord(const GameDatabase& database, std::uint32_t crc);

// The record of the entry's CRC takes the entry's title, flags and follow value; colour and
// details stay. A missing record is made with colour None and no details.
void StoreGameRecord(GameDatabase& database, const RomEntry& entry);

} // namespace brimble
