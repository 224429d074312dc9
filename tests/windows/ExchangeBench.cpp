// Framed command exchanges through the Windows serial port against the simulated instrument in
// its native mode, without pacing, on a COM port that Wine maps onto the simulator's pty: what
// one exchange costs the host on top of the wire. Run it with the simulator behind the port:
//   with-sim.sh SIMULATOR LINK --baud 38400 -- wine64 bench_windows_exchange.exe PORT [count]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The port device comes first: its truth values are the system's own, before <windows.h>.
#include "device/windows/ComPortDeviceWindows.h"

#include <windows.h>

namespace {

constexpr int kBaud = 38400;
constexpr int kWarmUp = 10;
constexpr double kWallTargetMs = 2.0;
constexpr char kVersion[] = "V 3.10";

double WallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// CPU time of this thread, user and kernel, in milliseconds.
double ThreadCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

}  // namespace

int main(int argc, char** argv) {
    const int port = argc > 1 ? std::atoi(argv[1]) : 0;
    const int count = argc > 2 ? std::atoi(argv[2]) : 200;
    if (port <= 0 || count <= 0) {
        std::fprintf(stderr, "usage: bench_windows_exchange PORT [count > 0]\n");
        return 2;
    }
    ComPortDeviceWindows device;
    device.SetBaudRate(kBaud);
    if (!device.InitSerial(port)) {
        std::fprintf(stderr, "bench_windows_exchange: %s\n", device.GetLastErrorText().c_str());
        return 1;
    }

    std::string reply;
    const auto exchange = [&] {
        return device.WriteKelvaStringCR("RV0") && device.ReadKelvaStringCR(reply) >= 0 &&
               reply == kVersion;
    };
    for (int i = 0; i < kWarmUp; ++i) {
        if (!exchange()) {
            std::fprintf(stderr, "bench_windows_exchange: warm-up failed: %s\n",
                         device.GetLastErrorText().c_str());
            return 1;
        }
    }

    std::vector<double> wallMs;
    wallMs.reserve(static_cast<std::size_t>(count));
    int failed = 0;
    const double wallStart = WallMs();
    const double cpuStart = ThreadCpuMs();
    for (int i = 0; i < count; ++i) {
        const double begin = WallMs();
        if (!exchange()) ++failed;
        wallMs.push_back(WallMs() - begin);
    }
    const double wall = WallMs() - wallStart;
    const double cpu = ThreadCpuMs() - cpuStart;

    const double n = count;
    std::printf("%d framed exchanges (\"RV0\" -> \"%s\") at %d baud on COM%d, pacing off\n", count,
                kVersion, kBaud, port);
    std::printf("  wall per exchange      mean %.3f ms  median %.3f  p95 %.3f  max %.3f\n",
                wall / n, Percentile(wallMs, 0.5), Percentile(wallMs, 0.95),
                Percentile(wallMs, 1.0));
    std::printf("  host CPU per exchange  %.3f ms  (this thread, user and kernel)\n", cpu / n);
    std::printf("  failed exchanges       %d\n", failed);
    std::printf("  target wall < %.1f ms: %s\n", kWallTargetMs,
                wall / n < kWallTargetMs ? "met" : "MISSED");
    return failed == 0 ? 0 : 1;
}
