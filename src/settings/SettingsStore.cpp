#include "SettingsStore.h"

#include "catalogue/AtomicFile.h"
#include "catalogue/TextScan.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace brimble {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// The file's bytes. Nothing when the file is missing; unreadable is told apart from missing
// so that a write never replaces a file it could not read.
struct FileText {
    enum class State { Missing, Read, Unreadable };
    State state = State::Missing;
    std::string bytes;
};

FileText LoadFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (error || !std::filesystem::is_regular_file(status))
        return {FileText::State::Unreadable, {}};

    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {FileText::State::Unreadable, {}};
    FileText text{FileText::State::Read,
                  std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
    if (in.bad())
        return {FileText::State::Unreadable, {}};
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

// One line of the file as it stands: where it starts, how long its text is and how many
// bytes of line end follow (2 for CR LF, 1 for LF, 0 for a last line without one).
struct Line {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t endLength = 0;
    std::string_view name;  // section name or key name, blanks trimmed
    std::string_view value; // key lines: the value, blanks trimmed
    int section = -1;       // key lines: index of the section header they follow, -1 for none
};

// The file split into lines and classified. Views point into the bytes it was made from.
class Profile {
public:
    explicit Profile(std::string_view bytes) : m_bytes(bytes) {
        std::size_t position = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
        int section = -1;
        while (position < bytes.size()) {
            Line line;
            line.start = position;
            const std::size_t feed = bytes.find('\n', position);
            if (feed == std::string_view::npos) {
                line.length = bytes.size() - position;
                position = bytes.size();
            } else {
                line.length = feed - position;
                line.endLength = 1;
                if (line.length > 0 && bytes[feed - 1] == '\r') {
                    --line.length;
                    line.endLength = 2;
                }
                position = feed + 1;
            }
            Classify(line, bytes.substr(line.start, line.length), section);
            if (line.kind == Line::Kind::Section)
                section = static_cast<int>(m_lines.size());
            m_lines.push_back(line);
        }
    }

    const std::vector<Line>& Lines() const { return m_lines; }

    bool InSection(const Line& line, std::string_view section) const {
        return line.section >= 0 && EqualNoCase(m_lines[static_cast<std::size_t>(line.section)].name, section);
    }

    // The first line of the key in the section, wherever the section occurs in the file.
    const Line* FindKey(std::string_view section, std::string_view key) const {
        for (const Line& line : m_lines) {
            if (line.kind == Line::Kind::Key && InSection(line, section) && EqualNoCase(line.name, key))
                return &line;
        }
        return nullptr;
    }

private:
    static void Classify(Line& line, std::string_view text, int section) {
        const std::string_view trimmed = TrimBlanks(text);
        if (trimmed.starts_with('[')) {
            // A header runs to its last ']'; anything after it is ignored, and a '[' line
            // without one is no header and no key.
            const std::size_t close = trimmed.rfind(']');
            if (close != std::string_view::npos) {
                line.kind = Line::Kind::Section;
                line.name = TrimBlanks(trimmed.substr(1, close - 1));
            }
            return;
        }
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string_view::npos)
            return;
        const std::string_view key = TrimBlanks(trimmed.substr(0, equals));
        if (key.empty())
            return;
        line.kind = Line::Kind::Key;
        line.name = key;
        line.value = TrimBlanks(trimmed.substr(equals + 1));
        line.section = section;
    }

    std::string_view m_bytes;
    std::vector<Line> m_lines;
};

std::optional<std::string> FindValue(const std::string& bytes, std::string_view section, std::string_view key) {
    const Profile profile(bytes);
    const Line* line = profile.FindKey(section, key);
    if (line == nullptr)
        return std::nullopt;
    // A value is C text to the programs that share this file: it ends at a NUL byte.
    std::string_view value = line->value;
    if (const std::size_t nul = value.find('\0'); nul != std::string_view::npos)
        value = TrimBlanks(value.substr(0, nul));
    return std::string(value);
}

bool HasByte(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

// Names and values that cannot be written as one line that reads back as the same key.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value) {
    using namespace std::string_view_literals;
    const std::string_view lineBreaks = "\r\n\0"sv;
    if (HasByte(section, lineBreaks) || HasByte(section, "]") || TrimBlanks(section) != section)
        return false;
    if (key.empty() || HasByte(key, lineBreaks) || HasByte(key, "=") || key.front() == '[' || TrimBlanks(key) != key)
        return false;
    return !HasByte(value, lineBreaks);
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append(kLineEnd);
    return line;
}

// The new file: the old bytes with the key's line replaced or added. Every other line keeps
// its bytes and its own line end.
std::string ChangedText(const std::string& old, std::string_view section, std::string_view key,
                        std::string_view value) {
    const Profile profile(old);
    const std::vector<Line>& lines = profile.Lines();

    if (const Line* line = profile.FindKey(section, key)) {
        // The same value again leaves the line, blanks and all, as the user wrote it.
        if (line->value == value)
            return old;
        std::string text = old.substr(0, line->start);
        text += KeyLine(line->name, value);
        text.append(old, line->start + line->length + line->endLength);
        return text;
    }

    // After the section's last key line, or after its header when it has none.
    const Line* after = nullptr;
    for (const Line& line : lines) {
        if (line.kind == Line::Kind::Key && profile.InSection(line, section))
            after = &line;
    }
    if (after == nullptr) {
        for (const Line& line : lines) {
            if (line.kind == Line::Kind::Section && EqualNoCase(line.name, section)) {
                after = &line;
                break;
            }
        }
    }
    if (after != nullptr) {
        const std::size_t lineEnd = after->start + after->length;
        std::string text = old.substr(0, lineEnd + after->endLength);
        if (after->endLength == 0)
            text += kLineEnd;
        text += KeyLine(key, value);
        text.append(old, lineEnd + after->endLength);
        return text;
    }

    std::string text = old;
    if (!text.empty() && text.back() != '\n' && text != kByteOrderMark)
        text += kLineEnd;
    text.append("[").append(section).append("]").append(kLineEnd);
    text += KeyLine(key, value);
    return text;
}

} // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : m_file(std::move(file)) {}

SettingsStore SettingsStore::FromBytes(std::string bytes) {
    SettingsStore store({});
    store.m_bytes = std::move(bytes);
    return store;
}

std::string SettingsStore::Bytes() const {
    return m_bytes ? *m_bytes : LoadFile(m_file).bytes;
}

std::optional<std::string> SettingsStore::Find(std::string_view section, std::string_view key) const {
    if (m_bytes)
        return FindValue(*m_bytes, section, key);
    const FileText text = LoadFile(m_file);
    if (text.state != FileText::State::Read)
        return std::nullopt;
    return FindValue(text.bytes, section, key);
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
    if (auto value = Find(section, key))
        return std::move(*value);
    return std::string(defaultValue);
}

int SettingsStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    if (const auto value = Find(section, key))
        return LeadingDecimal(*value);
    return defaultValue;
}

bool SettingsStore::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
    if (!CanWrite(section, key, value))
        return false;
    if (m_bytes) {
        *m_bytes = ChangedText(*m_bytes, section, key, value);
        return true;
    }
    const FileText old = LoadFile(m_file);
    if (old.state == FileText::State::Unreadable)
        return false;
    const std::string text = ChangedText(old.bytes, section, key, value);
    if (old.state == FileText::State::Read && text == old.bytes)
        return true;

    auto file = AtomicFile::Create(m_file);
    if (!file)
        return false;
    if (!file->Write(std::string_view(text)))
        return false;
    return file->Commit();
}

} // namespace brimble
