#include "device/Framing.h"

#include "device/InstrumentType.h"
#include "device/ReplyCode.h"
#include "device/SerialDevice.h"
#include "support/Clock.h"

namespace device {

namespace {

// The checksum and CR after a framed reply's ETX follow at once; a longer gap is an error.
constexpr int kTrailerTimeoutMs = 100;
// Pause per started group of ten received bytes after a failed read, so the rest of a garbled
// reply has arrived before the next read.
constexpr int kSettleMs = 100;

unsigned char Checksum(std::string_view bytes) {
    unsigned char checksum = 0;
    for (char c : bytes)
        checksum ^= static_cast<unsigned char>(c);
    return checksum;
}

// Reads up to the reply's ETX into received; the STX position, or a failure code.
ReplyCode ReadToEtx(SerialDevice& device, std::string& received, std::size_t& stx,
                    std::size_t& etx) {
    if (device.ReadString(received) <= 0) {
        received.clear();
        return ReplyCode::NothingRead;
    }
    stx = received.find(STX);
    if (stx == std::string::npos) return ReplyCode::StxNotFound;
    etx = received.find(ETX, stx);
    if (etx == std::string::npos) {
        // The reply may still be under way: one more read completes it.
        std::string more;
        if (device.ReadString(more) > 0) received += more;
        etx = received.find(ETX, stx);
    }
    return etx == std::string::npos ? ReplyCode::EtxNotFound : ReplyCode::Ok;
}

// Reads the checksum and the CR that follow the ETX and checks the checksum.
ReplyCode ReadTrailer(SerialDevice& device, std::string_view frame, BOOL bExpectCR) {
    device.SetTimeout(kTrailerTimeoutMs);
    unsigned char checksum = 0;
    unsigned char last = 0;
    if (device.ReadBytes(&checksum, 1) <= 0) return ReplyCode::ChecksumNotFound;
    if (bExpectCR && (device.ReadBytes(&last, 1) <= 0 || last != CR)) return ReplyCode::CrNotFound;
    return Checksum(frame) == checksum ? ReplyCode::Ok : ReplyCode::ChecksumMismatch;
}

}  // namespace

Framing FramingOfType(std::string_view typeCode) {
    return typeCode == kTypeVeltrix ? Framing::Checksummed : Framing::Short;
}

std::string ChecksummedFrame(std::string_view text, bool withCR) {
    std::string frame;
    frame.reserve(text.size() + 4);
    frame.push_back(STX);
    frame += text;
    frame.push_back(ETX);
    frame.push_back(static_cast<char>(Checksum(frame)));
    if (withCR) frame.push_back(CR);
    return frame;
}

std::string ShortFrame(std::string_view text) {
    std::string frame(1, STX);
    frame += text;
    frame.push_back(CR);
    return frame;
}

void StripShortFrame(std::string& reply) {
    const std::size_t first = reply.find_first_not_of(STX);
    if (first == std::string::npos) {
        reply.clear();
        return;
    }
    reply.erase(0, first);
    reply.erase(reply.find_last_not_of(CR) + 1);
}

int ReadChecksummedReply(SerialDevice& device, std::string& strOut, BOOL bExpectCR) {
    strOut.clear();
    const int timeout = device.GetTimeout();
    const char terminator = device.GetTerminator();
    device.SetTerminator(ETX);

    std::string received;
    std::size_t stx = 0;
    std::size_t etx = 0;
    ReplyCode code = ReadToEtx(device, received, stx, etx);
    if (code == ReplyCode::Ok) {
        code =
            ReadTrailer(device, std::string_view(received).substr(stx, etx - stx + 1), bExpectCR);
    }
    if (code == ReplyCode::Ok) {
        strOut = received.substr(stx + 1, etx - stx - 1);
    } else {
        const std::size_t bytes = received.size();
        for (std::size_t group = 0; group < (bytes + 9) / 10; ++group)
            support::CurrentClock().Sleep(kSettleMs);
        device.SetLastErrorText(ReplyCodeMessage(code, "ReadKelvaString") + ", " +
                                std::to_string(bytes) + " bytes read");
    }
    device.SetTimeout(timeout);
    device.SetTerminator(terminator);
    return code == ReplyCode::Ok ? static_cast<int>(strOut.size()) : static_cast<int>(code);
}

BOOL WriteFrame(SerialDevice& device, Framing framing, std::string_view text) {
    if (framing == Framing::Checksummed) return device.WriteKelvaStringCR(std::string(text));
    return device.WriteString(ShortFrame(text));
}

int ReadFrame(SerialDevice& device, Framing framing, std::string& reply, bool* nothingRead) {
    if (framing == Framing::Checksummed) {
        const int result = device.ReadKelvaStringCR(reply);
        if (nothingRead != nullptr)
            *nothingRead = result == static_cast<int>(ReplyCode::NothingRead);
        return result;
    }
    const int count = device.ReadString(reply);
    if (nothingRead != nullptr) *nothingRead = count <= 0;
    if (count <= 0) return count;
    StripShortFrame(reply);
    return static_cast<int>(reply.size());
}

}  // namespace device
