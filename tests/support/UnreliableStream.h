#pragma once

#include <algorithm>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>

namespace brimble::test {

// Serves the given bytes but claims another size and fails from a position on, the way a
// disk read error reaches a stream (the buffer throws, the stream sets badbit).
class UnreliableBuffer : public std::streambuf {
public:
    UnreliableBuffer(std::string data, std::uint64_t claimedSize, std::size_t failAt)
        : m_data(std::move(data)), m_claimedSize(claimedSize), m_failAt(failAt) {
        SetPosition(0);
    }

protected:
    int_type underflow() override {
        const auto at = static_cast<std::size_t>(gptr() - eback());
        if (at >= m_failAt)
            throw std::runtime_error("read error");
        return at < m_data.size() ? traits_type::to_int_type(m_data[at]) : traits_type::eof();
    }

    pos_type seekoff(off_type offset, std::ios::seekdir dir, std::ios::openmode) override {
        std::int64_t base = 0;
        if (dir == std::ios::cur)
            base = m_beyondData ? static_cast<std::int64_t>(*m_beyondData) : gptr() - eback();
        else if (dir == std::ios::end)
            base = static_cast<std::int64_t>(m_claimedSize);
        const std::int64_t target = base + offset;
        if (target < 0)
            return pos_type(off_type(-1));
        SetPosition(static_cast<std::uint64_t>(target));
        return pos_type(static_cast<off_type>(target));
    }

    pos_type seekpos(pos_type position, std::ios::openmode which) override {
        return seekoff(off_type(position), std::ios::beg, which);
    }

private:
    void SetPosition(std::uint64_t position) {
        char* begin = m_data.data();
        const std::size_t readable = std::min(m_data.size(), m_failAt);
        const auto at = static_cast<std::size_t>(std::min<std::uint64_t>(position, readable));
        setg(begin, begin + at, begin + readable);
        // A position past what can be read (the claimed end) is remembered for tellg.
        m_beyondData = position > readable ? std::optional(position) : std::nullopt;
    }

    std::string m_data;
    std::uint64_t m_claimedSize;
    std::size_t m_failAt;
    std::optional<std::uint64_t> m_beyondData;
};

} // namespace brimble::test
