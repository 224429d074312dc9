#include "tests/wizard/WizardHarness.h"

#include <map>

#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "resources/Resources.h"
#include "support/ValueString.h"
#include "tests/testkit/Wire.h"

namespace wizard_test {
namespace {

const std::map<std::string, std::string> kPlainState = {
    {"GW", "440-492-550-620-0-0"},
    {"I", "440 492 550 620"},
    {"FC 0", "+I"},
    {"DB FLT WR", "340-750"},
    {"RN", "8"},
    {"RM", "3 440"},
    {"SS M_MODE", "M_MODE 0"},
    {"DB PLT SET ?", "2 2 3 3"},
};

bool RegisterOnce() {
    resources::RegisterResources();
    return true;
}

}  // namespace

WizardHarness::WizardHarness(std::string code, int firstPage)
    : instrument(std::move(code)),
      m_registered(RegisterOnce()),
      sheet(IDS_SHEET_CAPTION, nullptr, firstPage, [this] { return MakeDevice(); }) {
    for (const auto& [command, reply] : kPlainState)
        instrument.Answer(command, reply);
    ListenAt(1, 9600);
}

WizardHarness::~WizardHarness() {
    // Every command of the steps goes through the ready poll first.
    EXPECT_EQ(instrument.UnpolledCommands(), 0);
}

std::unique_ptr<SerialDevice> WizardHarness::MakeDevice() {
    // The first device is the sheet's own; later ones are Find any's, one per port.
    if (device == nullptr) {
        auto scripted = std::make_unique<testkit_test::ScriptedDevice>(time.clock);
        device = scripted.get();
        instrument.Attach(*scripted);
        return scripted;
    }
    SearchLine& line = searchLines.emplace_back(instrument);
    auto scripted = std::make_unique<testkit_test::ScriptedDevice>(line.clock);
    scripted->SetResponder([&line](testkit_test::ScriptedDevice& d, const std::string& written) {
        if (written == testkit_test::kTypeQuery) {
            line.typeQueries.emplace_back(d.GetPortNumber(), d.AppliedLines().back());
        }
        line.instrument.Hear(d, written);
    });
    return scripted;
}

std::vector<std::pair<int, int>> WizardHarness::SearchAttempts() const {
    std::vector<std::pair<int, int>> attempts;
    for (const SearchLine& line : searchLines) {
        for (const auto& [port, settings] : line.typeQueries) {
            if (settings.dataBits == 8) attempts.emplace_back(port, settings.baudRate);
        }
    }
    return attempts;
}

void WizardHarness::Open(std::vector<std::string> ports) {
    device->SetPorts(std::move(ports));
    ASSERT_TRUE(w.Open());
}

bool WizardHarness::OpenAt(int step) {
    Open();
    while (w.ActiveIndex() < step) {
        const int before = w.ActiveIndex();
        w.Next();
        if (w.ActiveIndex() == before) return false;
    }
    return true;
}

void WizardHarness::ListenAt(int port, int baudRate) {
    testkit_test::LineSettings line =
        testkit_test::ScriptedInstrument::LineOfType(instrument.Type());
    line.baudRate = baudRate;
    instrument.ListenOn(port, line);
}

int WizardHarness::Number(int id) const {
    return ValueString(w.Text(id)).ToInt();
}

}  // namespace wizard_test
