// Framed command exchanges through the serial port on a pty against the simulated instrument
// in its native mode, without pacing: what one exchange costs the host.
//   bench_exchange [count]        (200 by default)

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "sim/State.h"
#include "tests/testkit/SimulatedPort.h"
#include "tests/testkit/Stopwatch.h"

namespace {

using testkit_test::ClockMs;

constexpr int kBaud = 38400;
constexpr int kWarmUp = 10;
constexpr double kWallTargetMs = 2.0;
constexpr double kCpuTargetMs = 0.5;

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

const char* Verdict(double value, double target) {
    return value < target ? "met" : "MISSED";
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_exchange [count > 0]\n");
        return 2;
    }
    testkit_test::SimulatedPort sim(sim::kModeVeltrix, kBaud);
    if (!sim.server) {
        std::fprintf(stderr, "bench_exchange: simulator: %s\n", sim.error.c_str());
        return 1;
    }
    ComPortDeviceLinux device;
    testkit_test::SetModeLine(device, false, kBaud);
    if (!device.InitSerial(1)) {
        std::fprintf(stderr, "bench_exchange: %s\n", device.GetLastErrorText().c_str());
        return 1;
    }

    const sim::State state = sim.server->Current();
    std::string reply;
    const auto exchange = [&] {
        return device.WriteKelvaStringCR("RV0") && device.ReadKelvaStringCR(reply) >= 0 &&
               reply == state.version;
    };
    for (int i = 0; i < kWarmUp; ++i) {
        if (!exchange()) {
            std::fprintf(stderr, "bench_exchange: warm-up failed: %s\n",
                         device.GetLastErrorText().c_str());
            return 1;
        }
    }

    std::vector<double> wallMs;
    wallMs.reserve(static_cast<std::size_t>(count));
    int failed = 0;
    const double wallStart = ClockMs(CLOCK_MONOTONIC);
    const double hostCpuStart = ClockMs(CLOCK_THREAD_CPUTIME_ID);
    const double processCpuStart = ClockMs(CLOCK_PROCESS_CPUTIME_ID);
    for (int i = 0; i < count; ++i) {
        const double begin = ClockMs(CLOCK_MONOTONIC);
        if (!exchange()) ++failed;
        wallMs.push_back(ClockMs(CLOCK_MONOTONIC) - begin);
    }
    const double wall = ClockMs(CLOCK_MONOTONIC) - wallStart;
    const double hostCpu = ClockMs(CLOCK_THREAD_CPUTIME_ID) - hostCpuStart;
    const double processCpu = ClockMs(CLOCK_PROCESS_CPUTIME_ID) - processCpuStart;

    const double n = count;
    std::printf("%d framed exchanges (\"RV0\" -> \"%s\") at %d baud on %s, pacing off\n", count,
                state.version.c_str(), kBaud, sim.server->SlavePath().c_str());
    std::printf("  wall per exchange      mean %.3f ms  median %.3f  p95 %.3f  max %.3f\n",
                wall / n, Percentile(wallMs, 0.5), Percentile(wallMs, 0.95),
                Percentile(wallMs, 1.0));
    std::printf("  host CPU per exchange  %.3f ms  (main thread: the serial port's own work)\n",
                hostCpu / n);
    std::printf("  process CPU per exch.  %.3f ms  (main thread + the simulator's thread)\n",
                processCpu / n);
    std::printf("  failed exchanges       %d\n", failed);
    std::printf("  target wall < %.1f ms: %s;  host CPU < %.1f ms: %s\n", kWallTargetMs,
                Verdict(wall / n, kWallTargetMs), kCpuTargetMs, Verdict(hostCpu / n, kCpuTargetMs));
    return failed == 0 ? 0 : 1;
}
