#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tests/testing/ScriptedDevice.h"

namespace fuzz_test {

// An instrument on the far end of a scripted device, played from a table of replies that a
// fuzz input supplies. It answers the type query with its type code, ready polls with "S" and
// every other command with "+", unless the table says otherwise. Replies go out in the frame
// the command came in; a reply marked raw goes out as its bytes alone. An accepted
// "DB CNF RCMODE " switches the type it reports.
class ScriptedInstrument {
public:
    explicit ScriptedInstrument(std::string typeCode) : m_type(std::move(typeCode)) {}

    // Reads "COMMAND=REPLY" (framed) and "COMMAND~BYTES" (raw) lines. Successive lines for one
    // command answer successive sends; the last one keeps answering. "!" is the type query,
    // "?" every ready poll.
    void AddReplies(const std::string& lines);
    void Attach(testing_test::ScriptedDevice& device);

    // Every write of the host that is neither a type query nor a well-formed frame.
    const std::vector<std::string>& MalformedWrites() const { return m_malformed; }

private:
    struct Reply {
        std::string bytes;
        bool raw = false;
    };

    void OnWrite(testing_test::ScriptedDevice& device, const std::string& written);
    void Answer(testing_test::ScriptedDevice& device, const std::string& command, bool checksummed,
                Reply fallback);

    std::string m_type;
    std::map<std::string, std::deque<Reply>> m_replies;
    std::vector<std::string> m_malformed;
};

}  // namespace fuzz_test
