#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <tuple>

namespace brimble {
namespace {

using namespace std::string_view_literals;

TEST(CatalogueAddRom, TheRecordWinsThenTheNamingListThenTheFileName) {
    test::TempDir dir;
    const std::filesystem::path file = std::filesystem::path(std::u8string(u8"Super_Caf\u00e9_(U)_[!].nes"));
    test::WriteNesFile(dir / file, 40977 - 16, 3);
    test::WriteFile(dir / "short.nes", std::string_view("NES"));
    const std::uint32_t crc = test::RomCrc(40977 - 16, 3);
    // MakeTitle would cut this at the '.' and the '(': a record's title must not go through it.
    // Bits beyond the four options pass through.
    const GameRecord record{"My.Own_(Title) ", ColourCode::Green, "notes", 0x1021u, -7};
    const struct {
        std::uint32_t nameCrc;
        std::uint32_t recordCrc;
        GameRecord expected; // the entry's title, flags and follow
    } cases[] = {
        {crc, crc, record}, {crc, crc ^ 1u, test::Record("Abc")}, {crc + 1u, crc ^ 1u, test::Record("Super Caf\xE9")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.title);
        NameTable names;
        names.Store(c.nameCrc, "Abc. Def (U)");
        GameDatabase database;
        database.Store(c.recordCrc, record);
        const auto entry = AddRom(dir.Path(), file, names, database);
        ASSERT_TRUE(entry);
        EXPECT_EQ(std::make_tuple(entry->title, entry->flags, entry->follow, entry->size, entry->crc),
                  std::make_tuple(c.expected.title, c.expected.flags, c.expected.follow, 41028u, crc));
        EXPECT_EQ(entry->FullPath(), JoinPath(dir.Path(), file));
    }
    EXPECT_FALSE(AddRom(dir.Path(), "short.nes", NameTable{}, GameDatabase{}));
}

// MakeTitle never rewrites the first byte; drops one trailing blank; cuts at the last '.'
// within the first 31 bytes; stops at a '(' (a '_' after it is never reached) and at a NUL;
// passes Windows-1252 bytes. ClampTitle cuts at a NUL anywhere, then at 31 bytes.
TEST(CatalogueTitle, MakeTitleAndClampTitle) {
    const struct {
        std::string (*function)(std::string_view);
        std::string_view source;
        std::string_view title;
    } cases[] = {{MakeTitle, "Super_Game_(U)_[!].nes", "Super Game"},
                 {MakeTitle, "_abc.nes", "_abc"},
                 {MakeTitle, "(x).nes", "(x)"},
                 {MakeTitle, "Name  (E).nes", "Name "},
                 {MakeTitle, "Name_(E).nes", "Name"},
                 {MakeTitle, "Abc. Def (U)", "Abc"},
                 {MakeTitle, "a.b.nes", "a.b"},
                 {MakeTitle, ".nes", ""},
                 {MakeTitle, "", ""},
                 {MakeTitle, " ", ""},
                 {MakeTitle, "A(B_C).nes", "A"},
                 {MakeTitle, "0123456789012345678901234567890.nes", "0123456789012345678901234567890"},
                 {MakeTitle, "012345678901234567890123456789.nes", "012345678901234567890123456789"},
                 {MakeTitle, "Caf\xE9_\xA9.nes", "Caf\xE9 \xA9"},
                 {MakeTitle, "Ab\0cd.nes"sv, "Ab"},
                 {ClampTitle, "Ab\0cd"sv, "Ab"},
                 {ClampTitle, "0123456789012345678901234567890123\0x"sv, "0123456789012345678901234567890"},
                 {ClampTitle, "Keeps.dots_and (parens)", "Keeps.dots_and (parens)"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.function(c.source), c.title) << "source: " << c.source;
}

} // namespace
} // namespace brimble
