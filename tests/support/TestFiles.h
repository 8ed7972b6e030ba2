#pragma once

#include "samples/SampleFiles.h"
#include "samples/SampleFolder.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brimble::test {

// The made-up files that the demo is made of, and the folder and writer for them, under the
// tests' names.
using namespace samples;

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);
// The names of what a folder holds; comparing them before and after shows a temporary file
// left behind.
std::set<std::string> FileNames(const std::filesystem::path& dir);

// Writes MakeNesImage to path and returns the bytes written.
Bytes WriteNesFile(const std::filesystem::path& path, std::size_t romBytes, std::uint32_t seed = 1);

// The Windows-1252 NOT SIGN that separates fields of the list files, as one byte.
inline constexpr char kSep = '\xAC';

// Makes dir the current directory while the object lives, then restores the old one.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

} // namespace brimble::test
