#include "tests/fuzz/ScriptedInstrument.h"

#include <sstream>

#include "device/InstrumentType.h"
#include "device/SerialDevice.h"

namespace fuzz_test {
namespace {

const std::string kTypeQuery("\x02!\r\0", 4);
const std::string kModeChange = "DB CNF RCMODE ";

std::string Checksummed(const std::string& text) {
    std::string frame = STX + text + ETX;
    unsigned char sum = 0;
    for (const char c : frame)
        sum ^= static_cast<unsigned char>(c);
    return frame + static_cast<char>(sum) + CR;
}

bool IsControl(char c) {
    return c == STX || c == ETX || c == CR;
}

// The command text of STX text ETX checksum CR or STX text CR; false for anything else.
bool Unframe(const std::string& written, std::string& text, bool& checksummed) {
    if (written.size() < 2 || written.front() != STX || written.back() != CR) return false;
    checksummed = written.size() >= 4 && written[written.size() - 3] == ETX;
    text = written.substr(1, written.size() - (checksummed ? 4 : 2));
    for (const char c : text) {
        if (IsControl(c)) return false;
    }
    return !checksummed || Checksummed(text) == written;
}

// The mode argument of a mode change: 0, 1, 2 or 4 (the fourth type).
std::string TypeOfModeChange(const std::string& command) {
    const char mode = command.size() > kModeChange.size() ? command[kModeChange.size()] : ' ';
    return device::InstrumentTypeCode(mode == '4' ? 3 : mode - '0');
}

}  // namespace

void ScriptedInstrument::AddReplies(const std::string& lines) {
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t mark = line.find_first_of("=~");
        if (mark == std::string::npos) continue;
        m_replies[line.substr(0, mark)].push_back({line.substr(mark + 1), line[mark] == '~'});
    }
}

void ScriptedInstrument::Attach(testing_test::ScriptedDevice& device) {
    device.SetResponder([this](testing_test::ScriptedDevice& d, const std::string& written) {
        OnWrite(d, written);
    });
}

void ScriptedInstrument::Answer(testing_test::ScriptedDevice& device, const std::string& command,
                                bool checksummed, Reply fallback) {
    auto found = m_replies.find(command);
    Reply reply = std::move(fallback);
    if (found != m_replies.end()) {
        reply = found->second.front();
        if (found->second.size() > 1) found->second.pop_front();
    }
    if (reply.raw) {
        device.Arrive(reply.bytes);
    } else {
        device.Arrive(checksummed ? Checksummed(reply.bytes) : STX + reply.bytes + CR);
    }
    if (command.starts_with(kModeChange) && !reply.raw && reply.bytes == "+") {
        const std::string type = TypeOfModeChange(command);
        if (!type.empty()) m_type = type;
    }
}

void ScriptedInstrument::OnWrite(testing_test::ScriptedDevice& device, const std::string& written) {
    if (written == kTypeQuery) {
        Answer(device, "!", false, {m_type});
        return;
    }
    std::string text;
    bool checksummed = false;
    if (!Unframe(written, text, checksummed)) {
        m_malformed.push_back(written);
        return;
    }
    const bool poll = text == (checksummed ? "??" : "?");
    Answer(device, poll ? "?" : text, checksummed, {poll ? "S" : "+"});
}

}  // namespace fuzz_test
