// The identification queries on the scripted device: stale bytes wait on the line, the query
// is written (or the write fails), and arbitrary bytes answer in chunks. The answer, the error
// text, the pause and the device settings are checked against the bytes the query took.
//
// Input: flags (bits 0-2: chunk size; bit 3: the write fails; bit 4: ask for the washer type),
// the terminator and the time-out (in 10 ms) in force, the number of stale bytes (0-15), the
// stale bytes, then the answer's bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "device/SerialDevice.h"
#include "support/Clock.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/ScriptedLine.h"
#include "tests/testkit/ScriptedDevice.h"

namespace {

constexpr char kUntouched[] = "untouched";
constexpr int kSettleMs = 100;

struct Query {
    std::string bytes;
    std::string operation;
    std::string writeError;
};

const Query kInstrumentType{std::string("\x02!\r\0", 4), "AskForInstrumentType",
                            "could not write Stx!CR"};
const Query kWasherType{std::string("\x02"
                                    "BR\r\0",
                                    5),
                        "AskForWasherType", "could not write StxBRCR"};

std::string ErrorText(const Query& query, int code, const std::string& reason) {
    return "ERR: " + std::to_string(code) + " " + query.operation + " - " + reason;
}

// The answer is what stands between the first STX and the first CR of what the read took;
// the read ends at the first CR.
void CheckAnswer(const Query& query, const std::string& answer, const std::string& taken,
                 const std::string& lastError) {
    const std::size_t stx = taken.find(STX);
    const std::size_t cr = taken.find(CR);
    FUZZ_CHECK(cr == std::string::npos || cr == taken.size() - 1);
    if (taken.empty()) {
        FUZZ_CHECK(answer.empty() && lastError == ErrorText(query, -1, "nothing read"));
    } else if (stx == std::string::npos) {
        FUZZ_CHECK(answer.empty() &&
                   lastError == ErrorText(query, -2, "string read but Stx not found"));
    } else if (cr == std::string::npos) {
        FUZZ_CHECK(answer.empty() &&
                   lastError == ErrorText(query, -5, "string read but <CR> not found"));
    } else {
        FUZZ_CHECK(lastError == kUntouched);
        FUZZ_CHECK(answer == taken.substr(stx + 1, cr - stx - 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_test::ByteReader input(data, size);
    const unsigned flags = input.Byte();
    const std::size_t chunkSize = fuzz_test::ChunkSize(flags);
    const bool writeFails = (flags & 0x08) != 0;
    const Query& query = (flags & 0x10) != 0 ? kWasherType : kInstrumentType;
    const auto terminator = static_cast<char>(input.Byte());
    const int timeout = input.Byte() * 10;
    const std::string stale = input.Bytes(input.Byte() % 16);
    const std::string answer = input.Rest();

    support::VirtualClock clock;
    support::ScopedClock useClock(clock);
    testkit_test::ScriptedDevice device(clock);
    device.SetTimeout(timeout);
    device.SetTerminator(terminator);
    device.Arrive(stale);
    device.ReplyAfterWrite(fuzz_test::Chunks(answer, chunkSize));
    device.SetWritesFail(writeFails);
    device.SetLastErrorText(kUntouched);
    const std::size_t timeoutChanges = device.TimeoutChanges().size();
    const std::size_t terminatorChanges = device.TerminatorChanges().size();

    const std::string result =
        &query == &kWasherType ? device.AskForWasherType() : device.AskForInstrumentType();

    // The time-out is the caller's; the terminator is back to what it was.
    FUZZ_CHECK(device.TimeoutChanges().size() == timeoutChanges);
    FUZZ_CHECK(device.GetTerminator() == terminator);
    FUZZ_CHECK(device.PurgeCount() == 1);
    const std::string lastError = device.GetLastErrorText();
    if (writeFails) {
        FUZZ_CHECK(result.empty());
        FUZZ_CHECK(lastError == ErrorText(query, -7, query.writeError));
        FUZZ_CHECK(clock.Pauses().empty());
        FUZZ_CHECK(device.TerminatorChanges().size() == terminatorChanges);
        FUZZ_CHECK(device.Writes().empty() && device.Unread().empty());
        return 0;
    }
    FUZZ_CHECK(device.Writes() == std::vector<std::string>{query.bytes});
    FUZZ_CHECK(clock.Pauses() == std::vector<int>{kSettleMs});
    // The stale bytes were dropped before the query went out: the read took from the answer.
    CheckAnswer(query, result, fuzz_test::Taken(answer, device.Unread()), lastError);
    return 0;
}
