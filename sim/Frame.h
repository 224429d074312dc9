#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
inline constexpr char kCr = '\x0D';

// XOR of STX, every text byte and ETX.
std::uint8_t Checksum(std::string_view text);
// STX text ETX checksum CR: the native mode's frame.
std::string ChecksummedFrame(std::string_view text);
// STX text CR: the emulation modes' frame and the type query's.
std::string ShortFrame(std::string_view text);

enum class FrameKind { Short, Checksummed };

struct Frame {
    FrameKind kind = FrameKind::Short;
    std::string text;
    bool checksumOk = true;  // short frames carry no checksum
};

// Cuts the host's frames out of the byte stream, one byte at a time. In checksummed mode a
// frame ends with ETX and the one checksum byte after it (whatever its value); a CR before the
// ETX ends a short frame, which is how the type query arrives in every mode. Otherwise a frame
// ends at CR and an ETX is just a byte of its text. Bytes outside frames (zero bytes, the CR
// after a checksum, noise) are skipped; an STX inside a frame starts a new one, and an overlong
// frame is dropped so that noise cannot grow the buffer.
class FrameReader {
public:
    static constexpr std::size_t kMaxText = 256;

    explicit FrameReader(bool checksummed) : m_checksummed(checksummed) {}
    void SetChecksummed(bool checksummed);
    void Reset();
    std::optional<Frame> Push(char byte);

private:
    enum class Phase { Idle, Text, Checksum };

    bool m_checksummed;
    Phase m_phase = Phase::Idle;
    std::string m_text;
};

}  // namespace sim
