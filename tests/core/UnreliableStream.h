#pragma once

#include <cstdint>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>

namespace brimble::test {

// Serves the given bytes but claims another size and fails from a position on, the way a
// disk read error reaches a stream (the buffer throws, the stream sets badbit). It keeps no
// get area, so every character passes through uflow and the position is always known.
class UnreliableBuffer : public std::streambuf {
public:
    UnreliableBuffer(std::string data, std::uint64_t claimedSize, std::size_t failAt)
        : m_data(std::move(data)), m_claimedSize(claimedSize), m_failAt(failAt) {}

protected:
    int_type underflow() override {
        if (m_position >= m_failAt)
            throw std::runtime_error("read error");
        return m_position < m_data.size() ? traits_type::to_int_type(m_data[m_position]) : traits_type::eof();
    }

    int_type uflow() override {
        const int_type next = underflow();
        m_position += traits_type::eq_int_type(next, traits_type::eof()) ? 0 : 1;
        return next;
    }

    pos_type seekoff(off_type offset, std::ios::seekdir dir, std::ios::openmode) override {
        const std::uint64_t base = dir == std::ios::cur ? m_position : dir == std::ios::end ? m_claimedSize : 0;
        if (offset < 0 && base < static_cast<std::uint64_t>(-offset))
            return pos_type(off_type(-1));
        m_position = base + static_cast<std::uint64_t>(offset);
        return pos_type(static_cast<off_type>(m_position));
    }

    pos_type seekpos(pos_type position, std::ios::openmode which) override {
        return seekoff(off_type(position), std::ios::beg, which);
    }

private:
    std::string m_data;
    std::uint64_t m_claimedSize;
    std::size_t m_failAt;
    std::uint64_t m_position = 0;
};

} // namespace brimble::test
