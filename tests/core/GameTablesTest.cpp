#include "catalogue/GameTables.h"

#include <gtest/gtest.h>
#include <vector>

namespace brimble {
namespace {

TEST(GameTables, ColourNamesAreExactAndCaseSensitive) {
    const struct {
        std::string_view name;
        ColourCode colour;
    } cases[] = {
        {"", ColourCode::None},       {"Red", ColourCode::Red},     {"Yellow", ColourCode::Yellow},
        {"Green", ColourCode::Green}, {"red", ColourCode::None},    {"RED", ColourCode::None},
        {"Red ", ColourCode::None},   {" Red", ColourCode::None},   {"Blue", ColourCode::None},
        {"Gree", ColourCode::None},   {"Greens", ColourCode::None},
    };
    for (const auto& [name, colour] : cases)
        EXPECT_EQ(ColourFromName(name), colour) << "name: " << name;
    for (const auto colour : {ColourCode::None, ColourCode::Red, ColourCode::Yellow, ColourCode::Green})
        EXPECT_EQ(ColourFromName(ColourName(colour)), colour);
}

TEST(GameTables, LookupsFindTheLaterValueUnderTheSameCrcAndNothingElse) {
    NameTable names;
    GameDatabase database;
    for (const std::uint32_t crc : {0u, 0x1234u, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(FindGoodNesTitle(names, crc), nullptr);
        EXPECT_EQ(FindGameRecord(database, crc), nullptr);
    }
    names.Store(0x1234u, "First");
    names.Store(0x1234u, "Second");
    names.Store(0x1235u, "Neighbour");
    ASSERT_NE(FindGoodNesTitle(names, 0x1234u), nullptr);
    EXPECT_EQ(*FindGoodNesTitle(names, 0x1234u), "Second");
    EXPECT_EQ(names.Size(), 2u);

    database.Store(7u, GameRecord{"Old", ColourCode::Red, "old notes", 1, 2});
    database.Store(7u, GameRecord{"New", ColourCode::None, "", 4, -5});
    ASSERT_NE(FindGameRecord(database, 7u), nullptr);
    EXPECT_EQ(*FindGameRecord(database, 7u), (GameRecord{"New", ColourCode::None, "", 4, -5}));
    EXPECT_EQ(FindGameRecord(database, 6u), nullptr);
}

TEST(GameTables, StoreGameRecordKeepsColourAndDetailsAndTakesTheRestFromTheEntry) {
    GameDatabase database;
    database.Store(0xABCDu, GameRecord{"Old Title", ColourCode::Yellow, "keep these notes", 0x1001u, 3});
    database.Store(0xABCEu, GameRecord{"Untouched", ColourCode::Red, "other", 1, 1});
    StoreGameRecord(database, RomEntry{"", "", "New Title", 0x04u, -1, 64, 0xABCDu});
    // A new CRC gets no colour and no details; the title keeps its limit.
    StoreGameRecord(database, RomEntry{"", "", "A title that is far longer than thirty-one bytes", 0x25u, 12, 64, 1u});
    EXPECT_EQ(*FindGameRecord(database, 0xABCDu),
              (GameRecord{"New Title", ColourCode::Yellow, "keep these notes", 0x04u, -1}));
    EXPECT_EQ(*FindGameRecord(database, 0xABCEu), (GameRecord{"Untouched", ColourCode::Red, "other", 1, 1}));
    EXPECT_EQ(*FindGameRecord(database, 1u),
              (GameRecord{"A title that is far longer than", ColourCode::None, "", 0x25u, 12}));
    EXPECT_EQ(database.Size(), 3u);
}

TEST(GameTables, DatabaseIteratesInAscendingUnsignedCrcOrder) {
    GameDatabase database;
    for (const std::uint32_t crc : {0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0u, 0x12345678u})
        database.Store(crc, GameRecord{});
    std::vector<std::uint32_t> order;
    for (const auto& [crc, record] : database)
        order.push_back(crc);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{0u, 0x12345678u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}));
}

} // namespace
} // namespace brimble
