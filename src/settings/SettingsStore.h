#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brimble {

// Reads and writes keys of a profile file ("[section]" headers, "key=value" lines), as the
// Windows profile functions do: names match without regard to case, blanks around keys and
// values are ignored, a missing file, section or key gives the default. Every read reads the
// file afresh; every write replaces it atomically and keeps every other line byte for byte.
// A store can also hold the file's bytes in memory instead: the same rules, without a file.
class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path file);
    // A store over these bytes, never a file: reads parse them, writes change them.
    static SettingsStore FromBytes(std::string bytes);

    const std::filesystem::path& File() const { return m_file; } // empty in memory
    // The bytes the store holds: those in memory, or the file's (none when it cannot be read).
    std::string Bytes() const;

    // The value, or the default when the key is missing. Values come back as they stand.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // The value's leading decimal number, 0 when it has none, the default when missing.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Replaces the key's value in its line or adds the key at the end of its section, making
    // the section and the file as needed. False when the file could not be replaced; it is
    // then left as it was. Callers that follow the profile functions ignore the result.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    std::filesystem::path m_file;
    // Writes change the bytes as they change the file: the store is a handle to either.
    mutable std::optional<std::string> m_bytes;
};

} // namespace brimble
