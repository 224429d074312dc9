// The simulator's command line on arbitrary arguments (the input split at zero bytes). A
// command line is either refused with a reason or accepted, and then every setting it holds
// leaves a default instrument valid on its own.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Options.h"
#include "sim/State.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The arguments after the program's name, each ended by a zero byte or by the input's end.
    std::vector<std::string> args;
    std::string arg;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(std::move(arg));
            arg.clear();
        } else {
            arg += static_cast<char>(data[i]);
        }
    }
    if (size > 0 && data[size - 1] != 0) args.push_back(std::move(arg));

    sim::ProgramOptions options;
    std::string error;
    const bool ok = sim::ParseOptions(args, options, error);
    FUZZ_CHECK(ok == error.empty());
    if (!ok) return 0;
    sim::State combined;
    for (const auto& setting : options.settings) {
        sim::State alone;
        setting(alone);
        FUZZ_CHECK(sim::Validate(alone).empty());
        setting(combined);
    }
    return 0;
}
