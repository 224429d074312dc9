#include "sim/Frame.h"

namespace sim {

std::uint8_t Checksum(std::string_view text) {
    std::uint8_t sum = static_cast<std::uint8_t>(kStx) ^ static_cast<std::uint8_t>(kEtx);
    for (char c : text)
        sum ^= static_cast<std::uint8_t>(c);
    return sum;
}

std::string ChecksummedFrame(std::string_view text) {
    std::string frame;
    frame.reserve(text.size() + 4);
    frame += kStx;
    frame += text;
    frame += kEtx;
    frame += static_cast<char>(Checksum(text));
    frame += kCr;
    return frame;
}

std::string ShortFrame(std::string_view text) {
    std::string frame;
    frame.reserve(text.size() + 2);
    frame += kStx;
    frame += text;
    frame += kCr;
    return frame;
}

void FrameReader::SetChecksummed(bool checksummed) {
    m_checksummed = checksummed;
    Reset();
}

void FrameReader::Reset() {
    m_phase = Phase::Idle;
    m_text.clear();
}

std::optional<Frame> FrameReader::Push(char byte) {
    switch (m_phase) {
        case Phase::Idle:
            if (byte == kStx) m_phase = Phase::Text;
            return std::nullopt;
        case Phase::Text:
            if (byte == kStx) {
                m_text.clear();
            } else if (byte == kCr) {
                Frame frame{FrameKind::Short, std::move(m_text), true};
                Reset();
                return frame;
            } else if (byte == kEtx && m_checksummed) {
                m_phase = Phase::Checksum;
            } else if (m_text.size() < kMaxText) {
                m_text += byte;
            } else {
                Reset();
            }
            return std::nullopt;
        case Phase::Checksum: {
            const bool ok = static_cast<std::uint8_t>(byte) == Checksum(m_text);
            Frame frame{FrameKind::Checksummed, std::move(m_text), ok};
            Reset();
            return frame;
        }
    }
    return std::nullopt;
}

}  // namespace sim
