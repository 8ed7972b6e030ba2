#include "SavedList.h"

#include "catalogue/LineReader.h"
#include "catalogue/Paths.h"

#include <string>
#include <utility>

namespace brimble {

std::vector<SavedRom> RestoreSavedList(const std::filesystem::path& savedListPath) {
    std::vector<SavedRom> roms;
    LineReader reader(savedListPath);
    if (!reader.IsOpen())
        return roms;

    std::string line;
    while (reader.Next(line)) {
        // The whole line is decoded at once, so directory and file name are read in the same
        // code page. The split is textual: a directory such as "C:" or "\\server\share" comes
        // back exactly as it was written, and JoinPath gives the same path again.
        auto split = SplitPath(StoredTextToPath(UpToNul(line)));
        if (!split)
            continue;
        roms.push_back(SavedRom{std::move(split->first), std::move(split->second)});
    }
    return roms;
}

} // namespace brimble
