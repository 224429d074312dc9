#pragma once

// What the user-interface thread is in the middle of: handling the user's input, waiting on
// the serial line, or showing a message box. While it is busy, further input is not carried
// out; Cancel, Esc and the close button only ask the work to stop. Each host keeps one.
//   framework::Activity activity;
//   { framework::Activity::Scope busy(activity); page.Click(1003); }

#include <utility>

namespace framework {

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

    // The user asked to stop while the thread was busy. Work that can stop between its steps
    // takes the request; otherwise the window acts on it once the work is over.
    void RequestStop() { m_stopRequested = true; }
    bool IsStopRequested() const { return m_stopRequested; }
    bool TakeStopRequest() { return std::exchange(m_stopRequested, false); }

private:
    int m_depth = 0;
    bool m_stopRequested = false;
};

}  // namespace framework
