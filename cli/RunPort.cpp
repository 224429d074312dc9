// Each port is served on a thread of its own, with its own host, clock and one-port list, so
// that instruments never share the engine's seams.

#include <memory>

#include "cli/Console.h"
#include "cli/PortJob.h"
#include "cli/Session.h"
#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "resources/Resource.h"
#include "support/Clock.h"

namespace cli {
namespace {

// The port list of step 1 holds this one port, as COM1.
class OnePortSource final : public device::PortSource {
public:
    explicit OnePortSource(std::string path) : m_path(std::move(path)) {}
    std::unique_ptr<device::PortMap> Open() override {
        return std::make_unique<device::ListPortMap>(
            std::vector<device::PortValue>{{m_path, "COM1"}});
    }

private:
    std::string m_path;
};

}  // namespace

PortResult RunPort(const PortJob& job) {
    framework::RecordingHost host;
    host.SetBoxHook([&job](const framework::RecordedBox& box) {
        if (job.console != nullptr) job.console->Box(job.port, box.text);
    });
    framework::ScopedHost useHost(host);
    support::RealClock realClock;
    support::ScopedClock useClock(job.clock != nullptr ? *job.clock : realClock);
    OnePortSource source(job.port);
    device::ScopedPortSource useSource(source);

    CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);
    Session session(job, host, sheet);
    device::LineTrace noTrace;
    device::LineWatch watch(job.trace != nullptr ? *job.trace : noTrace,
                            [&session](const std::string& text) { session.Progress(text); });
    watch.Attach(sheet.GetDevice());
    PortResult result = session.Run();
    watch.Detach();
    return result;
}

}  // namespace cli
