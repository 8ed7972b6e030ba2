#pragma once

#include <cstdio>
#include <filesystem>

// The few file operations whose calls differ between Windows and POSIX. One source file
// per platform implements them; CMake picks the one that fits.
namespace brimble::platform {

// fopen with a path that may hold any characters (wide on Windows).
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Flushes the stream and asks the system to put its data on the disk.
bool FlushToDisk(std::FILE* file);

// Replaces target by source in one step; target may exist. Source is left in place when
// this fails.
bool RenameOver(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace brimble::platform
