#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

// The few file and process operations whose calls differ between Windows and POSIX. One
// source file per platform implements them; CMake picks the one that fits.
namespace brimble::platform {

// fopen with a path that may hold any characters (wide on Windows).
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Creates a file that did not exist and opens it for binary writing; it can be removed while
// it is open (on Windows too). Nothing, with the system's reason, when it cannot be created;
// the reason is std::errc::file_exists when the name is taken.
std::FILE* CreateNewFile(const std::filesystem::path& path, std::error_code& error);

// The process's standard output, switched to binary writing.
std::FILE* StandardOutput();

// Flushes the stream and asks the system to put its data on the disk.
bool FlushToDisk(std::FILE* file, std::error_code& error);

// Replaces target by source in one step; target may exist. Source is left in place when
// this fails.
bool RenameOver(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error);

// What a path names for reading, found by opening it without waiting (a pipe without a writer
// or a device would block an ordinary open) and closing it again.
enum class InputKind { RegularFile, Folder, NotAFile, Unopenable };
struct InputProbe {
    InputKind kind = InputKind::Unopenable;
    std::error_code error; // why it could not be opened, for Unopenable
};
InputProbe ProbeInput(const std::filesystem::path& path);

// The id of this process, and whether a process of that id is running now.
std::uint64_t CurrentProcessId();
bool ProcessIsRunning(std::uint64_t id);

// Removes a file by its native name; safe to call from a signal handler.
void RemoveFileNow(const std::filesystem::path::value_type* name);

// Makes an interrupt (Ctrl+C, SIGINT, SIGTERM) remove the temporary files of unfinished
// writes before the process ends as the interrupt would have ended it.
void RemoveTemporaryFilesOnInterrupt();

} // namespace brimble::platform
