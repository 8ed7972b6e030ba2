#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace brimble {

// The presenter's texts are UTF-8.
QString FromUtf8(std::string_view text);
std::string ToUtf8(const QString& text);

// Paths between the toolkit's strings and the file system, without a detour through an
// encoding that could lose bytes.
QString FromPath(const std::filesystem::path& path);
std::filesystem::path ToPath(const QString& text);

} // namespace brimble
