#include "RomList.h"

#include <algorithm>

namespace brimble {
namespace {

unsigned char FoldTitleByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 'A' && value <= 'Z')
        return static_cast<unsigned char>(value - 'A' + 'a');
    return value;
}

} // namespace

int CompareTitles(std::string_view left, std::string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char a = FoldTitleByte(left[i]);
        const unsigned char b = FoldTitleByte(right[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

RomEntry* RomList::Selected() {
    return m_selection < 0 ? nullptr : &m_entries[static_cast<std::size_t>(m_selection)];
}

const RomEntry* RomList::Selected() const {
    return m_selection < 0 ? nullptr : &m_entries[static_cast<std::size_t>(m_selection)];
}

void RomList::Select(int position) {
    if (position >= -1 && position < static_cast<int>(m_entries.size()))
        m_selection = position;
}

bool RomList::Append(RomEntry entry) {
    m_total += entry.size;
    m_entries.push_back(std::move(entry));
    if (m_selection != -1)
        return false;
    m_selection = 0;
    return true;
}

std::optional<std::size_t> RomList::RemoveSelected() {
    if (m_selection < 0)
        return std::nullopt;
    const auto position = static_cast<std::size_t>(m_selection);
    m_total -= m_entries[position].size;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    if (position >= m_entries.size())
        m_selection = static_cast<int>(position) - 1;
    return position;
}

bool RomList::MoveSelected(int delta) {
    if (m_selection < 0)
        return false;
    const auto position = static_cast<std::size_t>(m_selection);
    if (delta < 0) {
        if (position == 0)
            return false;
        std::swap(m_entries[position - 1], m_entries[position]);
        --m_selection;
        return true;
    }
    if (position + 1 >= m_entries.size())
        return false;
    std::swap(m_entries[position], m_entries[position + 1]);
    ++m_selection;
    return true;
}

bool RomList::SortByTitle() {
    if (m_entries.empty())
        return false;
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const RomEntry& a, const RomEntry& b) { return CompareTitles(a.title, b.title) < 0; });
    m_selection = 0;
    return true;
}

} // namespace brimble
