#pragma once

#include <string>
#include <string_view>

#include "sim/State.h"

namespace sim {

// The stored state as a small JSON object, one field per line.
std::string StateToJson(const State& state);
// Fields missing from the text keep the values they have in `state`; unknown fields are
// ignored. False with a message on malformed JSON or a value out of range.
bool StateFromJson(std::string_view text, State& state, std::string& error);

enum class LoadResult { Loaded, Missing, Failed };
// A missing file leaves `state` as it is.
LoadResult LoadStateFile(const std::string& path, State& state, std::string& error);
// Replaces the file atomically (support::WriteFileAtomically): a crash never leaves half a file,
// and a failure leaves the old one.
bool SaveStateFile(const std::string& path, const State& state, std::string& error);

}  // namespace sim
