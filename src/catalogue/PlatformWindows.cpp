#include "Platform.h"

#include <cstdio>
#include <io.h>
#include <string>
#include <windows.h>

namespace brimble::platform {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool RenameOver(const std::filesystem::path& source, const std::filesystem::path& target) {
    // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk.
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace brimble::platform
