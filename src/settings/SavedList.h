#pragma once

#include <filesystem>
#include <vector>

namespace brimble {

struct SavedRom {
    std::filesystem::path directory;
    std::filesystem::path fileName;
};

// The (directory, file name) pairs of a saved list, in file order: each line split at its
// last separator, lines without one skipped. A missing file gives an empty list.
std::vector<SavedRom> RestoreSavedList(const std::filesystem::path& savedListPath);

} // namespace brimble
