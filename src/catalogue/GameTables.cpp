#include "GameTables.h"

#include <utility>

namespace brimble {

std::string_view ColourName(ColourCode colour) {
    switch (colour) {
    case ColourCode::Red:
        return "Red";
    case ColourCode::Yellow:
        return "Yellow";
    case ColourCode::Green:
        return "Green";
    case ColourCode::None:
        break;
    }
    return "";
}

ColourCode ColourFromName(std::string_view name) {
    if (name == "Red")
        return ColourCode::Red;
    if (name == "Yellow")
        return ColourCode::Yellow;
    if (name == "Green")
        return ColourCode::Green;
    return ColourCode::None;
}

void NameTable::Store(std::uint32_t crc, std::string name) {
    m_names.insert_or_assign(crc, std::move(name));
}

const std::string* NameTable::Find(std::uint32_t crc) const {
    const auto found = m_names.find(crc);
    return found == m_names.end() ? nullptr : &found->second;
}

void GameDatabase::Store(std::uint32_t crc, GameRecord record) {
    m_records.insert_or_assign(crc, std::move(record));
}

const GameRecord* GameDatabase::Find(std::uint32_t crc) const {
    const auto found = m_records.find(crc);
    return found == m_records.end() ? nullptr : &found->second;
}

GameRecord* GameDatabase::Find(std::uint32_t crc) {
    const auto found = m_records.find(crc);
    return found == m_records.end() ? nullptr : &found->second;
}

const std::string* FindGoodNesTitle(const NameTable& names, std::uint32_t crc) {
    return names.Find(crc);
}

const GameRecord* FindGameRecord(const GameDatabase& database, std::uint32_t crc) {
    return database.Find(crc);
}

void StoreGameRecord(GameDatabase& database, const RomEntry& entry) {
    if (GameRecord* record = database.Find(entry.crc)) {
        record->title = ClampTitle(entry.title);
        record->flags = entry.flags;
        record->follow = entry.follow;
        return;
    }
    GameRecord record;
    record.title = ClampTitle(entry.title);
    record.flags = entry.flags;
    record.follow = entry.follow;
    database.Store(entry.crc, std::move(record));
}

} // namespace brimble
