// "Load profile..." then Finish in the window against `veltrix-settings apply` of the same
// profile, each on a twin simulated instrument whose replies are paced at 9600 baud: the whole
// run from step 1 to the stored settings.
//   bench_profile_finish
//
// Target: the window's run takes the time of the command line's within 5 %.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/PortJob.h"
#include "framework/Ids.h"
#include "profile/ProfileFile.h"
#include "profile/WindowProfiles.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Stopwatch.h"

namespace {

using testkit_test::ClockMs;

constexpr double kTolerance = 0.05;
constexpr int kRounds = 3;
constexpr int kBaud = 9600;
constexpr const char* kProfile = R"({"format": 1, "mode": "dravell", "baud": 9600,
    "filters": [405, 450, 492, 550, 600, 700], "measurement": "accuracy",
    "plate": {"power_on": "in", "measurement_end": "stay"}})";

sim::Fault Pace() {
    sim::Fault pace;
    pace.kind = sim::FaultKind::Pace;
    return pace;
}

// The command line's apply; negative when it did not store the settings.
double ApplyMs(const profile::Profile& wanted) {
    testkit_test::Bench bench;
    sim::PtyServer* instrument =
        bench.StartInstrument(testkit_test::StateOf(sim::kModeMorvane, kBaud), {Pace()});
    if (instrument == nullptr) return -1;
    cli::PortJob job;
    job.port = instrument->SlavePath();
    job.baud = kBaud;
    job.action = cli::Action::Apply;
    job.wanted = &wanted;
    const double start = ClockMs(CLOCK_MONOTONIC);
    const cli::PortResult result = cli::RunPort(job);
    const double wall = ClockMs(CLOCK_MONOTONIC) - start;
    return result.saved ? wall : -1;
}

// The window: load, connect, Next through the steps, Finish; negative when it did not store.
double WindowMs(const std::string& path) {
    testkit_test::Bench bench;
    sim::PtyServer* instrument =
        bench.StartInstrument(testkit_test::StateOf(sim::kModeMorvane, kBaud), {Pace()});
    if (instrument == nullptr) return -1;
    const double start = ClockMs(CLOCK_MONOTONIC);
    bench.MakeSheet({instrument->SlavePath()});
    auto profiles = std::make_unique<profile::WindowProfiles>(bench.Sheet());
    if (!profiles->LoadFile(path)) return -1;
    bench.Sheet().m_pProfileButtons = std::move(profiles);
    const int result = bench.Run([](framework::WizardDriver& w) {
        w.Select(IDC_BAUDRATE, std::to_string(kBaud));
        for (int step = 1; step < 5; ++step)
            w.Next();
        w.Finish();
    });
    const double wall = ClockMs(CLOCK_MONOTONIC) - start;
    return result == framework::IDOK ? wall : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    resources::RegisterResources();
    const std::string path = "/tmp/bench_profile_finish.json";
    std::ofstream(path) << kProfile;
    profile::Profile wanted;
    std::string error;
    if (!profile::ReadProfileFile(path, wanted, error)) {
        std::fprintf(stderr, "bench_profile_finish: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> apply;
    std::vector<double> window;
    // Interleaved, so that a busy spell of the machine falls on both alike.
    for (int round = 0; round < kRounds; ++round) {
        apply.push_back(ApplyMs(wanted));
        window.push_back(WindowMs(path));
        if (apply.back() < 0 || window.back() < 0) {
            std::fprintf(stderr, "bench_profile_finish: a run did not store the settings\n");
            return 1;
        }
    }
    const double ratio = Median(window) / Median(apply);
    std::printf(
        "Load profile and Finish against veltrix-settings apply, replies paced at %d baud "
        "(median of %d)\n",
        kBaud, kRounds);
    std::printf("  apply            %8.0f ms\n", Median(apply));
    std::printf("  load and Finish  %8.0f ms\n", Median(window));
    std::printf("  ratio            %8.3f   (target 1 within %.0f %%)\n", ratio, kTolerance * 100);
    return std::abs(ratio - 1.0) <= kTolerance ? 0 : 1;
}
