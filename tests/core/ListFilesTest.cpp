#include "catalogue/ListFiles.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {

namespace {

using namespace std::string_literals;
using test::kSep;
using Records = std::map<std::uint32_t, GameRecord>;

// Fields joined by the separator byte.
std::string Fields(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (const std::string_view field : fields)
        (line += kSep) += field;
    return line.substr(1);
}

// The line with the two-byte UTF-8 form C2 AC in place of each separator byte.
std::string Utf8Separators(std::string_view line) {
    std::string text;
    for (const char c : line)
        text += c == kSep ? "\xC2\xAC" : std::string(1, c);
    return text;
}

// A naming-list game line: a first byte, the name, four fields, the CRC field and one more.
std::string GameLine(std::string_view name, std::string_view crcField) {
    return "X" + Fields({name, "a", "b", "c", "d", crcField, "e"});
}

// The first line, then each of the others ended by CR LF.
std::string Lines(std::string text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct Loaded {
    ListKind kind = ListKind::Nothing;
    NameTable names;
    GameDatabase database;
};

// Loads the text from a file into the tables given.
Loaded LoadText(std::string_view text, Loaded loaded = {}) {
    test::TempDir dir;
    test::WriteFile(dir / "list.lst", text);
    loaded.kind = LoadListFile(dir / "list.lst", loaded.names, loaded.database);
    return loaded;
}

// A naming list has its header, the whole line "[GAMES]" with its line end, within the first 15
// lines; a database starts with a 'C'.
TEST(ListFiles, TheKindIsKnownByTheHeaderOrTheFirstByte) {
    const std::string game = GameLine("A", "1") + "\r\n";
    const std::string comments = Lines("", std::vector<std::string>(14, "; comment"));
    const std::pair<std::string, ListKind> cases[] = {
        {"[GAMES]\r\n" + game, ListKind::GoodNes},
        {"[GAMES]\n" + game, ListKind::GoodNes},
        {comments + "[GAMES]\r\n" + game, ListKind::GoodNes},
        {comments + "; one more\r\n[GAMES]\r\n" + game, ListKind::Nothing},
        {"[GAMES] \r\n" + game, ListKind::Nothing},
        {"[games]\r\n" + game, ListKind::Nothing},
        {"[GAMES]\0\r\n"s + game, ListKind::Nothing},
        {"[GAMES]", ListKind::Nothing}, // with no line end it is the last line, not a header
        {"", ListKind::Nothing},
        {"C", ListKind::Quorrel},
        {"c lower case\r\n", ListKind::Nothing},
        {"\0C"s, ListKind::Nothing},
        {"Checksum\r\n[GAMES]\r\n", ListKind::Quorrel},
    };
    for (const auto& [text, kind] : cases) {
        const Loaded loaded = LoadText(text);
        EXPECT_EQ(loaded.kind, kind) << "text: " << text;
        EXPECT_EQ(loaded.names.Size(), kind == ListKind::GoodNes ? 1u : 0u) << "text: " << text;
        EXPECT_EQ(loaded.database.Size(), 0u);
    }
}

TEST(ListFilesGoodNes, GameLinesGiveTheNameAndTheCrcOfTheFifthFieldAfterIt) {
    // Read in 511-byte pieces, this line would give a second line that starts with "Yname".
    const std::string longName = std::string(509, 'A') + "Yname";
    const struct {
        std::string line;
        std::uint32_t crc; // 0: the line gives no name that stays
        std::string name;
    } cases[] = {
        {GameLine("Abc (U)", "0123ABCD"), 0x0123ABCDu, "Abc (U)"},
        {GameLine("First", "99"), 0, ""}, // the later name stands
        {GameLine("Second", "99"), 0x99u, "Second"},
        // An empty field counts like any other: the CRC is the fifth field, not the sixth.
        {"X" + Fields({"Gap", "", "b", "c", "d", "A", "B", ""}), 0xAu, "Gap"},
        {GameLine("\x01\x02\xFF\xFE", "5"), 5u, "\x01\x02\xFF\xFE"},
        {GameLine(longName, "BEEF"), 0xBEEFu, longName},
        // C2 AC is the UTF-8 form of the separator: only the AC separates, so the C2 stays with
        // the text before it, and the CRC digits end at the C2.
        {Utf8Separators(GameLine("Abc", "0000ABCE")), 0xABCEu, "Abc\xC2"},
        {GameLine("Whole", "1") + "\0trailing bytes"s, 1u, "Whole"}, // a line ends at its first NUL
        // Lines that are skipped, without stopping the rest:
        {"XNo separator at all", 0, ""},
        {std::string(1, kSep) + "Name", 0, ""},                     // only byte 0 separates: no name
        {"X" + Fields({"Short", "a", "b", "c", "d", "22"}), 0, ""}, // the CRC field is not closed
        {GameLine("No digits", "zz"), 0, ""},
        {"XCut\0"s + Fields({"", "a", "b", "c", "d", "2", "e"}), 0, ""},
        {GameLine("Last", "6"), 6u, "Last"},
    };
    std::string text = "[GAMES]\r\n";
    std::map<std::uint32_t, std::string> expected;
    for (const auto& c : cases) {
        text += c.line + "\r\n";
        if (c.crc)
            expected[c.crc] = c.name;
    }
    const Loaded loaded = LoadText(text);
    for (const auto& [crc, name] : expected)
        EXPECT_EQ(loaded.names.Find(crc) ? *loaded.names.Find(crc) : "", name) << crc;
    EXPECT_EQ(loaded.names.Size(), expected.size());
}

// Loading adds to the tables given: a record of a CRC already there replaces it.
TEST(ListFilesDatabase, RecordLinesAndTheirFields) {
    const std::vector<std::string> lines = {
        Fields({"0123ABCD", "Abc", "Red", "some notes", "|33|0"}),
        Fields({"00000001", std::string(40, 'x'), "red", "", ""}), Fields({"00000002", "", "Green ", "x", "|5"}),
        Fields({"00000005", "T", "", "", "5|6"}), Fields({"00000006", "T", "", "", "| +7 | 8"}),
        // A number beyond 32 bits reads as unreadable: 0, and nothing after it is read.
        Fields({"0000000A", "T", "", "", "|1|4294967296"}),
        // A separator before byte 8 still splits; separators after the fourth stay in the
        // options field, which then reads its numbers.
        Fields({"12", "45678", "Green", "notes", "|9|9"}), Fields({"0000AAAA", "T", "", "", "|1|2", "more", "fields"}),
        Fields({"zzzzzzzz", "No digits reads as 0", "", "", "|1|0"}),
        Fields({"000000D1", "Nul in options", "", "", "|1\0"s + "99|5"}), // a NUL ends the line
        // Read in 511-byte pieces, the tail of this line would be a record of its own.
        Fields({"000000D4", "Long", "", std::string(496, 'x') + Fields({"000000D5", "Tail", "", "", "|5|5"}), "|4|4"}),
        // Skipped: a CRC field that is not 8 bytes, too few separators, no fields.
        Fields({"0000002", "Seven digits", "", "", "|2|2"}), Fields({"000000003", "Nine digits", "", "", "|3|3"}),
        Fields({"00000004", "Three separators", "", ""}), "00000005", "",
        Utf8Separators(Fields({"00000006", "Utf8", "", "", "|6|6"})), // a C2 byte at byte 8
    };
    Loaded before;
    before.database.Store(1u, GameRecord{"Old", ColourCode::Yellow, "old", 7, 7});
    before.database.Store(0xBBu, GameRecord{"Kept", ColourCode::Red, "", 0, 0});
    const Loaded loaded = LoadText(Lines(DatabaseHeaderLine(), lines), std::move(before));
    const Records expected = {
        {0x0123ABCDu, {"Abc", ColourCode::Red, "some notes", 33u, 0}},
        {1u, {std::string(31, 'x'), ColourCode::None, "", 0, 0}},
        {2u, {"", ColourCode::None, "x", 5u, 0}},
        {5u, {"T", ColourCode::None, "", 0, 0}},
        {6u, {"T", ColourCode::None, "", 7u, 0}},
        {10u, {"T", ColourCode::None, "", 1u, 0}},
        {0x12u, {"45678", ColourCode::Green, "notes", 9u, 9}},
        {0xAAAAu, {"T", ColourCode::None, "", 1u, 2}},
        {0u, {"No digits reads as 0", ColourCode::None, "", 1u, 0}},
        {0xD1u, {"Nul in options", ColourCode::None, "", 1u, 0}},
        // The fourth separator ends the details; the rest, separators and all, is the options.
        {0xD4u, {"Long", ColourCode::None, std::string(496, 'x') + "000000D5", 0, 0}},
        {0xBBu, {"Kept", ColourCode::Red, "", 0, 0}},
    };
    EXPECT_EQ(Records(loaded.database.begin(), loaded.database.end()), expected);
}

TEST(GameTables, StoreGameRecordKeepsColourAndDetailsAndTakesTheRestFromTheEntry) {
    GameDatabase database;
    database.Store(0xABCDu, GameRecord{"Old Title", ColourCode::Yellow, "keep these notes", 0x1001u, 3});
    StoreGameRecord(database, RomEntry{"", "", "New Title", 0x04u, -1, 64, 0xABCDu});
    // A new CRC gets no colour and no details; the title keeps its limit.
    StoreGameRecord(database, RomEntry{"", "", "A title that is far longer than thirty-one bytes", 0x25u, 12, 64, 1u});
    EXPECT_EQ(Records(database.begin(), database.end()),
              (Records{{1u, {"A title that is far longer than", ColourCode::None, "", 0x25u, 12}},
                       {0xABCDu, {"New Title", ColourCode::Yellow, "keep these notes", 0x04u, -1}}}));
}

// The header, then records in unsigned CRC order, flags signed. Texts end at a NUL, and the
// separator and line ends in them are written as blanks so that each line reads back as one record.
TEST(ListFilesWrite, HeaderThenRecordLinesInCrcOrderThatReadBack) {
    std::string bytes; // every byte but NUL, the separator, CR and LF
    for (int c = 1; c < 256; ++c)
        bytes += c == 0xAC || c == '\r' || c == '\n' ? "" : std::string(1, static_cast<char>(c));
    const std::string title = bytes.substr(bytes.size() - kMaxTitleLength);
    GameDatabase database;
    database.Store(0x80000000u, GameRecord{"High", ColourCode::Green, "d", 0x80000021u, -1});
    database.Store(0x7FFFFFFFu, GameRecord{"Low", ColourCode::Red, "", 0, 0});
    database.Store(1u, GameRecord{"A" + std::string(1, kSep) + "B\rC\nD", ColourCode::Yellow, "x\xACy\r\nz", 1, 2});
    database.Store(2u, GameRecord{"Ab\0cd"s, ColourCode::None, "de\0tails"s, 0, 0});
    database.Store(0xFFFFFFFFu, GameRecord{title, ColourCode::None, bytes, 0xFFFFFFFFu, INT32_MIN});
    database.Store(0u, GameRecord{});
    test::TempDir dir;
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_EQ(test::ReadText(dir / "db.lst"),
              Lines("", {Fields({"Checksum", "NES rom title", "Color code", "Details", "Options"}),
                         Fields({"00000000", "", "", "", "|0|0"}),
                         Fields({"00000001", "A B C D", "Yellow", "x y  z", "|1|2"}),
                         Fields({"00000002", "Ab", "", "de", "|0|0"}), Fields({"7FFFFFFF", "Low", "Red", "", "|0|0"}),
                         Fields({"80000000", "High", "Green", "d", "|-2147483615|-1"}),
                         Fields({"FFFFFFFF", title, "", bytes, "|-1|-2147483648"})}));
    database.Store(1u, GameRecord{"A B C D", ColourCode::Yellow, "x y  z", 1, 2});
    database.Store(2u, GameRecord{"Ab", ColourCode::None, "de", 0, 0});
    const Loaded loaded = LoadText(test::ReadText(dir / "db.lst"));
    EXPECT_EQ(Records(loaded.database.begin(), loaded.database.end()), Records(database.begin(), database.end()));
}

TEST(ListFilesWrite, FailureLeavesTheOldFileAndReportsIt) {
    test::TempDir dir;
    // A folder in the way of the target cannot be replaced; it stays as it was.
    std::filesystem::create_directories(dir / "db.lst" / "inside");
    EXPECT_FALSE(WriteGameDatabase(dir / "db.lst", GameDatabase{}));
    EXPECT_EQ(test::FileNames(dir.Path()), std::set<std::string>{"db.lst"});
    EXPECT_EQ(test::FileNames(dir / "db.lst"), std::set<std::string>{"inside"});
}

} // namespace
} // namespace brimble
