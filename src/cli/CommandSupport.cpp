#include "Commands.h"
#include "catalogue/InputFile.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"

#include <cstdio>

namespace brimble::cli {

std::filesystem::path ArgumentPath(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string DisplayPath(const std::filesystem::path& path) {
    return PathToStoredText(path);
}

std::string Printable(std::string_view text) {
    std::string printable;
    printable.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        char escaped[8];
        if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            printable += escaped;
        } else if (byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
            // U+0080 to U+009F, the control characters that UTF-8 terminals act on too.
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[at + 1]));
            printable += escaped;
            ++at;
        } else {
            printable.push_back(text[at]);
        }
    }
    return printable;
}

void Complain(std::ostream& err, std::string_view name, std::string_view problem) {
    err << "brimble-cli: " << Printable(name) << ": " << problem << "\n";
}

std::string WriteProblem(const std::error_code& error) {
    return "cannot be written (" + error.message() + ")";
}

bool IsStandardOutput(const std::string& output) {
    return output == "-";
}

bool LoadLists(const std::vector<std::string>& lists, Tables& tables, std::ostream& err) {
    for (const auto& list : lists) {
        const std::filesystem::path path = ArgumentPath(list);
        if (const std::string problem = InputFileProblem(path); !problem.empty()) {
            Complain(err, list, problem);
            return false;
        }
        if (LoadListFile(path, tables.names, tables.database) == ListKind::Nothing) {
            Complain(err, list, "not a naming list or game database");
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
