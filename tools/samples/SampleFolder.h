#pragma once

#include "samples/SampleFiles.h"

#include <filesystem>
#include <string_view>

namespace brimble::samples {

// A fresh folder under the system's temporary folder for made-up files, removed with
// everything in it (read-only files too) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Writes the bytes or the text as they are; throws when the file cannot be written.
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
void WriteFile(const std::filesystem::path& path, std::string_view text);

} // namespace brimble::samples
