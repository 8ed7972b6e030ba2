#include "support/TestFiles.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace brimble::test {

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::filesystem::path& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::set<std::string> FileNames(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir))
        names.insert(item.path().filename().string());
    return names;
}

Bytes WriteNesFile(const std::filesystem::path& path, std::size_t romBytes, std::uint32_t seed) {
    Bytes image = MakeNesImage(romBytes, seed);
    WriteFile(path, image);
    return image;
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& dir) : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

} // namespace brimble::test
