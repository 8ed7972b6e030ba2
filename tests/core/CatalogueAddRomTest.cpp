#include "catalogue/AddRom.h"
#include "catalogue/Crc32.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <span>

namespace brimble {
namespace {

std::uint32_t RomCrc(const test::Bytes& image) {
    return Crc32(std::span(image).subspan(kInesHeaderSize));
}

TEST(CatalogueAddRom, WithEmptyTablesTheTitleComesFromTheFileName) {
    test::TempDir dir;
    const test::Bytes image = test::WriteNesFile(dir / "Super_Game_(U)_[!].nes", 40977 - 16, 3);
    const NameTable names;
    const GameDatabase database;

    const auto entry = AddRom(dir.Path(), "Super_Game_(U)_[!].nes", names, database);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "Super Game");
    EXPECT_EQ(entry->flags, 0u);
    EXPECT_EQ(entry->follow, 0);
    EXPECT_EQ(entry->size, 41028u);
    EXPECT_EQ(entry->crc, RomCrc(image));
    EXPECT_EQ(entry->directory, dir.Path());
    EXPECT_EQ(entry->fileName, "Super_Game_(U)_[!].nes");
    EXPECT_EQ(entry->FullPath(), JoinPath(dir.Path(), "Super_Game_(U)_[!].nes"));
}

TEST(CatalogueAddRom, RecordWinsOverNameAndIsTakenUnchanged) {
    test::TempDir dir;
    const test::Bytes image = test::WriteNesFile(dir / "game.nes", 24592 - 16, 4);
    const std::uint32_t crc = RomCrc(image);
    NameTable names;
    names.Store(crc, "Naming List Name (U)");
    GameDatabase database;
    // MakeTitle would cut this at the '.' and the '(': the record's title must not go through it.
    database.Store(crc, GameRecord{"My.Own_(Title) ", ColourCode::Green, "notes", 0x1021u, -7});

    const auto entry = AddRom(dir.Path(), "game.nes", names, database);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "My.Own_(Title) ");
    // Bits beyond the four options pass through.
    EXPECT_EQ(entry->flags, 0x1021u);
    EXPECT_EQ(entry->follow, -7);
    EXPECT_EQ(entry->size, 24640u);
}

TEST(CatalogueAddRom, NameFromTheNamingListGoesThroughMakeTitle) {
    test::TempDir dir;
    const test::Bytes image = test::WriteNesFile(dir / "file_name.nes", 1000, 5);
    NameTable names;
    names.Store(RomCrc(image), "Abc. Def (U)");
    const GameDatabase database;

    const auto entry = AddRom(dir.Path(), "file_name.nes", names, database);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "Abc");
    EXPECT_EQ(entry->flags, 0u);
    EXPECT_EQ(entry->follow, 0);
}

TEST(CatalogueAddRom, NamesAndRecordsOfOtherCrcsAreNotUsed) {
    test::TempDir dir;
    const test::Bytes image = test::WriteNesFile(dir / "Other_Game.nes", 500, 6);
    NameTable names;
    names.Store(RomCrc(image) ^ 1u, "Wrong Name");
    GameDatabase database;
    database.Store(RomCrc(image) + 1u, GameRecord{"Wrong Record", ColourCode::None, "", 5, 5});

    const auto entry = AddRom(dir.Path(), "Other_Game.nes", names, database);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "Other Game");
    EXPECT_EQ(entry->flags, 0u);
}

TEST(CatalogueAddRom, FileNameIsConvertedToWindows1252ForTheTitle) {
    test::TempDir dir;
    // The UTF-8 name "Café_(E).nes".
    const std::filesystem::path name = std::filesystem::path(std::u8string(u8"Caf\u00e9_(E).nes"));
    test::WriteNesFile(dir / name, 64, 7);

    const auto entry = AddRom(dir.Path(), name, NameTable{}, GameDatabase{});
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "Caf\xE9");
}

TEST(CatalogueAddRom, SameFileTwiceGivesTwoEqualEntries) {
    test::TempDir dir;
    test::WriteNesFile(dir / "twice.nes", 3000, 8);
    const NameTable names;
    const GameDatabase database;
    const auto first = AddRom(dir.Path(), "twice.nes", names, database);
    const auto second = AddRom(dir.Path(), "twice.nes", names, database);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->crc, second->crc);
    EXPECT_EQ(first->size, second->size);
    EXPECT_EQ(first->title, second->title);
}

TEST(CatalogueAddRom, FilesThatAreNotTakenGiveNoEntry) {
    test::TempDir dir;
    test::WriteFile(dir / "empty.nes", std::string_view(""));
    test::WriteFile(dir / "short.nes", std::string_view("NES"));
    test::WriteFile(dir / "lower.nes", std::string_view("nes\x1A"
                                                        "0123456789abcdef"));
    std::filesystem::create_directory(dir / "folder.nes");
    const NameTable names;
    const GameDatabase database;
    for (const char* name : {"missing.nes", "empty.nes", "short.nes", "lower.nes", "folder.nes"})
        EXPECT_FALSE(AddRom(dir.Path(), name, names, database)) << name;
}

} // namespace
} // namespace brimble
