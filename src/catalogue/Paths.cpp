#include "Paths.h"

#include "Windows1252.h"

#include <system_error>

namespace brimble {

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path AbsoluteOrAsGiven(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute;
}

std::filesystem::path JoinPath(const std::filesystem::path& directory, const std::filesystem::path& fileName) {
    auto text = directory.native();
    text += std::filesystem::path::preferred_separator;
    text += fileName.native();
    return std::filesystem::path(std::move(text));
}

std::optional<std::pair<std::filesystem::path, std::filesystem::path>> SplitPath(const std::filesystem::path& path) {
    const auto& text = path.native();
    // '/' separates too on Windows, where the platform's own separator is '\\'.
    const std::filesystem::path::value_type separators[] = {std::filesystem::path::preferred_separator, '/', 0};
    const auto cut = text.find_last_of(separators);
    if (cut == std::filesystem::path::string_type::npos)
        return std::nullopt;
    return std::make_pair(std::filesystem::path(text.substr(0, cut)), std::filesystem::path(text.substr(cut + 1)));
}

std::string PathToStoredText(const std::filesystem::path& path) {
    return PathToUtf8(path);
}

std::filesystem::path StoredTextToPath(std::string_view text) {
    if (IsValidUtf8(text))
        return PathFromUtf8(text);
    return PathFromUtf8(Windows1252ToUtf8(text));
}

bool NamesSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    namespace fs = std::filesystem;
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) {
        const bool same = fs::equivalent(a, b, error);
        if (!error && same)
            return true;
    }
    std::error_code errorA;
    std::error_code errorB;
    const fs::path canonicalA = fs::weakly_canonical(a, errorA);
    const fs::path canonicalB = fs::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

std::string FileNameToWindows1252(const std::filesystem::path& fileName) {
    return Utf8ToWindows1252(PathToUtf8(fileName));
}

} // namespace brimble
