#pragma once

#include <filesystem>
#include <memory>

// The temporary files of the writes under way in this process, kept where an interrupt can find
// them: a signal handler can reach nothing but the process's own table, and may do little more
// than remove a file by a name that is already in memory. This table is the one piece of state
// the process shares, because an interrupt shares nothing else.
namespace brimble {

// Enters a temporary file in the table until the object goes; nothing is entered when the table
// is full (the next write beside the same target removes what an interrupt left then).
class TemporaryFileEntry {
public:
    explicit TemporaryFileEntry(const std::filesystem::path& path);
    TemporaryFileEntry(TemporaryFileEntry&&) noexcept;
    TemporaryFileEntry& operator=(TemporaryFileEntry&&) noexcept;
    ~TemporaryFileEntry();

private:
    void Release();
    std::filesystem::path::value_type* m_name = nullptr; // owned by the table while entered
    int m_slot = -1;
};

// Removes every file in the table. Safe in a signal handler; the table is left empty.
void RemoveTemporaryFilesNow();

} // namespace brimble
