#include "catalogue/AddRom.h"
#include "catalogue/Crc32.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <span>
#include <string>
#include <string_view>

namespace brimble {
namespace {

using namespace std::string_view_literals;

TEST(CatalogueAddRom, TheRecordWinsThenTheNamingListThenTheFileName) {
    test::TempDir dir;
    const std::filesystem::path file = std::filesystem::path(std::u8string(u8"Super_Caf\u00e9_(U)_[!].nes"));
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
        {"names and records of other CRCs", crc + 1u, crc ^ 1u, "Super Caf\xE9", 0, 0},
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
    }
}

TEST(CatalogueAddRom, FilesThatAreNotTakenGiveNoEntry) {
    test::TempDir dir;
    test::WriteFile(dir / "short.nes", std::string_view("NES"));
    for (const char* name : {"missing.nes", "short.nes"})
        EXPECT_FALSE(AddRom(dir.Path(), name, NameTable{}, GameDatabase{})) << name;
}

struct TitleCase {
    std::string_view source;
    std::string_view title;
};

class MakeTitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(MakeTitleTest, DerivesTheTitle) {
    EXPECT_EQ(MakeTitle(GetParam().source), GetParam().title) << "source: " << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, MakeTitleTest,
    testing::Values(TitleCase{"Super_Game_(U)_[!].nes", "Super Game"},
                    // The first byte is never rewritten: neither '_' nor '('.
                    TitleCase{"_abc.nes", "_abc"}, TitleCase{"(x).nes", "(x)"},
                    // Only one trailing blank goes.
                    TitleCase{"Name  (E).nes", "Name "}, TitleCase{"Name_(E).nes", "Name"},
                    // The last '.' cuts, whatever the source.
                    TitleCase{"Abc. Def (U)", "Abc"}, TitleCase{"a.b.nes", "a.b"}, TitleCase{".nes", ""},
                    TitleCase{"", ""}, TitleCase{" ", ""}, TitleCase{"  ", " "},
                    // A '(' ends the walk, so a '_' after it is never reached (the title ends there anyway).
                    TitleCase{"A(B_C).nes", "A"},
                    // Beyond 31 bytes nothing is seen: no '.' cut when the extension lies past the limit.
                    TitleCase{"A_Very_Long_Name_For_A_Game_Image (U).nes", "A Very Long Name For A Game Ima"},
                    TitleCase{"0123456789012345678901234567890.nes", "0123456789012345678901234567890"},
                    TitleCase{"012345678901234567890123456789.nes", "012345678901234567890123456789"},
                    // A dot inside the first 31 bytes cuts even when more text follows beyond them.
                    TitleCase{"Ab.cdefghijklmnopqrstuvwxyz0123456789", "Ab"},
                    // Windows-1252 bytes pass unchanged; a NUL ends the source.
                    TitleCase{"Caf\xE9_\xA9.nes", "Caf\xE9 \xA9"}, TitleCase{"Ab\0cd.nes"sv, "Ab"}));

struct ClampCase {
    std::string_view text;
    std::string_view clamped;
};

TEST(CatalogueTitle, ClampTitleCutsAtNulThenAt31Bytes) {
    const ClampCase cases[] = {
        {"", ""},
        {"0123456789012345678901234567890", "0123456789012345678901234567890"},
        {"01234567890123456789012345678901", "0123456789012345678901234567890"},
        {"Ab\0cd"sv, "Ab"},
        // The NUL is looked for first, not only within the first 31 bytes.
        {"0123456789012345678901234567890123\0x"sv, "0123456789012345678901234567890"},
        {"Keeps.dots_and (parens)", "Keeps.dots_and (parens)"},
    };
    for (const auto& [text, clamped] : cases)
        EXPECT_EQ(ClampTitle(text), clamped) << "text: " << text;
}

} // namespace
} // namespace brimble
