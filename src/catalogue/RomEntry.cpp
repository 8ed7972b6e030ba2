#include "RomEntry.h"

#include "Paths.h"

namespace brimble {

std::filesystem::path RomEntry::FullPath() const {
    return JoinPath(directory, fileName);
}

std::string ClampTitle(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    return std::string(text.substr(0, kMaxTitleLength));
}

std::string MakeTitle(std::string_view source) {
    std::string title = ClampTitle(source);

    // The extension goes first, whatever the source: a naming list's "Abc. Def" keeps "Abc".
    const std::size_t dot = title.rfind('.');
    if (dot != std::string::npos)
        title.resize(dot);

    // The first byte is kept as it is, so a leading '_' or '(' survives.
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] == '_') {
            title[i] = ' ';
        } else if (title[i] == '(') {
            title.resize(i);
            break;
        }
    }

    // Only one blank goes: "Name  (E)" keeps "Name ".
    if (!title.empty() && title.back() == ' ')
        title.pop_back();
    return title;
}

} // namespace brimble
