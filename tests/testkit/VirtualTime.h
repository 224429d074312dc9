#pragma once

#include "support/Clock.h"

namespace testkit_test {

// A virtual clock installed as the current clock for the lifetime of this object. Declare it
// before the objects that pause, so it outlives them.
struct VirtualTime {
    support::VirtualClock clock;
    support::ScopedClock scope{clock};
};

}  // namespace testkit_test
