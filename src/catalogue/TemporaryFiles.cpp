#include "TemporaryFiles.h"

#include "Platform.h"

#include <array>
#include <atomic>
#include <cstring>
#include <utility>

namespace brimble {
namespace {

using Char = std::filesystem::path::value_type;

// A build writes the image and the saved list at once; a few more slots cost nothing.
constexpr std::size_t kSlots = 8;

// Each slot holds a name that whoever empties the slot (the writer or the interrupt) owns; the
// exchange decides which one does, so a name is never removed twice nor freed while in use.
// Constant-initialised, so that a handler finds it ready before any write began.
constinit std::array<std::atomic<Char*>, kSlots> g_table{};

std::array<std::atomic<Char*>, kSlots>& Table() {
    return g_table;
}

} // namespace

TemporaryFileEntry::TemporaryFileEntry(const std::filesystem::path& path) {
    const auto& native = path.native();
    auto name = std::make_unique<Char[]>(native.size() + 1);
    std::copy(native.begin(), native.end(), name.get());
    name[native.size()] = 0;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        Char* expected = nullptr;
        if (Table()[slot].compare_exchange_strong(expected, name.get())) {
            m_name = name.release();
            m_slot = static_cast<int>(slot);
            return;
        }
    }
}

TemporaryFileEntry::TemporaryFileEntry(TemporaryFileEntry&& other) noexcept
    : m_name(std::exchange(other.m_name, nullptr)), m_slot(std::exchange(other.m_slot, -1)) {}

TemporaryFileEntry& TemporaryFileEntry::operator=(TemporaryFileEntry&& other) noexcept {
    if (this != &other) {
        Release();
        m_name = std::exchange(other.m_name, nullptr);
        m_slot = std::exchange(other.m_slot, -1);
    }
    return *this;
}

TemporaryFileEntry::~TemporaryFileEntry() {
    Release();
}

void TemporaryFileEntry::Release() {
    if (m_slot < 0)
        return;
    // When an interrupt took the name first, it is the interrupt's: the process is ending.
    Char* name = Table()[static_cast<std::size_t>(m_slot)].exchange(nullptr);
    if (name == m_name)
        std::unique_ptr<Char[]> owned(name);
    m_name = nullptr;
    m_slot = -1;
}

void RemoveTemporaryFilesNow() {
    for (auto& slot : Table()) {
        if (Char* name = slot.exchange(nullptr))
            platform::RemoveFileNow(name);
    }
}

} // namespace brimble
