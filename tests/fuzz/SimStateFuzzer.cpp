// The simulator's state file on arbitrary text. A text read as JSON, written back and read
// again gives the same object; a state read from it is valid and survives its own round trip;
// a text refused leaves the state as it was and says why.

#include <cstdint>
#include <string>
#include <variant>

#include "sim/Json.h"
#include "sim/State.h"
#include "sim/StateFile.h"
#include "tests/fuzz/Check.h"

namespace {

std::string ValueText(const sim::json::Value& value) {
    if (const auto* number = std::get_if<long long>(&value)) return std::to_string(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return sim::json::Quote(*text);
    std::string list = "[";
    for (const long long n : std::get<std::vector<long long>>(value))
        list += (list.size() > 1 ? "," : "") + std::to_string(n);
    return list + "]";
}

std::string ObjectText(const sim::json::Object& object) {
    std::string text = "{";
    for (const auto& [key, value] : object)
        text += (text.size() > 1 ? ", " : "") + sim::json::Quote(key) + ": " + ValueText(value);
    return text + "}";
}

void CheckJson(std::string_view text) {
    sim::json::Object object;
    std::string error;
    if (!sim::json::ParseObject(text, object, error)) {
        FUZZ_CHECK(!error.empty() && object.empty());
        return;
    }
    sim::json::Object again;
    FUZZ_CHECK(sim::json::ParseObject(ObjectText(object), again, error));
    FUZZ_CHECK(again == object);
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
    CheckState(text);
    return 0;
}
