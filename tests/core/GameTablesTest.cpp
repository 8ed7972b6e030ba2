#include "catalogue/GameTables.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

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

} // namespace
} // namespace brimble
