#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace brimble {

// Titles, names and details are Windows-1252 bytes; the window shows them as Unicode.
QString FromWindows1252(std::string_view bytes);
// A typed text as Windows-1252; a character without a Windows-1252 form becomes '?'.
std::string ToWindows1252(const QString& text);

// Paths between the toolkit's strings and the file system, without a detour through an
// encoding that could lose bytes.
QString FromPath(const std::filesystem::path& path);
std::filesystem::path ToPath(const QString& text);

} // namespace brimble
