#include "support/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace support {
namespace {

RealClock g_realClock;
thread_local std::function<void()> g_waitHook;

}  // namespace

std::int64_t RealClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::Sleep(int ms) {
    // Counted on the steady clock itself, so a pause never ends early by a rounded millisecond.
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(std::max(ms, 0));
    for (auto now = steady_clock::now(); now < end; now = steady_clock::now()) {
        RunWaitHook();
        std::this_thread::sleep_for(
            std::min<steady_clock::duration>(end - now, milliseconds(WaitHookIntervalMs)));
    }
}

std::unique_ptr<Clock> RealClock::ForAnotherThread() const {
    return std::make_unique<RealClock>();
}

std::unique_ptr<Clock> VirtualClock::ForAnotherThread() const {
    auto clock = std::make_unique<VirtualClock>();
    clock->m_now = m_now;
    return clock;
}

void VirtualClock::Sleep(int ms) {
    m_pauses.push_back(ms);
    m_now += std::max(ms, 0);
}

Clock& CurrentClock() {
    Clock* replacement = ScopedClock::Current();
    return replacement ? *replacement : g_realClock;
}

void SetWaitHook(std::function<void()> hook) {
    g_waitHook = std::move(hook);
}

void RunWaitHook() {
    if (g_waitHook) g_waitHook();
}

}  // namespace support
