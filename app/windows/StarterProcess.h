#pragma once

// The process that started this one, to be waited on. A program started for automation is
// started by the component object model on behalf of its client: under Wine the client process
// itself starts it, on Windows the COM launcher service (which lives on, so waiting on it never
// ends; there COM's own rundown releases a dead client's references after some minutes).
//   app::com::StarterProcess starter;
//   if (starter.Handle() != nullptr) WaitForSingleObject(starter.Handle(), 0);

#include <windows.h>

namespace app::com {

class StarterProcess {
public:
    // Opens the parent process; none when it has gone already (a process that took its id
    // later is recognised by its start time).
    StarterProcess();
    ~StarterProcess();
    StarterProcess(const StarterProcess&) = delete;
    StarterProcess& operator=(const StarterProcess&) = delete;

    // Signalled when the starter ends; null when there is none.
    HANDLE Handle() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

}  // namespace app::com
