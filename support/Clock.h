#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "support/ScopedOverride.h"

namespace support {

// Every pause of the protocol goes through the current clock, so unit tests can run on a
// virtual clock and assert the pauses while the program and the pty tests use real time.
class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds.
    virtual std::int64_t NowMs() const = 0;
    virtual void Sleep(int ms) = 0;
    // A clock of the same kind for work on another thread, with a time of its own: a search
    // through several ports keeps one per port.
    virtual std::unique_ptr<Clock> ForAnotherThread() const = 0;
};

// Real time. While it sleeps it runs the wait hook now and then, so a window can repaint.
class RealClock final : public Clock {
public:
    std::int64_t NowMs() const override;
    void Sleep(int ms) override;
    std::unique_ptr<Clock> ForAnotherThread() const override;
};

// Virtual time for tests: Sleep records the pause and advances the time at once.
class VirtualClock final : public Clock {
public:
    std::int64_t NowMs() const override { return m_now; }
    void Sleep(int ms) override;
    // Starts at this clock's time.
    std::unique_ptr<Clock> ForAnotherThread() const override;
    void Advance(int ms) { m_now += ms; }
    const std::vector<int>& Pauses() const { return m_pauses; }
    void ClearPauses() { m_pauses.clear(); }

private:
    std::int64_t m_now = 0;
    std::vector<int> m_pauses;
};

// Installs a clock on this thread for the lifetime of the object (tests, one per instrument).
using ScopedClock = ScopedOverride<Clock>;

// The clock in force on this thread; a RealClock unless a ScopedClock replaced it.
Clock& CurrentClock();

// Work to do while the program blocks on the serial line or in a pause (the window's
// repainting), for the calling thread. Long waits call RunWaitHook at least every
// WaitHookIntervalMs.
inline constexpr int WaitHookIntervalMs = 30;
void SetWaitHook(std::function<void()> hook);
void RunWaitHook();

}  // namespace support
