#include "SavedList.h"

#include "catalogue/LineReader.h"
#include "catalogue/Paths.h"

#include <string>
#include <utility>

namespace brimble {

namespace {

SavedListContents ReadLines(LineReader& reader) {
    SavedListContents contents;
    if (!reader.IsOpen()) {
        contents.problem = reader.Problem();
        return contents;
    }

    std::string line;
    for (std::size_t number = 1; reader.Next(line); ++number) {
        const std::string_view text = UpToNul(line);
        // The whole line is decoded at once, so directory and file name are read in the same
        // code page. The split is textual: a directory such as "C:" or "\\server\share" comes
        // back exactly as it was written, and JoinPath gives the same path again.
        auto split = SplitPath(StoredTextToPath(text));
        if (split)
            contents.roms.push_back(SavedRom{std::move(split->first), std::move(split->second), number});
        else if (!text.empty())
            contents.skippedLines.push_back(number);
    }
    return contents;
}

} // namespace

SavedListContents ReadSavedList(const std::filesystem::path& savedListPath) {
    LineReader reader(savedListPath);
    return ReadLines(reader);
}

SavedListContents ReadSavedList(std::istream& text) {
    LineReader reader(text);
    return ReadLines(reader);
}

std::vector<SavedRom> RestoreSavedList(const std::filesystem::path& savedListPath) {
    return ReadSavedList(savedListPath).roms;
}

} // namespace brimble
