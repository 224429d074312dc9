#include "support/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, ScopedVirtualClockRecordsPausesAndRestoresTheRealOne) {
    support::Clock* before = &support::CurrentClock();
    {
        support::VirtualClock clock;
        support::ScopedClock scoped(clock);
        support::CurrentClock().Sleep(100);
        support::CurrentClock().Sleep(300);
        EXPECT_EQ(clock.Pauses(), (std::vector<int>{100, 300}));
        EXPECT_EQ(clock.NowMs(), 400);
    }
    EXPECT_EQ(&support::CurrentClock(), before);
}

TEST(Clock, RealSleepRunsTheWaitHookAndTakesAtLeastTheTime) {
    int calls = 0;
    support::SetWaitHook([&] { ++calls; });
    support::RealClock clock;
    const auto start = clock.NowMs();
    clock.Sleep(100);
    support::SetWaitHook(nullptr);
    EXPECT_GE(clock.NowMs() - start, 100);
    EXPECT_GE(calls, 2);
}

}  // namespace
