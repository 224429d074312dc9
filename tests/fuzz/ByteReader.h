#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_test {

// Takes a fuzz input apart from the front: single bytes that choose what to do, then texts.
// Past the end it yields zeros and empty texts, so every input is a valid one.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    // Up to count bytes.
    std::string Bytes(std::size_t count) {
        const std::size_t n = std::min(count, m_size - m_pos);
        std::string bytes(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return bytes;
    }

    // The bytes up to the next `end` byte, which is taken but not returned.
    std::string Until(char end) {
        std::string bytes;
        while (m_pos < m_size) {
            const auto c = static_cast<char>(m_data[m_pos++]);
            if (c == end) break;
            bytes += c;
        }
        return bytes;
    }

    std::string Rest() { return Bytes(m_size - m_pos); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace fuzz_test
