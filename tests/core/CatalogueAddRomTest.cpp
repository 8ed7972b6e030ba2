#include "catalogue/AddRom.h"
#include "catalogue/Crc32.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <span>
#include <tuple>

namespace brimble {
namespace {

TEST(CatalogueAddRom, TheRecordWinsThenTheNamingListThenTheFileName) {
    test::TempDir dir;
    const std::string file = "Super_Game_(U)_[!].nes";
    const test::Bytes image = test::WriteNesFile(dir / file, 40977 - 16, 3);
    const std::uint32_t crc = Crc32(std::span(image).subspan(kInesHeaderSize));
    // MakeTitle would cut this at the '.' and the '(': a record's title must not go through it.
    const GameRecord record{"My.Own_(Title) ", ColourCode::Green, "notes", 0x1021u, -7};
    const struct {
        const char* what;
        std::uint32_t nameCrc;
        std::uint32_t recordCrc;
        std::string title;
        RomOptionFlags flags;
        std::int32_t follow;
    } cases[] = {
        // Bits beyond the four options pass through.
        {"record and name", crc, crc, "My.Own_(Title) ", 0x1021u, -7},
        {"name only", crc, crc ^ 1u, "Abc", 0, 0},
        {"names and records of other CRCs", crc + 1u, crc ^ 1u, "Super Game", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NameTable names;
        names.Store(c.nameCrc, "Abc. Def (U)");
        GameDatabase database;
        database.Store(c.recordCrc, record);
        const auto entry = AddRom(dir.Path(), file, names, database);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->title, c.title);
        EXPECT_EQ(entry->flags, c.flags);
        EXPECT_EQ(entry->follow, c.follow);
        EXPECT_EQ(entry->size, 41028u);
        EXPECT_EQ(entry->crc, crc);
        EXPECT_EQ(entry->FullPath(), JoinPath(dir.Path(), file));
        const auto again = AddRom(dir.Path(), file, names, database); // the same file twice
        ASSERT_TRUE(again);
        EXPECT_EQ(std::tie(again->crc, again->size, again->title), std::tie(entry->crc, entry->size, entry->title));
    }
}

TEST(CatalogueAddRom, FileNameIsConvertedToWindows1252ForTheTitle) {
    test::TempDir dir;
    const std::filesystem::path name = std::filesystem::path(std::u8string(u8"Caf\u00e9_(E).nes"));
    test::WriteNesFile(dir / name, 24592 - 16, 7);
    const auto entry = AddRom(dir.Path(), name, NameTable{}, GameDatabase{});
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, "Caf\xE9");
    EXPECT_EQ(entry->size, 24640u);
}

TEST(CatalogueAddRom, FilesThatAreNotTakenGiveNoEntry) {
    test::TempDir dir;
    test::WriteFile(dir / "empty.nes", std::string_view(""));
    test::WriteFile(dir / "short.nes", std::string_view("NES"));
    test::WriteFile(dir / "lower.nes", std::string_view("nes\x1A"
                                                        "0123456789abcdef"));
    std::filesystem::create_directory(dir / "folder.nes");
    for (const char* name : {"missing.nes", "empty.nes", "short.nes", "lower.nes", "folder.nes"})
        EXPECT_FALSE(AddRom(dir.Path(), name, NameTable{}, GameDatabase{})) << name;
}

} // namespace
} // namespace brimble
