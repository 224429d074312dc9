#pragma once

#include <time.h>

namespace testkit_test {

// Milliseconds on one of the kernel's clocks: CLOCK_MONOTONIC for wall time,
// CLOCK_THREAD_CPUTIME_ID or CLOCK_PROCESS_CPUTIME_ID for the CPU time used so far.
inline double ClockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The milliseconds that passed on one clock since the stopwatch was made.
class Stopwatch {
public:
    explicit Stopwatch(clockid_t clock = CLOCK_MONOTONIC)
        : m_clock(clock), m_start(ClockMs(clock)) {}
    double ElapsedMs() const { return ClockMs(m_clock) - m_start; }

private:
    clockid_t m_clock;
    double m_start;
};

// An upper bound on real time that no healthy run comes near, even under the sanitizers on a
// loaded two-core machine: it catches a wait that hangs or lasts a long time-out it should not,
// not one that is a little long. The exact waits are measured on the virtual clock.
inline constexpr double kGenerousMs = 5000;

// Wall milliseconds that a call took.
template <typename F>
double WallMs(F&& call) {
    const Stopwatch watch;
    call();
    return watch.ElapsedMs();
}

}  // namespace testkit_test
