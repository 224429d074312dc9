// The simulator's trace reader and replay on arbitrary text. A text refused says which line is
// wrong; a trace read replays its own commands, sent whole or byte by byte, without a
// difference and with exactly the recorded answers; the text itself sent as the program's
// bytes never breaks the replay.

#include <cstdint>
#include <string>

#include "sim/Replay.h"
#include "sim/TraceFile.h"
#include "tests/fuzz/Check.h"

namespace {

void CheckOwnCommands(const sim::Trace& trace, bool byteByByte) {
    sim::Replay replay(trace);
    std::string answers;
    std::string recorded;
    for (const sim::TraceStep& step : trace.steps) {
        recorded += step.reply;
        if (byteByByte) {
            for (const char byte : step.command)
                answers += replay.Receive(std::string_view(&byte, 1), step.line, 0);
        } else {
            answers += replay.Receive(step.command, step.line, 0);
        }
    }
    replay.Finish();
    FUZZ_CHECK(replay.Differences().empty());
    FUZZ_CHECK(replay.Done());
    FUZZ_CHECK(answers == recorded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::Trace trace;
    std::string error;
    if (!sim::ParseTrace(text, trace, error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        return 0;
    }
    CheckOwnCommands(trace, false);
    CheckOwnCommands(trace, true);

    sim::Replay replay(trace);
    replay.Receive(text, std::nullopt, 0);
    replay.Tick(sim::Replay::kQuietMs);
    replay.Finish();
    FUZZ_CHECK(replay.Done());
    return 0;
}
