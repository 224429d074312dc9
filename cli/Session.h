#pragma once

// One pass of the wizard over one port, played as a user at the screen would: connect on step
// 1 (the chosen rate, or Find any), Next through the steps, reading what each shows and, for an
// apply, setting the profile's choices on its controls; then Finish or Cancel. What the
// instrument holds comes from the sheet's settings description, and what went wrong from its
// exchange record.

#include <string>

#include "cli/PortJob.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"

namespace cli {

class Session {
public:
    // host: the thread's host, in force; the sheet is made on it.
    Session(const PortJob& job, framework::RecordingHost& host,
            CVeltrixInstrumentSettingsDlg& sheet);

    PortResult Run();
    // What the port is doing, for the progress lines.
    void Progress(const std::string& text);

private:
    bool Connect();
    void DescribeFound();
    bool PassMode();
    bool PassFilters();
    bool PassMeasurement();
    bool PassPlate();
    void Conclude();
    void PressFinish();
    // The record's failed exchanges into the result; the first names the error when none is set.
    void CollectFailures();
    // A setting that failed to be read: its choices are not set.
    static bool ReadFailed(engine::ReadStatus status) {
        return status == engine::ReadStatus::Failed;
    }

    bool Choosing() const;
    // Next, naming the step left in the failure ("connect", "filters"...).
    bool Next(const std::string& leaving);
    bool Fail(std::string error);
    void Note(const std::string& text);
    void Cancel();
    // The position of the checked button in the group that starts at first; -1 when none.
    int CheckedPosition(int first) const;
    // Clicks the button at position in the group, as the user would; a hidden group is set the
    // way its data exchange would set it.
    bool ChoosePosition(int first, int position);
    std::string LastBoxSince(std::size_t count) const;

    const PortJob& m_job;
    framework::RecordingHost& m_host;
    CVeltrixInstrumentSettingsDlg& m_sheet;
    framework::WizardDriver m_driver;
    PortResult m_result;
    std::string m_lastProgress;
};

}  // namespace cli
