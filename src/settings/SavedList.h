#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace brimble {

struct SavedRom {
    std::filesystem::path directory;
    std::filesystem::path fileName;
    std::size_t line = 0; // 1-based line of the saved list that names it
};

// What a saved list holds: the (directory, file name) pair of each line, in file order, each line
// split at its last separator. A line with text but no separator names no file and is skipped;
// its number is kept so that the user can be told. Empty lines hold nothing and are passed over.
struct SavedListContents {
    std::vector<SavedRom> roms;
    std::vector<std::size_t> skippedLines; // 1-based
    std::string problem;                   // why the file could not be read (see InputFileProblem)
};
SavedListContents ReadSavedList(const std::filesystem::path& savedListPath);
// The same from text already open.
SavedListContents ReadSavedList(std::istream& text);

// The pairs alone; a missing file gives an empty list.
std::vector<SavedRom> RestoreSavedList(const std::filesystem::path& savedListPath);

} // namespace brimble
