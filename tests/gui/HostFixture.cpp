#include "tests/gui/HostFixture.h"

#include <stdexcept>

namespace gui_test {

HostFixture::HostFixture() {
    RegisterTestTemplates();
    sheet.Create();
    if (framework::qt::WizardWindow* w = host.WindowOf(sheet)) w->Present();
    ProcessEvents();
}

HostFixture::~HostFixture() {
    sheet.DestroyWindow();
}

framework::qt::WizardWindow& HostFixture::Window() {
    framework::qt::WizardWindow* w = host.WindowOf(sheet);
    // gtest reports an exception as this test's failure and goes on with the next test.
    if (w == nullptr) throw std::runtime_error("the sheet has no window");
    return *w;
}

}  // namespace gui_test
