#include "app/Program.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/InstrumentSettingsApp.h"
#include "app/Options.h"
#include "app/windows/AddedPorts.h"
#include "app/windows/ProgramText.h"
#include "device/LineTrace.h"
#include "device/PortSource.h"
#include "framework/Host.h"
#include "framework/ProcessName.h"
#include "framework/Resources.h"
#include "framework/win32/Win32Host.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

#include "framework/win32/Win32Api.h"

// After Win32Api.h, which keeps the framework's names clear of <windows.h>.
#include <commctrl.h>

#include "app/windows/SimulatedSerialOs.h"

namespace app {

int RunProgram(InstrumentSettingsApp& application, int argc, char** argv) {
    const std::string program = framework::ProcessName();
    const ParsedOptions parsed =
        ParseOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (!parsed.error.empty()) {
        ShowProgramText(program, program + ": " + parsed.error + "\n", true);
        return 2;
    }
    const Options& options = parsed.options;
    resources::RegisterResources();
    if (options.help) {
        ShowProgramText(program, UsageText(program), false);
        return 0;
    }
    if (options.version) {
        ShowProgramText(program, framework::LoadString(IDS_SHEET_CAPTION) + "\n", false);
        return 0;
    }

    // The system's dialog controls in the look of the desktop (the manifest asks for it).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The ports named on the command line, and the simulator behind a COM number of its own
    // when asked for: Windows has no pseudo-terminal to put it on.
    std::vector<device::PortValue> added;
    for (const std::string& port : options.ports)
        added.push_back({port, port});
    std::optional<SimulatedSerialOs> simulator;
    std::optional<device::ScopedSerialOs> useSimulator;
    if (options.simulate) {
        const int number = AddedPorts::FreeComNumber(device::SystemPortSource());
        if (number == 0) {
            ShowProgramText(program, program + ": cannot read the system's list of ports\n", true);
            return 1;
        }
        simulator.emplace(number, device::RealSerialOs());
        useSimulator.emplace(*simulator);
        added.push_back({SimulatedSerialOs::kName, "COM" + std::to_string(number)});
    }
    AddedPorts ports(std::move(added), device::SystemPortSource());
    device::ScopedPortSource usePorts(ports);

    framework::win32::Win32Host host;
    framework::ScopedHost useHost(host);

    device::LineTrace trace;
    if (!options.traceFile.empty()) {
        std::string error;
        const std::string version = framework::LoadString(IDS_SHEET_CAPTION);
        if (!trace.Open(options.traceFile, error, program + " (" + version + ")")) {
            // Started from the desktop, nobody reads a stream: the box says it.
            framework::MessageBox(error);
            return 1;
        }
    }
    application.SetHost(&host);
    application.SetLineTrace(trace.IsOpen() ? &trace : nullptr);
    const int result = application.Main(argc, argv);
    application.SetHost(nullptr);
    application.SetLineTrace(nullptr);
    if (const std::string error = trace.Error(); !error.empty()) {
        framework::MessageBox(options.traceFile + ": " + error);
    }
    return result;
}

}  // namespace app
