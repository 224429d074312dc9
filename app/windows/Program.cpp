#include "app/Program.h"

#include <algorithm>
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

#include <commctrl.h>

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
    if (options.simulate) {
        ShowProgramText(program,
                        program + ": --simulate is not available in this build of the program\n",
                        true);
        return 1;
    }

    // The system's dialog controls in the look of the desktop (the manifest asks for it).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    AddedPorts ports(options.ports, device::SystemPortSource());
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
