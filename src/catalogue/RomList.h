#pragma once

#include "RomEntry.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace brimble {

// Compares two titles byte by byte as unsigned values, with 'A' to 'Z' counted as 'a' to
// 'z' and no other byte changed (no locale); a title that begins another sorts first.
// Negative, zero or positive like strcmp.
int CompareTitles(std::string_view left, std::string_view right);

// The compilation list as the window edits it: the entries in display order, the position
// of the entry that the details panel shows (-1 for none) and the running total of the
// entries' sizes. The window's list control mirrors it item for item.
class RomList {
public:
    std::size_t Count() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const std::vector<RomEntry>& Entries() const { return m_entries; }
    const RomEntry& At(std::size_t position) const { return m_entries.at(position); }
    RomEntry& At(std::size_t position) { return m_entries.at(position); }

    int Selection() const { return m_selection; }
    // The selected entry, or nothing.
    RomEntry* Selected();
    const RomEntry* Selected() const;
    // Sets the selection to a position of the list, or to -1; anything else is ignored.
    void Select(int position);

    // The sum of the sizes of all entries, in bytes.
    std::uint64_t Total() const { return m_total; }

    // Appends the entry and adds its size to the total. When nothing was selected, position
    // 0 becomes the selection and the result is true: the details panel must show it.
    bool Append(RomEntry entry);

    // Removes the selected entry and subtracts its size. The selection stays at the same
    // position, which now holds the next entry, or moves to the position before it when the
    // last entry went (-1 once the list is empty). The removed position, or nothing when
    // nothing was selected.
    std::optional<std::size_t> RemoveSelected();

    // Swaps the selected entry with its upper neighbour (negative delta) or its lower one
    // (zero or positive delta); only the sign counts. The selection follows the entry.
    // False when nothing was selected or the entry is already at that end.
    bool MoveSelected(int delta);

    // Orders the entries by CompareTitles, keeping entries with equal titles in their order,
    // and selects position 0. False on an empty list, which stays as it is.
    bool SortByTitle();

private:
    std::vector<RomEntry> m_entries;
    int m_selection = -1;
    std::uint64_t m_total = 0;
};

} // namespace brimble
