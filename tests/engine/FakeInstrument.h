#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/testing/ScriptedDevice.h"

namespace engine_test {

// Plays an instrument on a scripted device, so that a test states only what differs from a
// well-behaved one. It answers in the framing of its current type and stays silent on a frame
// of the other kind; the ready poll gets "S" (after any queued replies), the type query its
// type, the version queries its version and every other command "+" unless told otherwise.
// An accepted mode change switches its type and line; from then on it is silent while the
// host's line differs from its own.
class FakeInstrument {
public:
    FakeInstrument(testing_test::ScriptedDevice& device, std::string type);

    // The reply to a command, by its exact text; std::nullopt leaves it unanswered.
    void Answer(const std::string& command, std::optional<std::string> reply);
    // Replies to the next ready polls, before the instrument is ready again.
    void QueuePollReplies(std::vector<std::string> replies);
    // Answers to the next type queries; "" is silence. Afterwards the type itself answers.
    void QueueTypeAnswers(std::vector<std::string> answers);
    void SetVersion(std::string version) { m_version = std::move(version); }

    // The commands received, without framing; ready polls, "H" and type queries left out.
    const std::vector<std::string>& Commands() const { return m_commands; }
    const std::string& Type() const { return m_type; }
    int Polls() const { return m_polls; }
    int TypeQueries() const { return m_typeQueries; }

private:
    void OnWrite(testing_test::ScriptedDevice& device, const std::string& written);
    void Reply(testing_test::ScriptedDevice& device, const std::optional<std::string>& text) const;
    std::optional<std::string> ReplyTo(const std::string& command);
    void ChangeMode(const std::string& command);

    std::string m_type;
    std::string m_version = "V 3.10";
    std::optional<testing_test::LineSettings> m_line;
    std::map<std::string, std::optional<std::string>> m_answers;
    std::deque<std::string> m_pollReplies;
    std::deque<std::string> m_typeAnswers;
    std::vector<std::string> m_commands;
    int m_polls = 0;
    int m_typeQueries = 0;
};

}  // namespace engine_test
