#include "tests/testkit/ScriptedInstrument.h"

#include <algorithm>
#include <sstream>

#include "tests/testkit/Wire.h"

namespace testkit_test {
namespace {

const std::string kModeChange = "DB CNF RCMODE ";

// The mode argument of a mode change to the type the instrument then reports; "" for none.
std::string TypeOfMode(const std::string& mode) {
    static const std::map<std::string, std::string> kTypes = {
        {"0", "+VT"}, {"1", "+MV"}, {"2", "+DL"}, {"4", "+OQ"}};
    const auto found = kTypes.find(mode);
    return found == kTypes.end() ? std::string() : found->second;
}

}  // namespace

ScriptedInstrument::ScriptedInstrument(std::string type) : m_type(std::move(type)) {}

ScriptedInstrument::ScriptedInstrument(ScriptedDevice& device, std::string type)
    : ScriptedInstrument(std::move(type)) {
    Attach(device);
}

void ScriptedInstrument::Attach(ScriptedDevice& device) {
    device.SetResponder(
        [this](ScriptedDevice& d, const std::string& written) { OnWrite(d, written); });
}

void ScriptedInstrument::Answer(const std::string& command, std::optional<std::string> reply) {
    m_replies[command].always = Reply{std::move(reply)};
}

void ScriptedInstrument::Queue(const std::string& command, Replies replies) {
    for (std::optional<std::string>& reply : replies)
        m_replies[command].next.push_back(Reply{std::move(reply)});
}

void ScriptedInstrument::SetVersion(const std::string& version) {
    Answer("V", version);
    Answer("RV0", version);
}

void ScriptedInstrument::SilenceBefore(const std::string& command, int reads) {
    m_silencesBefore[command] = reads;
}

void ScriptedInstrument::AddReplies(const std::string& lines) {
    std::map<std::string, std::vector<Reply>> script;
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t mark = line.find_first_of("=~");
        if (mark == std::string::npos) continue;
        script[line.substr(0, mark)].push_back(Reply{line.substr(mark + 1), line[mark] == '~'});
    }
    for (auto& [command, replies] : script) {
        Script& entry = m_replies[command];
        entry.always = replies.back();
        replies.pop_back();
        entry.next.insert(entry.next.end(), replies.begin(), replies.end());
    }
}

void ScriptedInstrument::ListenOn(std::optional<int> port, std::optional<LineSettings> line) {
    m_port = port;
    m_line = line;
}

LineSettings ScriptedInstrument::LineOfType(std::string_view type) {
    return type == "+OQ" ? LineSettings{9600, 'E', 7, 2} : LineSettings{9600, 'N', 8, 1};
}

int ScriptedInstrument::Count(const std::string& command) const {
    return static_cast<int>(std::count(m_commands.begin(), m_commands.end(), command));
}

bool ScriptedInstrument::Listening(ScriptedDevice& device) const {
    if (m_port && (!device.IsOpen() || device.GetPortNumber() != *m_port)) return false;
    if (m_line && (device.AppliedLines().empty() || device.AppliedLines().back() != *m_line)) {
        return false;
    }
    return true;
}

ScriptedInstrument::Reply ScriptedInstrument::ReplyTo(const std::string& key, std::string usual) {
    const auto found = m_replies.find(key);
    if (found == m_replies.end()) return Reply{std::move(usual)};
    Script& script = found->second;
    if (!script.next.empty()) {
        Reply reply = std::move(script.next.front());
        script.next.pop_front();
        return reply;
    }
    return script.always.value_or(Reply{std::move(usual)});
}

void ScriptedInstrument::Send(ScriptedDevice& device, const std::string& key, const Reply& reply,
                              bool checksummed) const {
    if (!reply.text) return;
    if (const auto quiet = m_silencesBefore.find(key); quiet != m_silencesBefore.end()) {
        for (int i = 0; i < quiet->second; ++i)
            device.Arrive("");
    }
    if (reply.raw) {
        device.Arrive(*reply.text);
    } else {
        device.Arrive(checksummed ? Frame(*reply.text) : ShortFrame(*reply.text));
    }
}

void ScriptedInstrument::OnWrite(ScriptedDevice& device, const std::string& written) {
    if (!Listening(device)) return;
    if (written == kTypeQuery) {
        AnswerTypeQuery(device);
        return;
    }
    const std::optional<Unframed> frame = Unframe(written);
    if (!frame) {
        m_malformed.push_back(written);
        return;
    }
    if (!m_everyFraming && frame->checksummed != (m_type == "+VT")) return;
    AnswerFrame(device, frame->text, frame->checksummed);
}

// An empty type code is no answer at all.
void ScriptedInstrument::AnswerTypeQuery(ScriptedDevice& device) {
    ++m_typeQueries;
    const std::string key(kTypeQueryKey);
    Reply reply = ReplyTo(key, m_type);
    if (reply.text && reply.text->empty() && !reply.raw) reply.text.reset();
    Send(device, key, reply, false);
}

void ScriptedInstrument::AnswerFrame(ScriptedDevice& device, const std::string& text,
                                     bool checksummed) {
    if (text == (checksummed ? "??" : "?")) {
        ++m_polls;
        const std::string key(kPollKey);
        const Reply reply = ReplyTo(key, "S");
        m_ready = !reply.raw && reply.text == "S";
        m_errorPending = !reply.raw && reply.text && reply.text->starts_with("ERR");
        Send(device, key, reply, checksummed);
        return;
    }
    if (text == "H" && m_errorPending) {
        m_errorPending = false;
        Send(device, text, ReplyTo(text, "+"), checksummed);
        return;
    }
    if (!m_ready) ++m_unpolled;
    m_ready = false;
    m_errorPending = false;
    m_commands.push_back(text);
    const Reply reply = ReplyTo(text, text == "V" || text == "RV0" ? "V 3.10" : "+");
    Send(device, text, reply, checksummed);
    if (!reply.raw && reply.text == "+" && text.starts_with(kModeChange)) FollowModeChange(text);
}

// "DB CNF RCMODE 4 9600 E 7 2": from now on the instrument is an OXQ talking at 9600 baud, 7E2.
void ScriptedInstrument::FollowModeChange(const std::string& command) {
    std::istringstream words(command.substr(kModeChange.size()));
    std::string mode;
    LineSettings line;
    words >> mode >> line.baudRate >> line.parity >> line.dataBits >> line.stopBits;
    const std::string type = TypeOfMode(mode);
    if (type.empty() || !words) return;
    m_type = type;
    m_line = line;
}

}  // namespace testkit_test
