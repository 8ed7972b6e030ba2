#include "catalogue/ListFiles.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {
namespace {

using namespace std::string_literals;
using test::kSep;

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

// A naming-list game line: a first byte, the name, four fields, the CRC field and one more.
std::string GameLine(std::string_view name, std::string_view crcField) {
    return "X" + Fields({name, "a", "b", "c", "d", crcField, "e"});
}

std::string Lines(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + std::string(end);
    return text;
}

std::string NamingList(const std::vector<std::string>& games) {
    std::vector<std::string> lines{"[GAMES]"};
    lines.insert(lines.end(), games.begin(), games.end());
    return Lines(lines);
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

std::string NameOf(const NameTable& names, std::uint32_t crc) {
    const std::string* name = names.Find(crc);
    return name ? *name : "<none>";
}

// ---- Naming list ----

TEST(ListFilesGoodNes, ReadsTheNameAndTheCrcOfTheFifthFieldAfterIt) {
    const Loaded loaded = LoadText(NamingList({"X" + Fields({"Abc (U)", "a", "b", "c", "d", "0123ABCD", "e"})}));
    EXPECT_EQ(loaded.kind, ListKind::GoodNes);
    EXPECT_EQ(loaded.names.Size(), 1u);
    EXPECT_EQ(NameOf(loaded.names, 0x0123ABCDu), "Abc (U)");
    EXPECT_EQ(loaded.database.Size(), 0u);
}

TEST(ListFilesGoodNes, HeaderMustBeWithinTheFirstFifteenLines) {
    for (const int before : {0, 1, 14, 15, 16}) {
        std::vector<std::string> lines(static_cast<std::size_t>(before), "; comment");
        lines.push_back("[GAMES]");
        lines.push_back(GameLine("Game", "1234"));
        test::TempDir dir;
        test::WriteFile(dir / "names.dat", Lines(lines));
        NameTable names;
        const ListKind kind = LoadGoodNesList(dir / "names.dat", names);
        // The header as the 15th line loads; as the 16th it is not seen.
        EXPECT_EQ(kind, before < 15 ? ListKind::GoodNes : ListKind::Nothing) << before << " lines before";
        EXPECT_EQ(names.Size(), before < 15 ? 1u : 0u);
    }
}

TEST(ListFilesGoodNes, HeaderIsTheWholeLineWithItsLineEnd) {
    const struct {
        std::string text;
        ListKind kind;
    } cases[] = {
        {"[GAMES]\r\n" + GameLine("A", "1") + "\r\n", ListKind::GoodNes},
        {"[GAMES]\n" + GameLine("A", "1") + "\n", ListKind::GoodNes},
        {"[GAMES] \r\n" + GameLine("A", "1") + "\r\n", ListKind::Nothing},
        {" [GAMES]\r\n" + GameLine("A", "1") + "\r\n", ListKind::Nothing},
        {"[games]\r\n" + GameLine("A", "1") + "\r\n", ListKind::Nothing},
        {"[GAMES]\r\r\n" + GameLine("A", "1") + "\r\n", ListKind::Nothing},
        {"[GAMES]\0\r\n"s + GameLine("A", "1") + "\r\n", ListKind::Nothing},
        // A header with no line end is the last line, not a header.
        {"[GAMES]", ListKind::Nothing},
        {"[GAMES]\n", ListKind::GoodNes},
        {"", ListKind::Nothing},
    };
    for (const auto& [text, kind] : cases) {
        test::TempDir dir;
        test::WriteFile(dir / "names.dat", text);
        NameTable names;
        EXPECT_EQ(LoadGoodNesList(dir / "names.dat", names), kind) << "text: " << text;
    }
}

TEST(ListFilesGoodNes, MalformedGameLinesAreSkippedAndTheOthersLoad) {
    const Loaded loaded = LoadText(NamingList({
        GameLine("Before", "11"),
        "",
        "X",
        "XNo separator at all",
        // Only the first byte is a separator: nothing after byte 0 separates a name.
        std::string(1, kSep) + "Name",
        "X" + Fields({"Short", "a", "b", "c", "d", "22"}), // the CRC field is not closed
        "X" + Fields({"Shorter", "a", "b"}),
        GameLine("No digits", "zz"),
        GameLine("Sign", "-5"),
        GameLine("Too large", "123456789"),
        GameLine("Too large too", "0x1FFFFFFFF"),
        GameLine("After", "33"),
    }));
    EXPECT_EQ(loaded.kind, ListKind::GoodNes);
    EXPECT_EQ(loaded.names.Size(), 2u);
    EXPECT_EQ(NameOf(loaded.names, 0x11u), "Before");
    EXPECT_EQ(NameOf(loaded.names, 0x33u), "After");
}

TEST(ListFilesGoodNes, CrcFieldReadsLikePercentX) {
    const Loaded loaded = LoadText(NamingList({
        GameLine("Lower", "abcdef01"),
        GameLine("Prefixed", "0x00C0FFEE"),
        GameLine("Blanks", "  77"),
        GameLine("Trailing", "42 (junk)"),
        GameLine("Largest", "FFFFFFFF"),
    }));
    EXPECT_EQ(NameOf(loaded.names, 0xABCDEF01u), "Lower");
    EXPECT_EQ(NameOf(loaded.names, 0x00C0FFEEu), "Prefixed");
    EXPECT_EQ(NameOf(loaded.names, 0x77u), "Blanks");
    EXPECT_EQ(NameOf(loaded.names, 0x42u), "Trailing");
    EXPECT_EQ(NameOf(loaded.names, 0xFFFFFFFFu), "Largest");
}

TEST(ListFilesGoodNes, EmptyFieldsCountLikeAnyOther) {
    // The fifth field after the name holds A, the sixth B: an empty first field must not
    // shift the CRC onto the sixth.
    const Loaded loaded = LoadText(NamingList({"X" + Fields({"Gap", "", "b", "c", "d", "A", "B", ""}),
                                               "X" + Fields({"All empty", "", "", "", "", "C", ""})}));
    EXPECT_EQ(NameOf(loaded.names, 0xAu), "Gap");
    EXPECT_EQ(NameOf(loaded.names, 0xBu), "<none>");
    EXPECT_EQ(NameOf(loaded.names, 0xCu), "All empty");
}

TEST(ListFilesGoodNes, LaterNameForTheSameCrcStands) {
    const Loaded loaded = LoadText(NamingList({GameLine("First", "99"), GameLine("Second", "99")}));
    EXPECT_EQ(loaded.names.Size(), 1u);
    EXPECT_EQ(NameOf(loaded.names, 0x99u), "Second");
}

TEST(ListFilesGoodNes, LongLinesAreReadWhole) {
    // Read in 511-byte pieces, this line would give a second line that starts with "Yname".
    const std::string name = std::string(509, 'A') + "Yname";
    const std::string huge = std::string(1 << 20, 'h');
    const Loaded loaded = LoadText(NamingList({GameLine(name, "BEEF"), GameLine(huge, "CAFE"), GameLine("Z", "1")}));
    EXPECT_EQ(loaded.names.Size(), 3u);
    EXPECT_EQ(NameOf(loaded.names, 0xBEEFu), name);
    EXPECT_EQ(NameOf(loaded.names, 0xCAFEu), huge);
    EXPECT_EQ(NameOf(loaded.names, 0x1u), "Z");
}

TEST(ListFilesGoodNes, LineEndsAtItsFirstNul) {
    const Loaded loaded = LoadText(NamingList({
        GameLine("Whole", "1") + "\0trailing bytes"s,
        "XCut\0"s + Fields({"", "a", "b", "c", "d", "2", "e"}),
        // The NUL leaves the CRC field without its closing separator.
        GameLine("Cut in CRC", "3\0"s),
        "\0"s + GameLine("Starts with NUL", "4"),
        std::string(40, '\0'),
    }));
    EXPECT_EQ(loaded.names.Size(), 1u);
    EXPECT_EQ(NameOf(loaded.names, 0x1u), "Whole");
}

TEST(ListFilesGoodNes, BinaryBytesAndSeparatorOnlyLinesLoadNothingButDoNotStopTheRest) {
    std::string binary;
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '\n' && byte != 0xAC)
            binary.push_back(static_cast<char>(byte));
    const Loaded loaded = LoadText(NamingList({
        binary,
        std::string(20, kSep),
        std::string(3, kSep),
        GameLine("\x01\x02\xFF\xFE", "5"),
        GameLine("Last", "6"),
    }));
    EXPECT_EQ(loaded.kind, ListKind::GoodNes);
    EXPECT_EQ(loaded.names.Size(), 2u);
    EXPECT_EQ(NameOf(loaded.names, 0x5u), "\x01\x02\xFF\xFE");
    EXPECT_EQ(NameOf(loaded.names, 0x6u), "Last");
}

TEST(ListFilesGoodNes, Utf8SeparatorLeavesItsLeadByteInTheFields) {
    // C2 AC is the two-byte UTF-8 form; only the AC byte separates, so the C2 stays with the
    // text before it. The CRC still reads, as its digits end at the C2 byte.
    const std::string utf8Sep = "\xC2\xAC";
    const std::string line =
        "XAbc" + utf8Sep + "a" + utf8Sep + "b" + utf8Sep + "c" + utf8Sep + "d" + utf8Sep + "0123ABCD" + utf8Sep + "e";
    const Loaded loaded = LoadText(NamingList({line}));
    EXPECT_EQ(loaded.names.Size(), 1u);
    EXPECT_EQ(NameOf(loaded.names, 0x0123ABCDu), "Abc\xC2");
}

TEST(ListFilesGoodNes, MissingFileOrFolderLoadsNothing) {
    test::TempDir dir;
    NameTable names;
    EXPECT_EQ(LoadGoodNesList(dir / "missing.dat", names), ListKind::Nothing);
    EXPECT_EQ(LoadGoodNesList(dir.Path(), names), ListKind::Nothing);
    EXPECT_EQ(names.Size(), 0u);
}

// ---- Game database ----

TEST(ListFilesDatabase, ReadsTheExampleRecord) {
    const Loaded loaded = LoadText(Database({Fields({"0123ABCD", "Abc", "Red", "some notes", "|33|0"})}));
    EXPECT_EQ(loaded.kind, ListKind::Quorrel);
    ASSERT_EQ(loaded.database.Size(), 1u);
    const GameRecord* record = loaded.database.Find(0x0123ABCDu);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(*record, (GameRecord{"Abc", ColourCode::Red, "some notes", 33u, 0}));
    EXPECT_EQ(loaded.names.Size(), 0u);
}

TEST(ListFilesDatabase, FormatIsChosenByTheFirstByte) {
    const struct {
        std::string text;
        ListKind kind;
    } cases[] = {
        {"", ListKind::Nothing},
        {"\r\n", ListKind::Nothing},
        {DatabaseHeaderLine(), ListKind::Quorrel},
        {"C", ListKind::Quorrel},
        {"Completely different first line\n", ListKind::Quorrel},
        {"c lower case\r\n", ListKind::Nothing},
        {"\0C"s, ListKind::Nothing},
        {"Checksum\r\n[GAMES]\r\n", ListKind::Quorrel},
        {"[GAMES]\r\n", ListKind::GoodNes},
        {"x\r\n[GAMES]\r\n" + GameLine("Named", "7") + "\r\n", ListKind::GoodNes},
    };
    for (const auto& [text, kind] : cases)
        EXPECT_EQ(LoadText(text).kind, kind) << "text: " << text;
}

TEST(ListFilesDatabase, HeaderOnlyGivesNoRecords) {
    const Loaded loaded = LoadText(DatabaseHeaderLine());
    EXPECT_EQ(loaded.kind, ListKind::Quorrel);
    EXPECT_EQ(loaded.database.Size(), 0u);
}

TEST(ListFilesDatabase, MissingFileOrFolderLoadsNothing) {
    test::TempDir dir;
    NameTable names;
    GameDatabase database;
    EXPECT_EQ(LoadListFile(dir / "missing.lst", names, database), ListKind::Nothing);
    EXPECT_EQ(LoadListFile(dir.Path(), names, database), ListKind::Nothing);
}

TEST(ListFilesDatabase, MalformedRecordsAreSkipped) {
    const Loaded loaded = LoadText(Database({
        Fields({"00000001", "One", "", "", "|1|1"}),
        Fields({"0000002", "Seven digits", "", "", "|2|2"}),
        Fields({"000000003", "Nine digits", "", "", "|3|3"}),
        Fields({"00000004", "Three separators", "", ""}),
        "00000005",
        "",
        // The UTF-8 form of the separator puts a C2 byte at byte 8.
        "00000006\xC2\xAC"
        "Utf8\xC2\xAC\xC2\xAC\xC2\xAC|6|6",
        Fields({"00000007", "Seven", "", "", "|7|7"}),
    }));
    EXPECT_EQ(loaded.database.Size(), 2u);
    EXPECT_NE(loaded.database.Find(1u), nullptr);
    EXPECT_NE(loaded.database.Find(7u), nullptr);
}

TEST(ListFilesDatabase, FieldsSplitAtTheFirstFourSeparators) {
    const Loaded loaded = LoadText(Database({
        // A separator before byte 8 still splits: the CRC field is "12".
        Fields({"12", "45678", "Green", "notes", "|9|9"}),
        // Separators after the fourth stay in the options field, which then reads its numbers.
        Fields({"0000AAAA", "T", "", "", "|1|2", "more", "fields"}),
    }));
    ASSERT_EQ(loaded.database.Size(), 2u);
    EXPECT_EQ(*loaded.database.Find(0x12u), (GameRecord{"45678", ColourCode::Green, "notes", 9u, 9}));
    EXPECT_EQ(*loaded.database.Find(0xAAAAu), (GameRecord{"T", ColourCode::None, "", 1u, 2}));
}

TEST(ListFilesDatabase, CrcFieldWithoutDigitsReadsAsZero) {
    const Loaded loaded = LoadText(Database({Fields({"zzzzzzzz", "Zero", "", "", "|1|0"})}));
    ASSERT_NE(loaded.database.Find(0u), nullptr);
    EXPECT_EQ(loaded.database.Find(0u)->title, "Zero");
}

TEST(ListFilesDatabase, FieldValues) {
    const std::string forty = "0123456789012345678901234567890123456789";
    const Loaded loaded = LoadText(Database({
        Fields({"0000abcd", "lower case crc", "Yellow", "", "|0|0"}),
        Fields({"00000001", forty, "red", "", ""}),
        Fields({"00000002", "", "Green ", "x", "|5"}),
        Fields({"00000003", "T", "", "", "|0x21|-1"}),
        Fields({"00000004", "T", "", "", "|010|-010"}),
        Fields({"00000005", "T", "", "", "5|6"}),
        Fields({"00000006", "T", "", "", "| +7 | 8"}),
        Fields({"00000007", "T", "", "", "|x|8"}),
        Fields({"00000008", "T", "", "", "|2147483648|-2147483648"}),
        Fields({"00000009", "T", "", "", "|4294967296|5"}),
        Fields({"0000000A", "T", "", "", "|1|4294967296"}),
        Fields({"0000000B", "T", "", "", "|-2147483649|3"}),
        Fields({"0000000C", "T", "", "", "|4294967295|2147483647"}),
    }));
    const struct {
        std::uint32_t crc;
        GameRecord record;
    } expected[] = {
        {0xABCDu, {"lower case crc", ColourCode::Yellow, "", 0, 0}},
        {1u, {"0123456789012345678901234567890", ColourCode::None, "", 0, 0}},
        {2u, {"", ColourCode::None, "x", 5u, 0}},
        {3u, {"T", ColourCode::None, "", 33u, -1}},
        {4u, {"T", ColourCode::None, "", 8u, -8}},
        {5u, {"T", ColourCode::None, "", 0, 0}},
        {6u, {"T", ColourCode::None, "", 7u, 0}},
        {7u, {"T", ColourCode::None, "", 0, 0}},
        {8u, {"T", ColourCode::None, "", 0x80000000u, INT32_MIN}},
        // Numbers beyond 32 bits read as unreadable: 0, and nothing after them is read.
        {9u, {"T", ColourCode::None, "", 0, 0}},
        {10u, {"T", ColourCode::None, "", 1u, 0}},
        {11u, {"T", ColourCode::None, "", 0, 0}},
        {12u, {"T", ColourCode::None, "", 0xFFFFFFFFu, INT32_MAX}},
    };
    EXPECT_EQ(loaded.database.Size(), std::size(expected));
    for (const auto& [crc, record] : expected) {
        const GameRecord* found = loaded.database.Find(crc);
        ASSERT_NE(found, nullptr) << crc;
        EXPECT_EQ(*found, record) << "crc " << crc;
    }
}

TEST(ListFilesDatabase, SeparatorOnlyLineGivesAnEmptyRecordUnderCrcZero) {
    const Loaded loaded = LoadText(Database({std::string(12, kSep), std::string(8, kSep)}));
    EXPECT_EQ(loaded.database.Size(), 1u);
    ASSERT_NE(loaded.database.Find(0u), nullptr);
    EXPECT_EQ(*loaded.database.Find(0u), GameRecord{});
}

TEST(ListFilesDatabase, NulEndsTheLineAndLongLinesAreReadWhole) {
    const std::string details(1 << 20, 'd');
    const Loaded loaded = LoadText(Database({
        Fields({"00000001", "Nul in options", "", "",
                "|1\0"
                "99|5"s}),
        Fields({"00000002", "Cut\0"s, "", "", "|2|2"}),
        Fields({"00000003", "Long details", "", details, "|3|3"}),
        // Read in 511-byte pieces, the tail of this line would be a record of its own.
        Fields({"00000004", "Long", "", std::string(496, 'x') + Fields({"00000005", "Tail", "", "", "|5|5"}), "|4|4"}),
    }));
    EXPECT_EQ(loaded.database.Size(), 3u);
    EXPECT_EQ(*loaded.database.Find(1u), (GameRecord{"Nul in options", ColourCode::None, "", 1u, 0}));
    EXPECT_EQ(loaded.database.Find(2u), nullptr);
    ASSERT_NE(loaded.database.Find(3u), nullptr);
    EXPECT_EQ(loaded.database.Find(3u)->details, details);
    EXPECT_EQ(loaded.database.Find(3u)->flags, 3u);
    EXPECT_EQ(loaded.database.Find(5u), nullptr);
    ASSERT_NE(loaded.database.Find(4u), nullptr);
    // The fourth separator ends the details; the rest, separators and all, is the options field.
    EXPECT_EQ(loaded.database.Find(4u)->details, std::string(496, 'x') + "00000005");
    EXPECT_EQ(loaded.database.Find(4u)->flags, 0u);
}

TEST(ListFilesDatabase, LfAndCrLfLinesAndALastLineWithoutEndAllLoad) {
    const std::string text = DatabaseHeaderLine() + Fields({"00000001", "Lf", "", "", "|1|1"}) + "\n" +
                             Fields({"00000002", "CrLf", "", "", "|2|2"}) + "\r\n" +
                             Fields({"00000003", "Unended", "", "", "|3|3"});
    const Loaded loaded = LoadText(text);
    EXPECT_EQ(loaded.database.Size(), 3u);
    EXPECT_EQ(loaded.database.Find(1u)->title, "Lf");
    EXPECT_EQ(loaded.database.Find(2u)->follow, 2);
    EXPECT_EQ(loaded.database.Find(3u)->title, "Unended");
}

TEST(ListFilesDatabase, LoadingTwiceLeavesTheTableAsAfterOneLoad) {
    test::TempDir dir;
    test::WriteFile(dir / "db.lst", Database({Fields({"00000001", "One", "Red", "n", "|1|1"}),
                                              Fields({"00000002", "Two", "", "", "|2|2"})}));
    NameTable names;
    GameDatabase once;
    ASSERT_EQ(LoadListFile(dir / "db.lst", names, once), ListKind::Quorrel);
    GameDatabase twice = once;
    ASSERT_EQ(LoadListFile(dir / "db.lst", names, twice), ListKind::Quorrel);
    EXPECT_EQ(std::vector(twice.begin(), twice.end()), std::vector(once.begin(), once.end()));
}

TEST(ListFilesDatabase, LoadingAddsToTheTablesAndTheLaterFileWins) {
    test::TempDir dir;
    test::WriteFile(dir / "first.lst", Database({Fields({"00000001", "First", "", "", "|1|1"}),
                                                 Fields({"00000002", "Only first", "", "", "|2|2"})}));
    test::WriteFile(dir / "second.lst", Database({Fields({"00000001", "Second", "", "", "|9|9"})}));
    NameTable names;
    GameDatabase database;
    LoadListFile(dir / "first.lst", names, database);
    LoadListFile(dir / "second.lst", names, database);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(database.Find(1u)->title, "Second");
    EXPECT_EQ(database.Find(2u)->title, "Only first");
}

// ---- Writing ----

TEST(ListFilesWrite, HeaderAndRecordLines) {
    EXPECT_EQ(DatabaseHeaderLine(), "Checksum\xAC"
                                    "NES rom title\xAC"
                                    "Color code\xAC"
                                    "Details\xAC"
                                    "Options\r\n");
    EXPECT_EQ(DatabaseRecordLine(0xABCDu, GameRecord{"Abc", ColourCode::None, "", 0, 0}), "0000ABCD\xAC"
                                                                                          "Abc\xAC\xAC\xAC|0|0\r\n");
    EXPECT_EQ(DatabaseRecordLine(0x0123ABCDu, GameRecord{"Abc", ColourCode::Red, "some notes", 33u, 0}),
              "0123ABCD\xAC"
              "Abc\xACRed\xACsome notes\xAC|33|0\r\n");
    // Flags are written as a signed number.
    EXPECT_EQ(DatabaseRecordLine(0xFFFFFFFFu, GameRecord{"T", ColourCode::Green, "d", 0x80000021u, -1}),
              "FFFFFFFF\xACT\xACGreen\xAC"
              "d\xAC|-2147483615|-1\r\n");
}

TEST(ListFilesWrite, SeparatorAndLineEndBytesInTextAreWrittenAsBlanks) {
    const GameRecord record{"A\xAC"
                            "B\rC\nD",
                            ColourCode::Yellow, "x\xACy\r\nz", 1, 2};
    EXPECT_EQ(DatabaseRecordLine(1u, record), "00000001\xAC"
                                              "A B C D\xACYellow\xACx y  z\xAC|1|2\r\n");
    // Text ends at a NUL, as a C string would.
    EXPECT_EQ(DatabaseRecordLine(2u, GameRecord{"Ab\0cd"s, ColourCode::None, "de\0tails"s, 0, 0}), "00000002\xAC"
                                                                                                   "Ab\xAC\xAC"
                                                                                                   "de\xAC|0|0\r\n");
}

TEST(ListFilesWrite, WritesHeaderThenRecordsInUnsignedCrcOrder) {
    test::TempDir dir;
    GameDatabase database;
    database.Store(0x80000000u, GameRecord{"High", ColourCode::None, "", 0, 0});
    database.Store(0x7FFFFFFFu, GameRecord{"Low", ColourCode::Red, "", 0, 0});
    StoreGameRecord(database, RomEntry{"", "", "Abc", 0, 0, 64, 0xABCDu});
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_EQ(test::ReadText(dir / "db.lst"), DatabaseHeaderLine() + "0000ABCD\xAC"
                                                                     "Abc\xAC\xAC\xAC|0|0\r\n"
                                                                     "7FFFFFFF\xACLow\xACRed\xAC\xAC|0|0\r\n"
                                                                     "80000000\xACHigh\xAC\xAC\xAC|0|0\r\n");
}

TEST(ListFilesWrite, EmptyDatabaseIsTheHeaderAlone) {
    test::TempDir dir;
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", GameDatabase{}));
    EXPECT_EQ(test::ReadText(dir / "db.lst"), DatabaseHeaderLine());
}

TEST(ListFilesWrite, ReadBackRewritesLowerCaseCrcsAndUnknownColours) {
    test::TempDir dir;
    test::WriteFile(dir / "db.lst", Database({Fields({"0000abcd", "Abc", "red", "", "|0x21|-1"})}));
    NameTable names;
    GameDatabase database;
    ASSERT_EQ(LoadListFile(dir / "db.lst", names, database), ListKind::Quorrel);
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_EQ(test::ReadText(dir / "db.lst"), DatabaseHeaderLine() + "0000ABCD\xAC"
                                                                     "Abc\xAC\xAC\xAC|33|-1\r\n");
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
    EXPECT_EQ(std::vector(read.begin(), read.end()), std::vector(database.begin(), database.end()));
}

TEST(ListFilesWrite, TextWithSeparatorsReadsBackAsTheBlankedText) {
    test::TempDir dir;
    GameDatabase database;
    database.Store(5u, GameRecord{"A\xAC"
                                  "B",
                                  ColourCode::Green, "one\xACtwo\xAC", 3, 4});
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", database));
    NameTable names;
    GameDatabase read;
    ASSERT_EQ(LoadListFile(dir / "db.lst", names, read), ListKind::Quorrel);
    ASSERT_EQ(read.Size(), 1u);
    EXPECT_EQ(*read.Find(5u), (GameRecord{"A B", ColourCode::Green, "one two ", 3, 4}));
}

TEST(ListFilesWrite, FailureLeavesTheOldFileAndReportsIt) {
    test::TempDir dir;
    GameDatabase database;
    database.Store(1u, GameRecord{"One", ColourCode::None, "", 0, 0});
    EXPECT_FALSE(WriteGameDatabase(dir / "missing folder" / "db.lst", database));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing folder"));

    // A folder in the way of the target cannot be replaced; it stays as it was.
    std::filesystem::create_directories(dir / "db.lst" / "inside");
    EXPECT_FALSE(WriteGameDatabase(dir / "db.lst", database));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "db.lst" / "inside"));
}

} // namespace
} // namespace brimble
