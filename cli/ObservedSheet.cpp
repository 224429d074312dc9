#include "cli/ObservedSheet.h"

#include "resources/Resource.h"
#include "wizard/MeasurementModePage.h"

namespace cli {

ObservedSheet::ObservedSheet() : CVeltrixInstrumentSettingsDlg(IDS_SHEET_CAPTION) {}

std::string ObservedSheet::GetFirmwareVersion() {
    m_version = CVeltrixInstrumentSettingsDlg::GetFirmwareVersion();
    return m_version;
}

std::string ObservedSheet::GetSelectedTypeCode() {
    if (!m_measurement && m_pMeasurementModePage != nullptr &&
        m_pMeasurementModePage->IsCreated()) {
        m_measurement = MeasurementNow();
    }
    return CVeltrixInstrumentSettingsDlg::GetSelectedTypeCode();
}

MeasurementRead ObservedSheet::MeasurementNow() const {
    const MeasurementModePage& page = *m_pMeasurementModePage;
    return {page.m_nMeasurementMode, page.m_nDistance, page.m_nFlashes, page.m_nPoints};
}

}  // namespace cli
