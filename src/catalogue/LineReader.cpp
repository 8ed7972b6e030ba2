#include "LineReader.h"

#include "InputFile.h"

namespace brimble {

LineReader::LineReader(const std::filesystem::path& path) {
    m_open = OpenInputFile(path, m_file, &m_problem);
}

LineReader::LineReader(std::istream& text) : m_stream(&text), m_open(true) {}

bool LineReader::Next(std::string& line) {
    if (!m_open)
        return false;
    line.clear();
    // getline fails only when it extracted nothing; a last line without LF still counts.
    if (!std::getline(*m_stream, line))
        return false;
    m_lineEnded = !m_stream->eof();
    if (m_lineEnded && !line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

std::string_view UpToNul(std::string_view line) {
    const auto nul = line.find('\0');
    return nul == std::string_view::npos ? line : line.substr(0, nul);
}

} // namespace brimble
