#pragma once

// The user-interface thread's activity (framework/Activity.h) with one thing more for Qt's
// event loop: work that arrives from outside while the thread is busy (an automation client
// letting go of its object) must not tear the wizard down under the code that is running, so
// it is put off until the thread is idle again.
//   framework::qt::Activity activity;
//   { framework::qt::Activity::Scope busy(activity); page.Click(1003); }
//   activity.RunWhenIdle([&] { proxy->Release(); });

#include <QObject>
#include <functional>
#include <vector>

#include "framework/Activity.h"

namespace framework::qt {

class Activity : public framework::Activity {
public:
    // Runs the work from the event loop once nothing is in progress, in the order given. Work
    // still pending when the activity is destroyed is dropped.
    void RunWhenIdle(std::function<void()> work);

private:
    void Schedule(int delayMs);
    void RunPending();

    bool m_scheduled = false;
    std::vector<std::function<void()>> m_pending;
    // Timers aimed at this object die with it.
    QObject m_timerContext;
};

}  // namespace framework::qt
