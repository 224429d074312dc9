#include "tests/fuzz/ScriptedLine.h"

#include <array>
#include <cstdlib>

#include "tests/fuzz/Check.h"

namespace fuzz_test {

std::size_t ChunkSize(unsigned selector) {
    static constexpr std::array<std::size_t, 8> kSizes = {0, 1, 2, 3, 4, 5, 8, 16};
    return kSizes[selector % kSizes.size()];
}

std::vector<std::string> Chunks(const std::string& bytes, std::size_t size) {
    if (bytes.empty()) return {};
    if (size == 0) return {bytes};
    std::vector<std::string> chunks;
    for (std::size_t pos = 0; pos < bytes.size(); pos += size)
        chunks.push_back(bytes.substr(pos, size));
    return chunks;
}

std::string Taken(const std::string& before, const std::string& after) {
    FUZZ_CHECK(after.size() <= before.size());
    FUZZ_CHECK(before.compare(before.size() - after.size(), after.size(), after) == 0);
    return before.substr(0, before.size() - after.size());
}

long BytesReadIn(const std::string& message) {
    static const std::string kEnding = " bytes read";
    if (!message.ends_with(kEnding)) return -1;
    const std::string head = message.substr(0, message.size() - kEnding.size());
    const std::size_t digits = head.find_last_not_of("0123456789") + 1;
    if (digits == head.size()) return -1;
    return std::strtol(head.c_str() + digits, nullptr, 10);
}

}  // namespace fuzz_test
