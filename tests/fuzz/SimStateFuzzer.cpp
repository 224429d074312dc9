// The simulator's state file on arbitrary text. A text refused as JSON says why and leaves the
// object as it was; any bytes, as a text of the code page, survive a JSON log line; a state
// read from the text is valid and survives its own round trip; a text refused leaves the state
// as it was and says why.

#include <cstdint>
#include <string>

#include "sim/Json.h"
#include "sim/Log.h"
#include "sim/State.h"
#include "sim/StateFile.h"
#include "tests/fuzz/Check.h"

namespace {

void CheckJson(std::string_view text) {
    const sim::json::Json before{{"kept", 1}};
    sim::json::Json object = before;
    std::string error;
    if (!sim::json::ParseObject(text, object, error)) {
        FUZZ_CHECK(!error.empty() && object == before);
        return;
    }
    FUZZ_CHECK(object.is_object());
}

void CheckLogLine(std::string_view bytes) {
    const sim::LogEntry entry{1, sim::Direction::Received, std::string(bytes), std::string(bytes)};
    sim::json::Json line;
    std::string error;
    FUZZ_CHECK(sim::json::ParseObject(sim::JsonLine(entry), line, error));
    std::string text;
    FUZZ_CHECK(sim::json::ToBytes(line["text"], text) && text == bytes);
    FUZZ_CHECK(bytes.empty() || (sim::json::ToBytes(line["note"], text) && text == bytes));
}

void CheckState(std::string_view text) {
    const sim::State before;
    sim::State state = before;
    std::string error;
    if (!sim::StateFromJson(text, state, error)) {
        FUZZ_CHECK(!error.empty() && state == before);
        return;
    }
    FUZZ_CHECK(sim::Validate(state).empty());
    sim::State reread;
    FUZZ_CHECK(sim::StateFromJson(sim::StateToJson(state), reread, error));
    FUZZ_CHECK(reread == state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckJson(text);
    CheckLogLine(text);
    CheckState(text);
    return 0;
}
