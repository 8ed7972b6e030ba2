#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <string>

namespace brimble {

// Every file the program reads (ROMs, the emulator image, the splash, lists) is opened here, so
// that a pipe, a device or a folder named as one is refused with a reason instead of blocking
// the program or reading forever.

// Why the path cannot be read as a file ("is a folder", "is not a regular file (a device, pipe
// or socket)", or "cannot be opened (" and the system's reason, such as "No such file or
// directory", ")"); empty when it can.
std::string InputFileProblem(const std::filesystem::path& path);

// Opens a regular file for binary reading. False, with the stream closed and why set to the
// reason, when it is no regular file or cannot be opened.
bool OpenInputFile(const std::filesystem::path& path, std::ifstream& stream, std::string* why = nullptr);

// The stream's size, or nothing when it cannot be measured. Leaves the stream at its end.
std::optional<std::uint64_t> StreamSize(std::istream& stream);

} // namespace brimble
