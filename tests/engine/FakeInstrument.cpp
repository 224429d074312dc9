#include "tests/engine/FakeInstrument.h"

#include <sstream>

#include "tests/testing/Wire.h"

namespace engine_test {
namespace {

const std::string kTypeQuery("\x02!\r\0", 4);
const std::string kVeltrix = "+VT";

// Mode argument of "DB CNF RCMODE " to the type the instrument then answers.
std::string TypeOfMode(const std::string& mode) {
    if (mode == "0") return "+VT";
    if (mode == "1") return "+MV";
    if (mode == "2") return "+DL";
    if (mode == "4") return "+OQ";
    return {};
}

}  // namespace

FakeInstrument::FakeInstrument(testing_test::ScriptedDevice& device, std::string type)
    : m_type(std::move(type)) {
    device.SetResponder([this](testing_test::ScriptedDevice& d, const std::string& written) {
        OnWrite(d, written);
    });
}

void FakeInstrument::Answer(const std::string& command, std::optional<std::string> reply) {
    m_answers[command] = std::move(reply);
}

void FakeInstrument::QueuePollReplies(std::vector<std::string> replies) {
    m_pollReplies.insert(m_pollReplies.end(), replies.begin(), replies.end());
}

void FakeInstrument::QueueTypeAnswers(std::vector<std::string> answers) {
    m_typeAnswers.insert(m_typeAnswers.end(), answers.begin(), answers.end());
}

void FakeInstrument::Reply(testing_test::ScriptedDevice& device,
                           const std::optional<std::string>& text) const {
    if (!text) return;
    device.Arrive(m_type == kVeltrix ? testing_test::Frame(*text)
                                     : testing_test::ShortFrame(*text));
}

void FakeInstrument::OnWrite(testing_test::ScriptedDevice& device, const std::string& written) {
    if (m_line && (device.AppliedLines().empty() || device.AppliedLines().back() != *m_line)) {
        return;
    }
    if (written == kTypeQuery) {
        ++m_typeQueries;
        std::string answer = m_type;
        if (!m_typeAnswers.empty()) {
            answer = m_typeAnswers.front();
            m_typeAnswers.pop_front();
        }
        if (!answer.empty()) device.Arrive(testing_test::ShortFrame(answer));
        return;
    }
    const bool framed = written.size() >= 4 && written[written.size() - 3] == '\x03';
    if (framed != (m_type == kVeltrix)) return;
    const std::size_t trailer = framed ? 4 : 2;
    if (written.size() < trailer || written.front() != '\x02' || written.back() != '\r') return;
    const std::string text = written.substr(1, written.size() - trailer);
    if (text == "??" || text == "?") {
        ++m_polls;
        std::string reply = "S";
        if (!m_pollReplies.empty()) {
            reply = m_pollReplies.front();
            m_pollReplies.pop_front();
        }
        Reply(device, reply);
        return;
    }
    if (text == "H") {
        Reply(device, "+");
        return;
    }
    m_commands.push_back(text);
    const std::optional<std::string> reply = ReplyTo(text);
    Reply(device, reply);
    if (reply == "+" && text.starts_with("DB CNF RCMODE ")) ChangeMode(text);
}

std::optional<std::string> FakeInstrument::ReplyTo(const std::string& command) {
    const auto found = m_answers.find(command);
    if (found != m_answers.end()) return found->second;
    if (command == "V" || command == "RV0") return m_version;
    return "+";
}

// "DB CNF RCMODE 4 9600 E 7 2": the new type and line.
void FakeInstrument::ChangeMode(const std::string& command) {
    std::istringstream words(command.substr(std::string("DB CNF RCMODE ").size()));
    std::string mode;
    testing_test::LineSettings line;
    words >> mode >> line.baudRate >> line.parity >> line.dataBits >> line.stopBits;
    m_type = TypeOfMode(mode);
    m_line = line;
}

}  // namespace engine_test
