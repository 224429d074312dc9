#include "tests/wizard/WizardHarness.h"

#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "resources/Resources.h"
#include "support/ValueString.h"

namespace wizard_test {
namespace {

bool RegisterOnce() {
    resources::RegisterResources();
    return true;
}

}  // namespace

WizardHarness::WizardHarness(std::string code, int firstPage)
    : instrument(std::move(code)),
      m_registered(RegisterOnce()),
      sheet(IDS_SHEET_CAPTION, nullptr, firstPage, [this] {
          auto scripted = std::make_unique<testing_test::ScriptedDevice>(time.clock);
          device = scripted.get();
          instrument.Attach(*scripted);
          return scripted;
      }) {}

WizardHarness::~WizardHarness() {
    // Every command of the steps goes through the ready poll first.
    EXPECT_EQ(instrument.UnpolledCommands(), 0);
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

int WizardHarness::Number(int id) const {
    return ValueString(w.Text(id)).ToInt();
}

}  // namespace wizard_test
