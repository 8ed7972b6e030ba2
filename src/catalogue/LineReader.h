#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace brimble {

// Reads a byte-text file line by line. A line ends at LF; a CR right before the LF is not
// part of it. Lines are returned whole, whatever their length. The file is read in binary
// mode on every platform, so a CR LF file and an LF file read alike.
class LineReader {
public:
    explicit LineReader(const std::filesystem::path& path);
    // Reads text already open, from where it stands; the stream must outlive the reader.
    explicit LineReader(std::istream& text);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool IsOpen() const { return m_open; }
    // Why the file did not open (see InputFileProblem).
    const std::string& Problem() const { return m_problem; }

    // The next line, without its line end; false at the end of the file.
    bool Next(std::string& line);

    // Whether the line last returned was ended by a line feed (false for a last line
    // without one).
    bool LineWasEnded() const { return m_lineEnded; }

private:
    std::ifstream m_file;
    std::istream* m_stream = &m_file;
    std::string m_problem;
    bool m_open = false;
    bool m_lineEnded = false;
};

// A line as C text sees it: everything before the first NUL byte.
std::string_view UpToNul(std::string_view line);

} // namespace brimble
