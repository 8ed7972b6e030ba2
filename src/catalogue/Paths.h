#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace brimble {

// Directory and file name joined as text with the platform's separator, exactly as given:
// "C:" and "x.nes" give "C:\x.nes" (not the drive-relative "C:x.nes" that operator/ makes),
// and an empty directory gives a path that starts with the separator.
std::filesystem::path JoinPath(const std::filesystem::path& directory, const std::filesystem::path& fileName);

// A path split at its last separator ('/', and '\\' on Windows) into (directory, file name);
// nothing when the path text holds no separator.
std::optional<std::pair<std::filesystem::path, std::filesystem::path>> SplitPath(const std::filesystem::path& path);

// A path as UTF-8 text and back, byte for byte where the system's paths are bytes: the form in
// which paths cross from and to a window's controls.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view text);

// The path made absolute against the current directory, or the path as given when that fails
// (no current directory, an empty path): a file is then still looked for where the program runs.
std::filesystem::path AbsoluteOrAsGiven(const std::filesystem::path& path);

// Paths kept in text files (settings, saved list) are written as UTF-8. Reading accepts
// UTF-8 and, for files written by older tools in the ANSI code page, falls back to
// Windows-1252 when the text is not valid UTF-8.
std::string PathToStoredText(const std::filesystem::path& path);
std::filesystem::path StoredTextToPath(std::string_view text);

// True when both paths name one file: the same file found through either name (hard links,
// symbolic links, differently spelled paths), or the same path once resolved, whether the
// file exists yet or not.
bool NamesSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The file name's text in Windows-1252, the form in which it becomes a title.
std::string FileNameToWindows1252(const std::filesystem::path& fileName);

} // namespace brimble
