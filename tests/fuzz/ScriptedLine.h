#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fuzz_test {

// Chunk sizes an input can choose for the bytes it sends; 0 sends them as one chunk. At the
// end of each chunk the scripted line falls silent for a read that goes on.
std::size_t ChunkSize(unsigned selector);

// The bytes cut into chunks of `size` (0: one chunk); no bytes give no chunk.
std::vector<std::string> Chunks(const std::string& bytes, std::size_t size);

// The bytes a read took from the line: what was unread before, less what is unread after.
// Reads only ever take from the front, so `after` must be the end of `before`.
std::string Taken(const std::string& before, const std::string& after);

// The bytes of an error message's "..., N bytes read" ending; -1 when it has none.
long BytesReadIn(const std::string& message);

}  // namespace fuzz_test
