// The framed reply reader on the scripted device: arbitrary bytes arrive in chunks and are read
// reply after reply until the line is empty. Every result is checked against the bytes the
// read took from the line.
//
// Input: flags (bit 0: CR expected; bits 1-3: chunk size), the terminator and the time-out (in
// 10 ms) in force before each read, then the bytes that arrive.

#include <cstdint>
#include <string>

#include "device/SerialDevice.h"
#include "support/Clock.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/ScriptedLine.h"
#include "tests/testkit/ScriptedDevice.h"

namespace {

constexpr char kUntouched[] = "untouched";
constexpr int kSettleMs = 100;

unsigned char XorOf(const std::string& bytes, std::size_t first, std::size_t last) {
    unsigned char sum = 0;
    for (std::size_t i = first; i <= last; ++i)
        sum ^= static_cast<unsigned char>(bytes[i]);
    return sum;
}

// A reply read whole: the text lies between the first STX and the first ETX of what was
// taken, and the checksum (and CR) follow the ETX and end the read.
void CheckSuccess(int result, const std::string& text, const std::string& taken, bool expectCR,
                  const std::string& lastError) {
    FUZZ_CHECK(result == static_cast<int>(text.size()));
    FUZZ_CHECK(lastError == kUntouched);
    const std::size_t stx = taken.find(STX);
    const std::size_t etx = taken.find(ETX);
    FUZZ_CHECK(stx != std::string::npos && etx != std::string::npos && stx < etx);
    FUZZ_CHECK(text == taken.substr(stx + 1, etx - stx - 1));
    FUZZ_CHECK(taken.size() == etx + (expectCR ? 3 : 2));
    FUZZ_CHECK(XorOf(taken, stx, etx) == static_cast<unsigned char>(taken[etx + 1]));
    if (expectCR) FUZZ_CHECK(taken.back() == CR);
}

// A failed read: its code, the message, the pauses and the bytes counted fit what was taken.
void CheckFailure(int result, const std::string& text, const std::string& taken, bool expectCR,
                  const std::string& lastError, const std::vector<int>& pauses) {
    FUZZ_CHECK(result >= -6 && result <= -1);
    FUZZ_CHECK(text.empty());
    FUZZ_CHECK(lastError.starts_with("ERR: " + std::to_string(result) + " ReadKelvaString - "));
    const long counted = fuzz_test::BytesReadIn(lastError);
    FUZZ_CHECK(counted >= 0 && static_cast<std::size_t>(counted) <= taken.size());
    const auto n = static_cast<std::size_t>(counted);
    FUZZ_CHECK(pauses.size() == (n + 9) / 10);
    for (const int pause : pauses)
        FUZZ_CHECK(pause == kSettleMs);

    const std::string received = taken.substr(0, n);
    const std::size_t stx = received.find(STX);
    const std::size_t etx = received.find(ETX);
    switch (result) {
        case -1:
            FUZZ_CHECK(taken.empty());
            break;
        case -2:
            FUZZ_CHECK(n == taken.size() && stx == std::string::npos);
            break;
        case -3:
            FUZZ_CHECK(n == taken.size() && stx != std::string::npos);
            FUZZ_CHECK(etx == std::string::npos);
            break;
        default:
            // The whole frame up to its ETX was counted; what follows is the trailer.
            FUZZ_CHECK(stx != std::string::npos && etx == n - 1 && stx < etx);
            if (result == -4) FUZZ_CHECK(taken.size() == n);
            if (result == -5) {
                FUZZ_CHECK(expectCR && taken.size() > n);
                FUZZ_CHECK(taken.size() == n + 1 || taken.back() != CR);
            }
            if (result == -6) {
                FUZZ_CHECK(taken.size() == n + (expectCR ? 2 : 1));
                FUZZ_CHECK(XorOf(taken, stx, etx) != static_cast<unsigned char>(taken[n]));
            }
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_test::ByteReader input(data, size);
    const unsigned flags = input.Byte();
    const bool expectCR = (flags & 1) != 0;
    const std::size_t chunkSize = fuzz_test::ChunkSize(flags >> 1);
    const auto terminator = static_cast<char>(input.Byte());
    const int timeout = input.Byte() * 10;
    const std::string bytes = input.Rest();
    const std::vector<std::string> chunks = fuzz_test::Chunks(bytes, chunkSize);

    support::VirtualClock clock;
    support::ScopedClock useClock(clock);
    testkit_test::ScriptedDevice device(clock);
    for (const std::string& chunk : chunks)
        device.Arrive(chunk);
    device.SetTimeout(timeout);
    device.SetTerminator(terminator);

    // Each read takes a byte or the silence at the end of a chunk, so this many reads empty
    // the line.
    const std::size_t maxReads = bytes.size() + chunks.size() + 1;
    for (std::size_t reads = 0; reads < maxReads && !device.Unread().empty(); ++reads) {
        const std::string before = device.Unread();
        clock.ClearPauses();
        device.SetLastErrorText(kUntouched);

        std::string text = "stale";
        const int result = device.ReadKelvaString(text, expectCR ? TRUE : FALSE);

        FUZZ_CHECK(device.GetTimeout() == timeout);
        FUZZ_CHECK(device.GetTerminator() == terminator);
        const std::string taken = fuzz_test::Taken(before, device.Unread());
        const std::string lastError = device.GetLastErrorText();
        if (result >= 0) {
            CheckSuccess(result, text, taken, expectCR, lastError);
            FUZZ_CHECK(clock.Pauses().empty());
        } else {
            CheckFailure(result, text, taken, expectCR, lastError, clock.Pauses());
        }
    }
    FUZZ_CHECK(device.Unread().empty());
    return 0;
}
