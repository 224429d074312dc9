#pragma once

// What the user-interface thread is in the middle of: handling the user's input, waiting on
// the serial line, or showing a message box. While it is busy, work that arrives from outside
// (an automation client letting go of its object) must not tear the wizard down under the
// code that is running, so such work is put off until the thread is idle again.
//   framework::qt::Activity activity;
//   { framework::qt::Activity::Scope busy(activity); page.Click(1003); }
//   activity.RunWhenIdle([&] { proxy->Release(); });

#include <QObject>
#include <functional>
#include <utility>
#include <vector>

namespace framework::qt {

class Activity {
public:
    Activity() = default;
    Activity(const Activity&) = delete;
    Activity& operator=(const Activity&) = delete;

    // Counts one piece of work for its lifetime; pieces nest.
    class Scope {
    public:
        explicit Scope(Activity& activity) : m_activity(activity) { ++m_activity.m_depth; }
        ~Scope() { --m_activity.m_depth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Activity& m_activity;
    };

    bool IsBusy() const { return m_depth > 0; }

    // The user asked to stop (Cancel, Esc, the close box) while the thread was busy. Work that
    // can stop between its steps takes the request; otherwise the window acts on it once the
    // work is over.
    void RequestStop() { m_stopRequested = true; }
    bool IsStopRequested() const { return m_stopRequested; }
    bool TakeStopRequest() { return std::exchange(m_stopRequested, false); }

    // Runs the work from the event loop once nothing is in progress, in the order given. Work
    // still pending when the activity is destroyed is dropped.
    void RunWhenIdle(std::function<void()> work);

private:
    void Schedule(int delayMs);
    void RunPending();

    int m_depth = 0;
    bool m_stopRequested = false;
    bool m_scheduled = false;
    std::vector<std::function<void()>> m_pending;
    // Timers aimed at this object die with it.
    QObject m_timerContext;
};

}  // namespace framework::qt
