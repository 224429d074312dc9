#pragma once

// The part of start-up that every platform shares: the wizard made as the application's main
// window, its line watched (the trace, and the busy text of the window), run modally, and
// destroyed with its pages, device and port.
//   app::RunWizard(theApp, {.trace = trace, .showBusy = [&](const std::string& t) { ... }});

#include <functional>
#include <string>

class CVeltrixInstrumentSettingsDlg;

namespace device {
class LineTrace;
}

namespace framework {
class Application;
}

namespace app {

struct WizardRun {
    // Where the serial line is traced; none when null.
    device::LineTrace* trace = nullptr;
    // Shows what the program waits for on the line, in the window.
    std::function<void(const std::string&)> showBusy;
    // Called with the sheet once it exists, before its modal run (tests and the benchmark).
    std::function<void(CVeltrixInstrumentSettingsDlg&)> beforeRun;
    // Called after the modal run, while the sheet still exists (an automation client may
    // still hold it).
    std::function<void(CVeltrixInstrumentSettingsDlg&)> afterRun;
};

void RunWizard(framework::Application& application, const WizardRun& run);

}  // namespace app
