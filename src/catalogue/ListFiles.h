#pragma once

#include "GameTables.h"

#include <filesystem>
#include <istream>
#include <string>
#include <system_error>

namespace brimble {

// What loading a list file did.
enum class ListKind { Nothing = 0, GoodNes = 1, Quorrel = 2 };

// Reads a naming list ("[GAMES]" among its first 15 lines) into names.
ListKind LoadGoodNesList(const std::filesystem::path& path, NameTable& names);

// Reads a game database (first line begins with 'C') into database, or else tries the file
// as a naming list.
ListKind LoadListFile(const std::filesystem::path& path, NameTable& names, GameDatabase& database);

// The same two on text already in memory, or any stream that can go back to its start.
ListKind LoadGoodNesList(std::istream& text, NameTable& names);
ListKind LoadListFile(std::istream& text, NameTable& names, GameDatabase& database);

// The database's header line and one record line, each with its CR LF. A title or details
// byte 0xAC, CR or LF is written as a blank so that the line reads back as the same record.
std::string DatabaseHeaderLine();
std::string DatabaseRecordLine(std::uint32_t crc, const GameRecord& record);

// Writes the whole database to path (atomically). False when it could not be written; an
// existing file is then left as it was.
bool WriteGameDatabase(const std::filesystem::path& path, const GameDatabase& database);
// The same, saying why when it fails.
bool WriteGameDatabase(const std::filesystem::path& path, const GameDatabase& database, std::error_code& error);

} // namespace brimble
