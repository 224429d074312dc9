#include "tests/wizard/FakeInstrument.h"

#include <algorithm>

#include "tests/testing/Wire.h"

namespace wizard_test {
namespace {

const std::string kTypeQuery("\x02!\r\0", 4);

}  // namespace

FakeInstrument::FakeInstrument(std::string modeCode) : code(std::move(modeCode)) {
    if (code == "+OQ") line = {9600, 'E', 7, 2};
    // An instrument in a plain state: a four-position slide, Normal mode, firmware 3.10.
    replies = {
        {"GW", "440-492-550-620-0-0"},
        {"I", "440 492 550 620"},
        {"FC 0", "+I"},
        {"DB FLT WR", "340-750"},
        {"RN", "8"},
        {"RM", "3 440"},
        {"SS M_MODE", "M_MODE 0"},
        {"RV0", "V 3.10"},
        {"V", "V 3.10"},
        {"DB PLT SET ?", "2 2 3 3"},
    };
}

void FakeInstrument::Attach(testing_test::ScriptedDevice& device) {
    device.SetResponder([this](testing_test::ScriptedDevice& d, const std::string& written) {
        OnWrite(d, written);
    });
}

int FakeInstrument::Count(const std::string& command) const {
    return static_cast<int>(std::count(m_commands.begin(), m_commands.end(), command));
}

bool FakeInstrument::Listening(testing_test::ScriptedDevice& device) const {
    if (!device.IsOpen() || device.GetPortNumber() != port || device.AppliedLines().empty()) {
        return false;
    }
    if (anyLine) return true;
    const testing_test::LineSettings& now = device.AppliedLines().back();
    return now ==
           testing_test::LineSettings{line.baudRate, line.parity, line.dataBits, line.stopBits};
}

void FakeInstrument::Answer(testing_test::ScriptedDevice& device, const std::string& text) const {
    device.Arrive(code == "+VT" ? testing_test::Frame(text) : testing_test::ShortFrame(text));
}

void FakeInstrument::OnWrite(testing_test::ScriptedDevice& device, const std::string& written) {
    if (!Listening(device)) return;
    if (written == kTypeQuery) {
        ++m_typeQueries;
        device.Arrive(testing_test::ShortFrame(typeAnswer.empty() ? code : typeAnswer));
        return;
    }
    // Only frames of its own kind reach it: STX text ETX checksum CR, or STX text CR.
    const bool framed = code == "+VT";
    const std::size_t overhead = framed ? 4 : 2;
    if (written.size() < overhead || written.front() != '\x02' || written.back() != '\r') return;
    if (framed && written[written.size() - 3] != '\x03') return;
    const std::string text = written.substr(1, written.size() - overhead);
    if (text == (framed ? "??" : "?")) {
        m_readyGiven = true;
        Answer(device, "S");
        return;
    }
    if (!m_readyGiven) ++m_unpolled;
    m_readyGiven = false;
    m_commands.push_back(text);
    if (std::find(silent.begin(), silent.end(), text) != silent.end()) return;
    if (const auto quiet = silencesBefore.find(text); quiet != silencesBefore.end()) {
        for (int i = 0; i < quiet->second; ++i)
            device.Arrive("");
    }
    const auto reply = replies.find(text);
    Answer(device, reply != replies.end() ? reply->second : "+");
}

}  // namespace wizard_test
