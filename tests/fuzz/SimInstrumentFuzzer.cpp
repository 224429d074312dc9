// The simulated instrument on arbitrary host bytes: fault specifications are parsed and
// injected, then the bytes arrive in pieces and every exchange is checked. Whatever the host
// sends, the instrument's state stays valid, frames stay bounded and each answer goes out in a
// frame of its own.
//
// Input: flags (bits 0-1: the instrument's mode; bits 2-4: piece size), the number of fault
// lines (0-3), the fault lines (each ending in a line feed), then the host's bytes.

#include <cstdint>
#include <string>

#include "sim/CommandSet.h"
#include "sim/Faults.h"
#include "sim/Frame.h"
#include "sim/Instrument.h"
#include "sim/State.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/ScriptedLine.h"

namespace {

constexpr int kMaxDelayMs = 60000;

// A fault is either refused with a reason or accepted with sane numbers.
bool ParseChecked(const std::string& spec, sim::Fault& fault) {
    std::string error;
    const bool ok = sim::ParseFault(spec, fault, error);
    FUZZ_CHECK(ok == error.empty());
    if (ok) {
        FUZZ_CHECK(fault.times == -1 || fault.times >= 1);
        FUZZ_CHECK(fault.delayMs >= 0 && fault.delayMs <= kMaxDelayMs);
    }
    return ok;
}

void CheckExchange(const sim::Exchange& exchange, bool faultFree) {
    FUZZ_CHECK(exchange.command.size() <= sim::FrameReader::kMaxText);
    FUZZ_CHECK(exchange.delayMs >= 0 && exchange.paceBaud >= 0);
    // A wrong checksum is not executed and gets the error reply in a frame of its own.
    if (exchange.outcome == sim::Outcome::BadChecksum) {
        FUZZ_CHECK(exchange.reply == sim::kChecksumErrorReply &&
                   exchange.wire == sim::ChecksummedFrame(exchange.reply));
        return;
    }
    if (exchange.outcome != sim::Outcome::Answered) {
        FUZZ_CHECK(exchange.wire.empty() && exchange.reply.empty());
        return;
    }
    const std::string& wire = exchange.wire;
    if (faultFree) {
        FUZZ_CHECK(wire == sim::ChecksummedFrame(exchange.reply) ||
                   wire == sim::ShortFrame(exchange.reply));
    } else {
        FUZZ_CHECK(wire.find(sim::kStx + exchange.reply) != std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_test::ByteReader input(data, size);
    const unsigned flags = input.Byte();
    sim::State state;
    state.mode = static_cast<int>(flags % sim::kModeCount);
    const std::size_t pieceSize = fuzz_test::ChunkSize(flags >> 2);
    sim::Instrument instrument(state);

    const unsigned faultLines = input.Byte() % 4;
    std::size_t faults = 0;
    for (unsigned i = 0; i < faultLines; ++i) {
        sim::Fault fault;
        if (ParseChecked(input.Until('\n'), fault)) {
            instrument.Faults().Add(fault);
            ++faults;
        }
    }

    for (const std::string& piece : fuzz_test::Chunks(input.Rest(), pieceSize)) {
        for (const sim::Exchange& exchange : instrument.Receive(piece))
            CheckExchange(exchange, faults == 0);
        FUZZ_CHECK(sim::Validate(instrument.Current()).empty());
        FUZZ_CHECK(sim::Validate(instrument.Stored()).empty());
        FUZZ_CHECK(instrument.Faults().All().size() <= faults);
    }
    return 0;
}
