#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"
#include "sim/PtyServer.h"
#include "support/Clock.h"

namespace testkit_test {

// The whole program without its window: the real wizard sheet with its ComPortDevice, on
// real time, talking over pseudo-terminals to simulated instruments, driven like a user
// through a recording host that answers every box.
//   Bench bench;
//   sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
//   bench.MakeSheet({instrument->SlavePath()});
//   int result = bench.Run([&](framework::WizardDriver& w) { w.Next(); ... w.Finish(); });
class Bench {
public:
    Bench();
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // A simulated instrument on a pty of its own, owned by the bench; null (with the test
    // failed) when it could not be started.
    sim::PtyServer* StartInstrument(sim::State state, std::vector<sim::Fault> faults = {});
    // Takes the instrument away at once, as if its cable were pulled: its pty hangs up. May be
    // called from another thread while the wizard waits on the line.
    void StopInstrument(const sim::PtyServer* instrument);
    // Lists the nodes as the machine's first serial ports, COM1 first, and builds the sheet,
    // whose serial device reads the port list when it is made.
    void MakeSheet(std::vector<std::string> portNodes);

    // Runs the wizard modally; the script plays the user. DoModal's result.
    int Run(const std::function<void(framework::WizardDriver&)>& script);
    // Opens the wizard without a modal run, for tests that drive it step by step.
    bool Open() { return m_driver->Open(); }

    CVeltrixInstrumentSettingsDlg& Sheet() { return *m_sheet; }
    framework::WizardDriver& Driver() { return *m_driver; }
    std::vector<std::string> Boxes() const { return m_host.BoxTexts(); }
    void ClearBoxes() { m_host.ClearBoxes(); }

private:
    framework::RecordingHost m_host;
    framework::ScopedHost m_useHost{m_host};
    support::RealClock m_clock;
    support::ScopedClock m_useClock{m_clock};
    std::mutex m_instrumentsLock;  // StopInstrument may come from another thread
    std::vector<std::unique_ptr<sim::PtyServer>> m_instruments;
    // Made after the instruments, so it closes its port before their ptys go.
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> m_sheet;
    std::unique_ptr<framework::WizardDriver> m_driver;
};

// The instrument's default state in the given mode, at the given speed.
sim::State StateOf(int mode, int baud);

// The commands the instrument heard, in order, without the ready polls ("?" and "??").
std::vector<std::string> Commands(const sim::PtyServer& instrument);
// Waits until the instrument has heard the command; false after the time-out.
bool WaitUntilHeard(const sim::PtyServer& instrument, const std::string& command, int timeoutMs);
// How often the instrument heard the command.
int CountOf(const sim::PtyServer& instrument, const std::string& command);
// The instrument's whole log, one entry a line, for failure messages.
std::string Traffic(const sim::PtyServer& instrument);
// Every field of a state on one line, for comparisons that read well when they fail.
std::string Describe(const sim::State& state);

// A node that does not exist and one that is no serial port: ports that fail to open at once.
inline constexpr const char* kMissingNode = "/dev/veltrix-endtoend-missing";
inline constexpr const char* kNotASerialPort = "/dev/null";

}  // namespace testkit_test
