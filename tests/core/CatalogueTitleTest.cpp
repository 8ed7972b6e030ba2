#include "catalogue/RomEntry.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace brimble {
namespace {

using namespace std::string_view_literals;

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
                    TitleCase{"_abc.nes", "_abc"}, TitleCase{"(x).nes", "(x)"}, TitleCase{"_a_b.nes", "_a b"},
                    // Only one trailing blank goes.
                    TitleCase{"Name  (E).nes", "Name "}, TitleCase{"Name_(E).nes", "Name"},
                    // The last '.' cuts, whatever the source.
                    TitleCase{"Abc. Def (U)", "Abc"}, TitleCase{"a.b.nes", "a.b"},
                    TitleCase{"Plain Name", "Plain Name"}, TitleCase{".nes", ""}, TitleCase{" .nes", ""},
                    TitleCase{"", ""}, TitleCase{"_", "_"}, TitleCase{"(", "("}, TitleCase{"a(", "a"},
                    TitleCase{"a (", "a"}, TitleCase{" ", ""}, TitleCase{"  ", " "},
                    // A '(' ends the walk, so a '_' after it is never reached (the title ends there anyway).
                    TitleCase{"A(B_C).nes", "A"},
                    // Beyond 31 bytes nothing is seen: no '.' cut when the extension lies past the limit.
                    TitleCase{"A_Very_Long_Name_For_A_Game_Image (U).nes", "A Very Long Name For A Game Ima"},
                    TitleCase{"Thirty_one_characters_exactly_.nes", "Thirty one characters exactly"},
                    TitleCase{"0123456789012345678901234567890.nes", "0123456789012345678901234567890"},
                    TitleCase{"012345678901234567890123456789.nes", "012345678901234567890123456789"},
                    // A dot inside the first 31 bytes cuts even when more text follows beyond them.
                    TitleCase{"Ab.cdefghijklmnopqrstuvwxyz0123456789", "Ab"},
                    // Windows-1252 bytes pass unchanged; a NUL ends the source.
                    TitleCase{"Caf\xE9_\xA9.nes", "Caf\xE9 \xA9"}, TitleCase{"Ab\0cd.nes"sv, "Ab"},
                    TitleCase{"\xAC_x", "\xAC x"}));

struct ClampCase {
    std::string_view text;
    std::string_view clamped;
};

TEST(CatalogueTitle, ClampTitleCutsAtNulThenAt31Bytes) {
    const ClampCase cases[] = {
        {"", ""},
        {"Short", "Short"},
        {"0123456789012345678901234567890", "0123456789012345678901234567890"},
        {"01234567890123456789012345678901", "0123456789012345678901234567890"},
        {"Forty characters long title text 1234567", "Forty characters long title tex"},
        {"Ab\0cd"sv, "Ab"},
        {"\0abc"sv, ""},
        // The NUL is looked for first, not only within the first 31 bytes.
        {"0123456789012345678901234567890123\0x"sv, "0123456789012345678901234567890"},
        {"Keeps.dots_and (parens)", "Keeps.dots_and (parens)"},
    };
    for (const auto& [text, clamped] : cases)
        EXPECT_EQ(ClampTitle(text), clamped) << "text: " << text;
}

} // namespace
} // namespace brimble
