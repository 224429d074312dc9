// A whole Finish (applying and saving the settings) for each model, with every byte on the
// line taking its time at the baud rate, compared with the least time the protocol allows.
//   bench_finish
//
// The simulator sends its replies at 10 bit times per byte. A pty hands the host's bytes over
// at once, so the host's port here holds each write for the bytes' time on the wire before it
// hands them over, as the instrument would have the last byte only then.

#include <time.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "resources/Resource.h"
#include "sim/PtyServer.h"
#include "tests/bench/Traffic.h"
#include "tests/testkit/SimulatedPort.h"
#include "tests/testkit/Stopwatch.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace {

using bench_test::HostWire;
using bench_test::Protocol;
using bench_test::WireMs;
using testkit_test::ClockMs;

constexpr int kConnectBaud = 9600;
constexpr double kRatioTarget = 1.03;
constexpr double kCpuShareTarget = 0.01;

// The serial port with a transmitter's timing: a write is handed to the pty once its bytes
// would have left the wire.
class WireTimedPort : public ComPortDeviceLinux {
public:
    explicit WireTimedPort(HostWire& wire) : m_wire(wire) {}

    BOOL WriteBytes(const unsigned char* pBuffer, int nCount) override {
        const double ms = WireMs(static_cast<std::size_t>(nCount), GetBaudRate());
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
        m_wire.bytes += static_cast<std::size_t>(nCount);
        m_wire.ms += ms;
        return ComPortDeviceLinux::WriteBytes(pBuffer, nCount);
    }

private:
    HostWire& m_wire;
};

// What the user chose on steps 2 to 5.
struct FinishCase {
    const char* name;
    int startMode;
    int mode;
    const char* baud;
    std::vector<int> filters;  // empty: the table was not edited
    int measurementMode;
    int points;
    int distance;
    int flashes;
    std::array<int, 4> plate;
};

const std::vector<FinishCase> kCases = {
    {"Veltrix, filters", 0, 0, "9600", {405, 450, 492, 550, 600, 0}, 0, 3, 440, 55, {0, 0, 0, 0}},
    {"Morvane, to 19200", 1, 1, "19200", {}, 2, 0, 0, 0, {0, 1, 2, 0}},
    {"Dravell, filters", 2, 2, "9600", {340, 405, 0, 0, 620, 750}, 1, 0, 0, 0, {1, 1, 0, 2}},
    {"OXQ, stays", 3, 3, "9600", {}, 1, 0, 0, 0, {1, 0, 1, 0}},
    {"Morvane to OXQ 4800", 1, 3, "4800", {}, 0, 0, 0, 0, {2, 2, 2, 2}},
};

void Choose(CVeltrixInstrumentSettingsDlg& sheet, const FinishCase& c) {
    sheet.m_pInstrumentModePage->m_nMode = c.mode;
    sheet.m_pInstrumentModePage->m_strBaudRate = c.baud;
    if (!c.filters.empty()) {
        FilterSlidePage& slide = *sheet.m_pFilterSlidePage;
        int* positions[] = {&slide.m_nPos1, &slide.m_nPos2, &slide.m_nPos3,
                            &slide.m_nPos4, &slide.m_nPos5, &slide.m_nPos6};
        for (std::size_t i = 0; i < 6; ++i)
            *positions[i] = c.filters[i];
        slide.m_bFilterSlideChanged = 1;
    }
    MeasurementModePage& measurement = *sheet.m_pMeasurementModePage;
    measurement.m_nMeasurementMode = c.measurementMode;
    measurement.m_nPoints = c.points;
    measurement.m_nDistance = c.distance;
    measurement.m_nFlashes = c.flashes;
    PlateMovementPage& plate = *sheet.m_pPlateMovementPage;
    plate.m_nAtPowerOn = c.plate[0];
    plate.m_nAtMeasurementEnd = c.plate[1];
    plate.m_nAtRemoteOn = c.plate[2];
    plate.m_nAtRemoteOff = c.plate[3];
}

struct Row {
    Protocol protocol;
    HostWire host;
    double wallMs = 0;
    double hostCpuMs = 0;
    double processCpuMs = 0;
    bool ok = false;
    std::string problem;
};

Row RunFinish(const FinishCase& c) {
    Row row;
    sim::Fault pace;
    pace.kind = sim::FaultKind::Pace;
    testkit_test::SimulatedPort sim(c.startMode, kConnectBaud, {pace});
    if (!sim.server) {
        row.problem = sim.error;
        return row;
    }
    framework::RecordingHost host;
    framework::ScopedHost useHost(host);
    HostWire wire;
    CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION, nullptr, 0,
                                        [&] { return std::make_unique<WireTimedPort>(wire); });
    if (!sheet.m_pConnectPage->ConnectInstrument(1, kConnectBaud)) {
        row.problem = "connect: " + sheet.GetDevice()->GetLastErrorText();
        return row;
    }
    Choose(sheet, c);
    wire = HostWire{};
    const std::size_t first = sim.server->Traffic().Entries().size();

    const double wallStart = ClockMs(CLOCK_MONOTONIC);
    const double hostCpuStart = ClockMs(CLOCK_THREAD_CPUTIME_ID);
    const double processCpuStart = ClockMs(CLOCK_PROCESS_CPUTIME_ID);
    const bool applied = sheet.ApplySettings() == TRUE;
    const bool saved = applied && sheet.SaveSettings() == TRUE;
    row.wallMs = ClockMs(CLOCK_MONOTONIC) - wallStart;
    row.hostCpuMs = ClockMs(CLOCK_THREAD_CPUTIME_ID) - hostCpuStart;
    row.processCpuMs = ClockMs(CLOCK_PROCESS_CPUTIME_ID) - processCpuStart;

    // The simulator logs a reply once its last byte time has passed.
    std::size_t received = 0;
    for (const sim::LogEntry& e : sim.server->Traffic().Entries())
        received += e.direction == sim::Direction::Received && e.note.empty() ? 1 : 0;
    sim.server->Traffic().WaitFor(sim::Direction::Sent, received, 1000);
    row.protocol = bench_test::ReadTraffic(sim.server->Traffic().Entries(), first, kConnectBaud);
    row.host = wire;
    row.ok = saved && sim.server->Stored().mode == c.mode && row.protocol.unanswered == 0;
    if (!row.ok) {
        row.problem = !applied ? "apply failed" : !saved ? "save failed" : "unanswered traffic";
        for (const std::string& box : host.BoxTexts())
            row.problem += " | " + box;
    }
    return row;
}

}  // namespace

int main() {
    std::printf(
        "Finish (ApplySettings + SaveSettings) per model, every byte at 10 bits per baud both "
        "ways.\n"
        "least: 300 ms per ready poll + 100 ms per type query + every byte on the wire.\n"
        "sim least: the same with each reply as early as the simulator can hand it over\n"
        "  ((n - 1) byte times - 1 ms); wall / sim least bounds the host's own overhead.\n\n");
    std::printf("%-20s %4s %5s %3s %5s %5s %8s %8s %8s %6s %6s %8s %6s %8s\n", "case", "cmds",
                "polls", "ids", "out B", "in B", "least", "sim lst", "wall ms", "ratio", "ratio*",
                "host CPU", "CPU %", "proc CPU");
    bool allMet = true;
    bool allOk = true;
    for (const FinishCase& c : kCases) {
        const Row row = RunFinish(c);
        if (!row.ok) {
            std::printf("%-20s FAILED: %s\n", c.name, row.problem.c_str());
            allOk = false;
            continue;
        }
        const double least = row.protocol.LeastMs(row.host);
        const double simLeast = row.protocol.SimLeastMs(row.host);
        const double ratio = row.wallMs / least;
        const double simRatio = row.wallMs / simLeast;
        const double cpuShare = row.hostCpuMs / row.wallMs;
        allMet = allMet && simRatio <= kRatioTarget && cpuShare <= kCpuShareTarget;
        std::printf("%-20s %4d %5d %3d %5zu %5zu %8.1f %8.1f %8.1f %6.4f %6.4f %8.2f %6.3f %8.2f\n",
                    c.name, row.protocol.commands, row.protocol.polls, row.protocol.typeQueries,
                    row.host.bytes, row.protocol.replyBytes, least, simLeast, row.wallMs, ratio,
                    simRatio, row.hostCpuMs, cpuShare * 100, row.processCpuMs);
    }
    std::printf(
        "\nratio = wall / least; ratio* = wall / sim least. Times in ms.\n"
        "host CPU: CPU time of the main thread (the wizard's); proc CPU adds the simulator's "
        "thread.\ntargets: ratio* <= %.2f, host CPU <= %.0f %% of wall: %s\n",
        kRatioTarget, kCpuShareTarget * 100, allOk && allMet ? "met" : "MISSED");
    return allOk ? 0 : 1;
}
