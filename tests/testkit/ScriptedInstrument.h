#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/testkit/ScriptedDevice.h"

namespace testkit_test {

// The instrument at the far end of a scripted device, so that a test states only what differs
// from a well-behaved one. It answers the type query with its type code in the short frame,
// the ready poll with "S", the version queries with "V 3.10" and every other command with "+",
// unless its reply table says otherwise. It hears only frames of its own type's kind (the
// checksummed frame for "+VT") and answers in the frame the command came in. After an error
// reply to a poll, the next "H" is the host's acknowledgement, not a command. An accepted
// "DB CNF RCMODE " switches its type and the line it listens at.
//   testkit_test::ScriptedInstrument instrument(*device, "+MV");
//   instrument.Answer("DB CNF WRITE", "-");
//   instrument.Queue("?", {"ERR 17"});   // the next poll gets an error, then "S" again
class ScriptedInstrument {
public:
    // Keys of the reply table besides command texts.
    static constexpr std::string_view kTypeQueryKey = "!";
    static constexpr std::string_view kPollKey = "?";  // the ready poll in either framing
    // Replies in turn; std::nullopt leaves a send unanswered.
    using Replies = std::vector<std::optional<std::string>>;

    explicit ScriptedInstrument(std::string type = "+VT");
    // Attached to the device at once.
    ScriptedInstrument(ScriptedDevice& device, std::string type);

    // Answers the device's writes from now on.
    void Attach(ScriptedDevice& device);
    // Answers one write of the device (for a responder that also does something else).
    void Hear(ScriptedDevice& device, const std::string& written) { OnWrite(device, written); }

    // --- Reply table ---
    // The reply to every later send of the command; std::nullopt leaves it unanswered.
    void Answer(const std::string& command, std::optional<std::string> reply);
    // Replies to the next sends of the command, before the table's or the usual one. An empty
    // answer to the type query is no answer.
    void Queue(const std::string& command, Replies replies);
    // The answer to both version queries.
    void SetVersion(const std::string& version);
    // Reads that time out before each reply to the command comes.
    void SilenceBefore(const std::string& command, int reads);
    // Reads a script of "COMMAND=REPLY" (framed) and "COMMAND~BYTES" (sent as they are) lines.
    // Successive lines for one command answer successive sends; the last one keeps answering.
    void AddReplies(const std::string& lines);

    // --- Line filter ---
    // Listens only while the device is open on this port (std::nullopt: any port, open or
    // not) and only while its line is this one (std::nullopt: any line).
    void ListenOn(std::optional<int> port, std::optional<LineSettings> line);
    // The line an instrument of this type talks at out of the box: 9600 baud, 8N1; 7E2 for
    // "+OQ".
    static LineSettings LineOfType(std::string_view type);
    // Hears frames of the other kind too, and answers them in their frame.
    void HearEveryFraming() { m_everyFraming = true; }

    // --- What it heard ---
    const std::string& Type() const { return m_type; }
    // Command texts received, in order, without ready polls, type queries and the "H" that
    // acknowledges an error reply.
    const std::vector<std::string>& Commands() const { return m_commands; }
    int Count(const std::string& command) const;
    void ClearCommands() { m_commands.clear(); }
    int Polls() const { return m_polls; }
    int TypeQueries() const { return m_typeQueries; }
    // Commands that came without a ready poll answered "S" right before them.
    int UnpolledCommands() const { return m_unpolled; }
    // Every write that is neither the type query nor a well-formed frame.
    const std::vector<std::string>& MalformedWrites() const { return m_malformed; }

private:
    struct Reply {
        std::optional<std::string> text;  // std::nullopt: no answer
        bool raw = false;                 // the bytes go out without a frame
    };
    struct Script {
        std::deque<Reply> next;
        std::optional<Reply> always;
    };

    void OnWrite(ScriptedDevice& device, const std::string& written);
    bool Listening(ScriptedDevice& device) const;
    void AnswerTypeQuery(ScriptedDevice& device);
    void AnswerFrame(ScriptedDevice& device, const std::string& text, bool checksummed);
    // The reply the table gives for the key, or the usual one.
    Reply ReplyTo(const std::string& key, std::string usual);
    void Send(ScriptedDevice& device, const std::string& key, const Reply& reply,
              bool checksummed) const;
    void FollowModeChange(const std::string& command);

    std::string m_type;
    std::map<std::string, Script> m_replies;
    std::map<std::string, int> m_silencesBefore;
    std::optional<int> m_port;
    std::optional<LineSettings> m_line;
    bool m_everyFraming = false;

    std::vector<std::string> m_commands;
    std::vector<std::string> m_malformed;
    int m_polls = 0;
    int m_typeQueries = 0;
    int m_unpolled = 0;
    bool m_ready = false;         // the last poll was answered "S"
    bool m_errorPending = false;  // the last poll was answered with an error reply
};

}  // namespace testkit_test
