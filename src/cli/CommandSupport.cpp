#include "Commands.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"

namespace brimble::cli {

std::filesystem::path ArgumentPath(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string DisplayPath(const std::filesystem::path& path) {
    return PathToStoredText(path);
}

bool LoadLists(const std::vector<std::string>& lists, Tables& tables, std::ostream& err) {
    for (const auto& list : lists) {
        if (LoadListFile(ArgumentPath(list), tables.names, tables.database) == ListKind::Nothing) {
            err << "brimble-cli: " << list << ": not a naming list or game database, or cannot be read\n";
            return false;
        }
    }
    return true;
}

std::pair<std::filesystem::path, std::filesystem::path> SplitRomPath(const std::filesystem::path& path) {
    if (auto parts = SplitPath(path))
        return *parts;
    return {std::filesystem::path("."), path};
}

} // namespace brimble::cli
