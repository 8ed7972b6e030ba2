#include "ListFiles.h"

#include "AtomicFile.h"
#include "LineReader.h"
#include "TextScan.h"

#include <array>
#include <optional>
#include <string_view>

namespace brimble {
namespace {

constexpr char kSeparator = '\xAC';
constexpr std::string_view kGoodNesHeader = "[GAMES]";
constexpr int kGoodNesHeaderWindow = 15;
// The byte of a database record line that must hold the first separator: eight hex digits.
constexpr std::size_t kRecordSeparatorAt = 8;
constexpr std::size_t kGoodNesIgnoredFields = 4;

// Reads lines until the naming list's header; false when none of the first lines is one.
// The header is the whole line, ended by a line feed: "[GAMES] " or a last line without an
// end is no header.
bool FindGoodNesHeader(LineReader& reader) {
    std::string line;
    for (int read = 0; read < kGoodNesHeaderWindow && reader.Next(line); ++read) {
        if (line == kGoodNesHeader && reader.LineWasEnded())
            return true;
    }
    return false;
}

// One game line: any first byte, the name up to the first separator, four fields, then the
// CRC field, which must be closed by a separator. Empty fields count like any other.
void ReadGoodNesLine(std::string_view line, NameTable& names) {
    if (line.empty())
        return;
    std::size_t separator = line.find(kSeparator, 1);
    if (separator == std::string_view::npos)
        return;
    const std::string_view name = line.substr(1, separator - 1);
    for (std::size_t field = 0; field < kGoodNesIgnoredFields; ++field) {
        separator = line.find(kSeparator, separator + 1);
        if (separator == std::string_view::npos)
            return;
    }
    const std::size_t crcStart = separator + 1;
    const std::size_t crcEnd = line.find(kSeparator, crcStart);
    if (crcEnd == std::string_view::npos)
        return;
    // A field without a number, or one over 32 bits, names no game.
    const std::optional<ScannedNumber> crc = ScanHex(line.substr(crcStart, crcEnd - crcStart));
    if (!crc)
        return;
    names.Store(crc->value, std::string(name));
}

// The CRC field of a record reads as 0 when it holds no hexadecimal number. It ends at the
// separator at byte 8 or before, so its eight digits at most always fit in 32 bits.
std::uint32_t ReadRecordCrc(std::string_view field) {
    const std::optional<ScannedNumber> crc = ScanHex(field);
    return crc ? crc->value : 0;
}

// The options field "|flags|follow"; a number that is missing or unreadable leaves its value
// at 0, and the follow value is read only after a readable flags value.
void ReadRecordOptions(std::string_view field, GameRecord& record) {
    if (field.empty() || field[0] != '|')
        return;
    field.remove_prefix(1);
    const std::optional<ScannedNumber> flags = ScanInteger(field);
    if (!flags)
        return;
    record.flags = flags->value;
    field.remove_prefix(flags->end);
    if (field.empty() || field[0] != '|')
        return;
    field.remove_prefix(1);
    if (const std::optional<ScannedNumber> follow = ScanInteger(field))
        record.follow = static_cast<std::int32_t>(follow->value);
}

// One record line: split at the first four separators, the rest is the options field.
void ReadDatabaseLine(std::string_view line, GameDatabase& database) {
    if (line.size() <= kRecordSeparatorAt || line[kRecordSeparatorAt] != kSeparator)
        return;
    std::array<std::string_view, 4> fields;
    std::size_t start = 0;
    for (std::string_view& field : fields) {
        const std::size_t separator = line.find(kSeparator, start);
        if (separator == std::string_view::npos)
            return;
        field = line.substr(start, separator - start);
        start = separator + 1;
    }
    const std::uint32_t crc = ReadRecordCrc(fields[0]);
    GameRecord record;
    record.title = ClampTitle(fields[1]);
    record.colour = ColourFromName(fields[2]);
    record.details = std::string(fields[3]);
    ReadRecordOptions(line.substr(start), record);
    database.Store(crc, std::move(record));
}

// The text of a title or details as the record line carries it: up to a NUL, with the
// separator and line-end bytes as blanks, so that the line reads back as the same record.
void AppendField(std::string& out, std::string_view text) {
    const std::string_view visible = UpToNul(text);
    for (const char c : visible)
        out.push_back(c == kSeparator || c == '\r' || c == '\n' ? ' ' : c);
}

void AppendHex8(std::string& out, std::uint32_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4)
        out.push_back(kDigits[(value >> shift) & 0xFu]);
}

} // namespace

namespace {

ListKind ReadGoodNesList(LineReader& reader, NameTable& names) {
    if (!reader.IsOpen() || !FindGoodNesHeader(reader))
        return ListKind::Nothing;
    std::string line;
    while (reader.Next(line))
        ReadGoodNesLine(UpToNul(line), names);
    return ListKind::GoodNes;
}

// A database when the first line says so; otherwise the caller reads the text again from its
// start as a naming list.
std::optional<ListKind> ReadDatabase(LineReader& reader, GameDatabase& database) {
    if (!reader.IsOpen())
        return ListKind::Nothing;
    std::string line;
    if (!reader.Next(line) || UpToNul(line).substr(0, 1) != "C")
        return std::nullopt;
    while (reader.Next(line))
        ReadDatabaseLine(UpToNul(line), database);
    return ListKind::Quorrel;
}

} // namespace

ListKind LoadGoodNesList(const std::filesystem::path& path, NameTable& names) {
    LineReader reader(path);
    return ReadGoodNesList(reader, names);
}

ListKind LoadGoodNesList(std::istream& text, NameTable& names) {
    LineReader reader(text);
    return ReadGoodNesList(reader, names);
}

ListKind LoadListFile(const std::filesystem::path& path, NameTable& names, GameDatabase& database) {
    LineReader reader(path);
    if (const std::optional<ListKind> kind = ReadDatabase(reader, database))
        return *kind;
    return LoadGoodNesList(path, names);
}

ListKind LoadListFile(std::istream& text, NameTable& names, GameDatabase& database) {
    const std::istream::pos_type start = text.tellg();
    LineReader reader(text);
    if (const std::optional<ListKind> kind = ReadDatabase(reader, database))
        return *kind;
    text.clear();
    text.seekg(start);
    return LoadGoodNesList(text, names);
}

std::string DatabaseHeaderLine() {
    // Each "\xAC" stands apart from text that begins with a hexadecimal letter.
    return "Checksum\xAC"
           "NES rom title\xAC"
           "Color code\xAC"
           "Details\xAC"
           "Options\r\n";
}

std::string DatabaseRecordLine(std::uint32_t crc, const GameRecord& record) {
    std::string line;
    line.reserve(64 + record.details.size());
    AppendHex8(line, crc);
    line.push_back(kSeparator);
    AppendField(line, ClampTitle(record.title));
    line.push_back(kSeparator);
    line.append(ColourName(record.colour));
    line.push_back(kSeparator);
    AppendField(line, record.details);
    line.push_back(kSeparator);
    line.push_back('|');
    line.append(std::to_string(static_cast<std::int32_t>(record.flags)));
    line.push_back('|');
    line.append(std::to_string(record.follow));
    line.append("\r\n");
    return line;
}

bool WriteGameDatabase(const std::filesystem::path& path, const GameDatabase& database) {
    std::error_code ignored;
    return WriteGameDatabase(path, database, ignored);
}

bool WriteGameDatabase(const std::filesystem::path& path, const GameDatabase& database, std::error_code& error) {
    std::optional<AtomicFile> file = AtomicFile::Create(path, error);
    if (!file)
        return false;
    // Lines are gathered into large writes rather than written one by one.
    constexpr std::size_t kChunk = 64 * 1024;
    std::string chunk = DatabaseHeaderLine();
    for (const auto& [crc, record] : database) {
        chunk.append(DatabaseRecordLine(crc, record));
        if (chunk.size() >= kChunk) {
            file->Write(chunk);
            chunk.clear();
        }
    }
    file->Write(chunk);
    if (file->Commit())
        return true;
    error = file->Error();
    return false;
}

} // namespace brimble
