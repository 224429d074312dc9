// Find any in the wizard over four ports at once, the last with a Morvane instrument at 2400
// baud (every reply paced at the line's speed), against the same search with only that port
// listed. The other three fail at once, as ports without a device, held by another program or
// no serial port do: the search takes the time of its slowest port, here the instrument's.
//   bench_find_any
//
// Target: four ports in at most 1.10 times the wall time of the one.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "resources/Resource.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Stopwatch.h"
#include "wizard/ConnectPage.h"

namespace {

using testkit_test::ClockMs;

constexpr double kRatioTarget = 1.10;
constexpr int kRounds = 3;

// The wall time of one Find any, in ms; negative when it did not find the instrument.
double SearchMs(bool withOthers) {
    testkit_test::Bench bench;
    sim::Fault pace;
    pace.kind = sim::FaultKind::Pace;
    sim::PtyServer* taken = bench.StartInstrument(testkit_test::StateOf(sim::kModeVeltrix, 9600));
    sim::PtyServer* reader =
        bench.StartInstrument(testkit_test::StateOf(sim::kModeMorvane, 2400), {pace});
    if (taken == nullptr || reader == nullptr) return -1;
    std::vector<std::string> nodes;
    if (withOthers) {
        nodes = {testkit_test::kMissingNode, testkit_test::kNotASerialPort, taken->SlavePath()};
    }
    nodes.push_back(reader->SlavePath());
    bench.MakeSheet(nodes);
    ComPortDeviceLinux otherProgram;
    if (withOthers && !otherProgram.InitSerial(3)) return -1;
    if (!bench.Open()) return -1;
    // Both searches start from the instrument's port as the held selection, so both make the
    // same first attempt there.
    bench.Sheet().m_pConnectPage->m_nPort = static_cast<int>(nodes.size()) - 1;
    const double start = ClockMs(CLOCK_MONOTONIC);
    bench.Driver().Click(IDC_FIND_ANY);
    const double wall = ClockMs(CLOCK_MONOTONIC) - start;
    const bool found = bench.Sheet().GetInstrumentType() == "+MV" &&
                       bench.Driver().Selection(IDC_PORT) == static_cast<int>(nodes.size()) - 1;
    bench.Driver().Cancel();
    return found ? wall : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    std::vector<double> one;
    std::vector<double> four;
    // Interleaved, so that a busy spell of the machine falls on both alike.
    for (int round = 0; round < kRounds; ++round) {
        one.push_back(SearchMs(false));
        four.push_back(SearchMs(true));
        if (one.back() < 0 || four.back() < 0) {
            std::fprintf(stderr, "bench_find_any: the search did not find the instrument\n");
            return 1;
        }
    }
    const double ratio = Median(four) / Median(one);
    std::printf("Find any, Morvane at 2400 baud on the last port (median of %d)\n", kRounds);
    std::printf("  one port    %8.0f ms\n", Median(one));
    std::printf("  four ports  %8.0f ms\n", Median(four));
    std::printf("  ratio       %8.3f   (target at most %.2f)\n", ratio, kRatioTarget);
    return ratio <= kRatioTarget ? 0 : 1;
}
