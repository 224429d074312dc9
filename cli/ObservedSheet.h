#pragma once

// The wizard sheet as the window builds it, watched at two of its operations so that the
// command line learns what the steps read without a command of its own: the firmware version
// text each time the engine asks for it, and the measurement values step 4 read, before its
// first activation replaces them with a preset.

#include <optional>
#include <string>

#include "engine/CVeltrixInstrumentSettingsDlg.h"

namespace cli {

// Step 4's fields as its initialisation left them.
struct MeasurementRead {
    int mode = -1;
    int distance = 0;
    int flashes = 0;
    int points = 0;
    bool operator==(const MeasurementRead&) const = default;
};

class ObservedSheet : public CVeltrixInstrumentSettingsDlg {
public:
    ObservedSheet();

    std::string GetFirmwareVersion() override;
    // Step 4's activation asks this first, so step 4's fields are still those it read.
    std::string GetSelectedTypeCode() override;

    // The last version text the engine read; "" when it never asked.
    const std::string& LastVersion() const { return m_version; }
    const std::optional<MeasurementRead>& MeasurementAsRead() const { return m_measurement; }
    // Step 4's fields now.
    MeasurementRead MeasurementNow() const;

private:
    std::string m_version;
    std::optional<MeasurementRead> m_measurement;
};

}  // namespace cli
