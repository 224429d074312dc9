#include "app/Program.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstrumentSettingsApp.h"
#include "app/Options.h"
#include "device/LineTrace.h"
#include "device/PortSource.h"
#include "framework/Host.h"
#include "framework/Resources.h"
#include "framework/qt/IconImage.h"
#include "framework/qt/QtHost.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "sim/PtyServer.h"

namespace app {
namespace {

std::string BaseName(const char* path) {
    const std::string text = path != nullptr ? path : "";
    return text.substr(text.find_last_of('/') + 1);
}

}  // namespace

int RunProgram(InstrumentSettingsApp& application, int argc, char** argv) {
    const std::string program = argc > 0 ? BaseName(argv[0]) : std::string();
    const ParsedOptions parsed =
        ParseOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), parsed.error.c_str());
        return 2;
    }
    const Options& options = parsed.options;
    resources::RegisterResources();
    if (options.help) {
        std::fputs(UsageText(program).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", framework::LoadString(IDS_SHEET_CAPTION).c_str());
        return 0;
    }

    // Tests run the program inside their own application object.
    std::optional<QApplication> qt;
    if (QApplication::instance() == nullptr) qt.emplace(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(program));
    QApplication::setDesktopFileName(QStringLiteral("veltrix-instrument-settings"));
    QApplication::setWindowIcon(framework::qt::MakeIcon(framework::LoadIcon(IDR_MAINFRAME)));

    std::unique_ptr<sim::PtyServer> simulator;
    std::vector<std::string> ports;
    if (options.simulate) {
        std::string error;
        simulator = sim::PtyServer::Start(sim::ServerConfig{}, error);
        if (simulator == nullptr) {
            std::fprintf(stderr, "%s: cannot start the instrument simulator: %s\n", program.c_str(),
                         error.c_str());
            return 1;
        }
        ports.push_back(simulator->SlavePath());
    }
    ports.insert(ports.end(), options.ports.begin(), options.ports.end());
    device::SetExtraPorts(ports);

    framework::qt::QtHost host;
    framework::ScopedHost useHost(host);

    device::LineTrace trace;
    if (!options.traceFile.empty()) {
        std::string error;
        const std::string version = framework::LoadString(IDS_SHEET_CAPTION);
        if (!trace.Open(options.traceFile, error, program + " (" + version + ")")) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            // Started from the desktop, nobody reads the error stream.
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
        std::fprintf(stderr, "%s: %s: %s\n", program.c_str(), options.traceFile.c_str(),
                     error.c_str());
    }
    return result;
}

}  // namespace app
