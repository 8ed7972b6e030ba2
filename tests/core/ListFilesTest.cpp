#include "catalogue/ListFiles.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {

void PrintTo(const GameRecord& record, std::ostream* out) {
    *out << "{" << record.title << ", " << static_cast<int>(record.colour) << ", " << record.details.substr(0, 40)
         << ", " << record.flags << ", " << record.follow << "}";
}

namespace {

using namespace std::string_literals;
using test::kSep;
using Records = std::map<std::uint32_t, GameRecord>;
using Names = std::map<std::uint32_t, std::string>;

// Fields joined by the separator byte.
std::string Fields(std::initializer_list<std::string_view> fields) {
    std::string line;
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            line.push_back(kSep);
        line.append(field);
        first = false;
    }
    return line;
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

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string NamingList(std::vector<std::string> games) {
    games.insert(games.begin(), "[GAMES]");
    return Lines(games);
}

std::string Database(const std::vector<std::string>& records) {
    return DatabaseHeaderLine() + Lines(records);
}

struct Loaded {
    ListKind kind = ListKind::Nothing;
    NameTable names;
    GameDatabase database;
};

Loaded LoadText(std::string_view text) {
    test::TempDir dir;
    test::WriteFile(dir / "list.lst", text);
    Loaded loaded;
    loaded.kind = LoadListFile(dir / "list.lst", loaded.names, loaded.database);
    return loaded;
}

// ---- Naming list ----

// A naming list has its header, the whole line "[GAMES]" with its line end, within the first 15
// lines; a database starts with a 'C'.
TEST(ListFiles, TheKindIsKnownByTheHeaderOrTheFirstByte) {
    const std::string game = GameLine("A", "1") + "\r\n";
    const std::string comments = Lines(std::vector<std::string>(14, "; comment"));
    const struct {
        std::string text;
        ListKind kind;
    } cases[] = {
        {"[GAMES]\r\n" + game, ListKind::GoodNes},
        {"[GAMES]\n" + game, ListKind::GoodNes},
        {comments + "[GAMES]\r\n" + game, ListKind::GoodNes},
        {comments + "; one more\r\n[GAMES]\r\n" + game, ListKind::Nothing},
        {"[GAMES] \r\n" + game, ListKind::Nothing},
        {"[games]\r\n" + game, ListKind::Nothing},
        {"[GAMES]\r\r\n" + game, ListKind::Nothing},
        {"[GAMES]\0\r\n"s + game, ListKind::Nothing},
        {"[GAMES]", ListKind::Nothing}, // with no line end it is the last line, not a header
        {"", ListKind::Nothing},
        {"\r\n", ListKind::Nothing},
        {DatabaseHeaderLine(), ListKind::Quorrel},
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
    const std::string huge(1 << 20, 'h');
    const Loaded loaded = LoadText(NamingList({
        GameLine("Abc (U)", "0123ABCD"),
        // The CRC field reads like %X: trailing text after the digits is ignored.
        GameLine("Trailing", "42 (junk)"),
        GameLine("First", "99"),
        GameLine("Second", "99"), // the later name stands
        // An empty field counts like any other: the CRC is the fifth field, not the sixth.
        "X" + Fields({"Gap", "", "b", "c", "d", "A", "B", ""}),
        "X" + Fields({"All empty", "", "", "", "", "C", ""}),
        GameLine("\x01\x02\xFF\xFE", "5"),
        GameLine(longName, "BEEF"),
        GameLine(huge, "CAFE"),
        // C2 AC is the UTF-8 form of the separator: only the AC separates, so the C2 stays
        // with the text before it, and the CRC digits end at the C2.
        Utf8Separators(GameLine("Abc", "0000ABCE")),
        GameLine("Whole", "1") + "\0trailing bytes"s, // a line ends at its first NUL
        // Lines that are skipped, without stopping the rest:
        "",
        "XNo separator at all",
        std::string(1, kSep) + "Name",                     // only byte 0 separates: no name
        "X" + Fields({"Short", "a", "b", "c", "d", "22"}), // the CRC field is not closed
        GameLine("No digits", "zz"),
        GameLine("Over 32 bits", "123456789"),
        "XCut\0"s + Fields({"", "a", "b", "c", "d", "2", "e"}),
        GameLine("Cut in CRC", "3\0"s),
        "\0"s + GameLine("Starts with NUL", "4"),
        std::string(20, kSep),
        GameLine("Last", "6"),
    }));
    EXPECT_EQ(loaded.kind, ListKind::GoodNes);
    const Names expected = {
        {0x0123ABCDu, "Abc (U)"}, {0x42u, "Trailing"},
        {0x99u, "Second"},        {0xAu, "Gap"},
        {0xCu, "All empty"},      {0x5u, "\x01\x02\xFF\xFE"},
        {0xBEEFu, longName},      {0xCAFEu, huge},
        {0xABCEu, "Abc\xC2"},     {0x1u, "Whole"},
        {0x6u, "Last"},
    };
    Names found;
    for (const auto& [crc, name] : expected)
        found[crc] = loaded.names.Find(crc) ? *loaded.names.Find(crc) : "";
    EXPECT_TRUE(found == expected); // not EXPECT_EQ: the names are long
    EXPECT_EQ(loaded.names.Size(), expected.size());
}

TEST(ListFiles, MissingFileOrFolderLoadsNothing) {
    test::TempDir dir;
    NameTable names;
    GameDatabase database;
    for (const std::filesystem::path& path : {dir / "missing.lst", dir.Path()}) {
        EXPECT_EQ(LoadGoodNesList(path, names), ListKind::Nothing);
        EXPECT_EQ(LoadListFile(path, names, database), ListKind::Nothing);
    }
}

// ---- Game database ----

TEST(ListFilesDatabase, RecordLinesAndTheirFields) {
    const std::string forty = "0123456789012345678901234567890123456789";
    const std::string details(1 << 20, 'd');
    const std::vector<std::string> lines = {
        Fields({"0123ABCD", "Abc", "Red", "some notes", "|33|0"}), Fields({"00000001", forty, "red", "", ""}),
        Fields({"00000002", "", "Green ", "x", "|5"}), Fields({"00000005", "T", "", "", "5|6"}),
        Fields({"00000006", "T", "", "", "| +7 | 8"}),
        // A number beyond 32 bits reads as unreadable: 0, and nothing after it is read.
        Fields({"0000000A", "T", "", "", "|1|4294967296"}),
        // A separator before byte 8 still splits; separators after the fourth stay in the
        // options field, which then reads its numbers.
        Fields({"12", "45678", "Green", "notes", "|9|9"}), Fields({"0000AAAA", "T", "", "", "|1|2", "more", "fields"}),
        Fields({"zzzzzzzz", "No digits reads as 0", "", "", "|1|0"}),
        // A NUL ends the line; long lines are read whole.
        Fields({"000000D1", "Nul in options", "", "", "|1\0"s + "99|5"}),
        Fields({"000000D2", "Cut\0"s, "", "", "|2|2"}), Fields({"000000D3", "Long details", "", details, "|3|3"}),
        // Read in 511-byte pieces, the tail of this line would be a record of its own.
        Fields({"000000D4", "Long", "", std::string(496, 'x') + Fields({"000000D5", "Tail", "", "", "|5|5"}), "|4|4"}),
        // Skipped: a CRC field that is not 8 bytes, too few separators, no fields.
        Fields({"0000002", "Seven digits", "", "", "|2|2"}), Fields({"000000003", "Nine digits", "", "", "|3|3"}),
        Fields({"00000004", "Three separators", "", ""}), "00000005", "",
        Utf8Separators(Fields({"00000006", "Utf8", "", "", "|6|6"})), // a C2 byte at byte 8
    };
    // LF and an unended last line read like CR LF.
    const Loaded loaded = LoadText(Database(lines) + Fields({"000000E1", "Lf", "", "", "|1|1"}) + "\n" +
                                   Fields({"000000E2", "Unended", "", "", "|2|2"}));
    const Records expected = {
        {0x0123ABCDu, {"Abc", ColourCode::Red, "some notes", 33u, 0}},
        {1u, {"0123456789012345678901234567890", ColourCode::None, "", 0, 0}},
        {2u, {"", ColourCode::None, "x", 5u, 0}},
        {5u, {"T", ColourCode::None, "", 0, 0}},
        {6u, {"T", ColourCode::None, "", 7u, 0}},
        {10u, {"T", ColourCode::None, "", 1u, 0}},
        {0x12u, {"45678", ColourCode::Green, "notes", 9u, 9}},
        {0xAAAAu, {"T", ColourCode::None, "", 1u, 2}},
        {0u, {"No digits reads as 0", ColourCode::None, "", 1u, 0}},
        {0xD1u, {"Nul in options", ColourCode::None, "", 1u, 0}},
        {0xD3u, {"Long details", ColourCode::None, details, 3u, 3}},
        // The fourth separator ends the details; the rest, separators and all, is the options.
        {0xD4u, {"Long", ColourCode::None, std::string(496, 'x') + "000000D5", 0, 0}},
        {0xE1u, {"Lf", ColourCode::None, "", 1u, 1}},
        {0xE2u, {"Unended", ColourCode::None, "", 2u, 2}},
    };
    EXPECT_EQ(loaded.kind, ListKind::Quorrel);
    EXPECT_EQ(Records(loaded.database.begin(), loaded.database.end()), expected);
    // A line of separators only is an empty record under CRC 0.
    const Loaded separators = LoadText(Database({std::string(12, kSep), std::string(8, kSep)}));
    EXPECT_EQ(Records(separators.database.begin(), separators.database.end()), (Records{{0u, {}}}));
}

TEST(ListFilesDatabase, LoadingAddsToTheTableAndTheLaterFileWins) {
    test::TempDir dir;
    test::WriteFile(dir / "first.lst", Database({Fields({"00000001", "First", "Red", "n", "|1|1"}),
                                                 Fields({"00000002", "Only first", "", "", "|2|2"})}));
    test::WriteFile(dir / "second.lst", Database({Fields({"00000001", "Second", "", "", "|9|9"})}));
    NameTable names;
    GameDatabase database;
    ASSERT_EQ(LoadListFile(dir / "first.lst", names, database), ListKind::Quorrel);
    LoadListFile(dir / "second.lst", names, database);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(database.Find(1u)->title, "Second");
    EXPECT_EQ(database.Find(2u)->title, "Only first");
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

// ---- Writing ----

// A record line as the writer must give it.
std::string Line(std::initializer_list<std::string_view> fields) {
    return Fields(fields) + "\r\n";
}

TEST(ListFilesWrite, HeaderAndRecordLines) {
    EXPECT_EQ(DatabaseHeaderLine(), Line({"Checksum", "NES rom title", "Color code", "Details", "Options"}));
    EXPECT_EQ(DatabaseRecordLine(0x0123ABCDu, GameRecord{"Abc", ColourCode::Red, "some notes", 33u, 0}),
              Line({"0123ABCD", "Abc", "Red", "some notes", "|33|0"}));
    // Flags are written as a signed number.
    EXPECT_EQ(DatabaseRecordLine(0xFFFFFFFFu, GameRecord{"T", ColourCode::Green, "d", 0x80000021u, -1}),
              Line({"FFFFFFFF", "T", "Green", "d", "|-2147483615|-1"}));
    // The separator and line ends in texts are written as blanks, so that the line reads back
    // as one record; text ends at a NUL, as a C string would.
    const GameRecord awkward{"A\xAC"
                             "B\rC\nD",
                             ColourCode::Yellow, "x\xACy\r\nz", 1, 2};
    EXPECT_EQ(DatabaseRecordLine(1u, awkward), Line({"00000001", "A B C D", "Yellow", "x y  z", "|1|2"}));
    EXPECT_EQ(DatabaseRecordLine(2u, GameRecord{"Ab\0cd"s, ColourCode::None, "de\0tails"s, 0, 0}),
              Line({"00000002", "Ab", "", "de", "|0|0"}));
}

TEST(ListFilesWrite, WritesTheHeaderThenRecordsInUnsignedCrcOrder) {
    test::TempDir dir;
    GameDatabase database;
    database.Store(0x80000000u, GameRecord{"High", ColourCode::None, "", 0, 0});
    database.Store(0x7FFFFFFFu, GameRecord{"Low", ColourCode::Red, "", 0, 0});
    database.Store(0xABCDu, GameRecord{"Abc", ColourCode::None, "", 0, 0});
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_EQ(test::ReadText(dir / "db.lst"), DatabaseHeaderLine() + Line({"0000ABCD", "Abc", "", "", "|0|0"}) +
                                                  Line({"7FFFFFFF", "Low", "Red", "", "|0|0"}) +
                                                  Line({"80000000", "High", "", "", "|0|0"}));
}

TEST(ListFilesWrite, RandomRecordsReadBackUnchanged) {
    std::mt19937 random(99u);
    auto text = [&random](std::size_t maxLength) {
        std::string result(random() % (maxLength + 1), ' ');
        for (char& c : result) {
            do {
                c = static_cast<char>(random() % 255 + 1);
            } while (c == '\xAC' || c == '\r' || c == '\n');
        }
        return result;
    };
    GameDatabase database;
    for (int i = 0; i < 500; ++i) {
        database.Store(static_cast<std::uint32_t>(random()),
                       GameRecord{text(kMaxTitleLength), static_cast<ColourCode>(random() % 4), text(300),
                                  static_cast<std::uint32_t>(random()), static_cast<std::int32_t>(random())});
    }
    database.Store(0u, GameRecord{});
    database.Store(0xFFFFFFFFu, GameRecord{"", ColourCode::None, "", 0xFFFFFFFFu, INT32_MIN});
    test::TempDir dir;
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    NameTable names;
    GameDatabase read;
    ASSERT_EQ(LoadListFile(dir / "db.lst", names, read), ListKind::Quorrel);
    EXPECT_TRUE(std::ranges::equal(read, database));
}

TEST(ListFilesWrite, FailureLeavesTheOldFileAndReportsIt) {
    test::TempDir dir;
    GameDatabase database;
    database.Store(1u, GameRecord{"One", ColourCode::None, "", 0, 0});
    EXPECT_FALSE(WriteGameDatabase(dir / "missing folder" / "db.lst", database));
    // A folder in the way of the target cannot be replaced; it stays as it was.
    std::filesystem::create_directories(dir / "db.lst" / "inside");
    EXPECT_FALSE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_EQ(test::FileNames(dir.Path()), std::set<std::string>{"db.lst"});
    EXPECT_EQ(test::FileNames(dir / "db.lst"), std::set<std::string>{"inside"});
}

} // namespace
} // namespace brimble
