#pragma once

#include "samples/SampleFiles.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brimble::test {

// The made-up files that the demo is made of, under the tests' names.
using namespace samples;

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

using Bytes = std::vector<std::uint8_t>;

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
void WriteFile(const std::filesystem::path& path, std::string_view text);
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
