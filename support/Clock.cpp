#include "support/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace support {
namespace {

RealClock g_realClock;
Clock* g_current = &g_realClock;
std::function<void()> g_waitHook;

}  // namespace

std::int64_t RealClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::Sleep(int ms) {
    const std::int64_t end = NowMs() + std::max(ms, 0);
    for (std::int64_t now = NowMs(); now < end; now = NowMs()) {
        RunWaitHook();
        const auto slice = std::min<std::int64_t>(end - now, WaitHookIntervalMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
}

void VirtualClock::Sleep(int ms) {
    m_pauses.push_back(ms);
    m_now += std::max(ms, 0);
}

Clock& CurrentClock() { return *g_current; }

ScopedClock::ScopedClock(Clock& clock) : m_previous(g_current) { g_current = &clock; }

ScopedClock::~ScopedClock() { g_current = m_previous; }

void SetWaitHook(std::function<void()> hook) { g_waitHook = std::move(hook); }

void RunWaitHook() {
    if (g_waitHook) g_waitHook();
}

}  // namespace support
