// Construction and destruction of the sheet, its pages and device, and the stored type code.

#include <memory>
#include <string>
#include <utility>

#include "device/ComPortDevice.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "resources/Resource.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace {

constexpr int kPageCount = 5;

}  // namespace

CVeltrixInstrumentSettingsDlg::CVeltrixInstrumentSettingsDlg(int captionId,
                                                             framework::Dialog* parent,
                                                             int selectPage,
                                                             DeviceFactory makeDevice)
    : PropertySheet(captionId, parent, selectPage), m_makeDevice(std::move(makeDevice)) {
    InitSheet();
}

CVeltrixInstrumentSettingsDlg::~CVeltrixInstrumentSettingsDlg() {
    // Pages must not be activated again while they go.
    DestroyWindow();
    while (GetPageCount() > 0) {
        framework::PropertyPage* page = GetPage(0);
        RemovePage(0);
        ForgetPage(page);
        delete page;
    }
    if (m_pAutoProxy != nullptr) m_pAutoProxy->ClearDialogLink();
    m_pDevice.reset();
}

void CVeltrixInstrumentSettingsDlg::InitSheet() {
    m_hIcon = framework::LoadIcon(IDR_MAINFRAME);
    m_pAutoProxy = nullptr;
    m_pConnectPage = nullptr;
    m_pInstrumentModePage = nullptr;
    m_pFilterSlidePage = nullptr;
    m_pMeasurementModePage = nullptr;
    m_pPlateMovementPage = nullptr;
    if (m_makeDevice) m_pDevice = m_makeDevice();
    if (!m_pDevice) m_pDevice = device::MakeComPortDevice();
    AddPages(0);
    SetWizardMode();
    SetFlags(GetFlags() & ~framework::PSH_HASHELP);
}

void CVeltrixInstrumentSettingsDlg::AddPages(int firstIndex) {
    for (int index = firstIndex; index < kPageCount; ++index) {
        switch (index) {
            case 0:
                AddPage(m_pConnectPage = new ConnectPage);
                break;
            case 1:
                AddPage(m_pInstrumentModePage = new InstrumentModePage);
                break;
            case 2:
                AddPage(m_pFilterSlidePage = new FilterSlidePage);
                break;
            case 3:
                AddPage(m_pMeasurementModePage = new MeasurementModePage);
                break;
            case 4:
                AddPage(m_pPlateMovementPage = new PlateMovementPage);
                break;
            default:
                break;
        }
    }
}

void CVeltrixInstrumentSettingsDlg::ForgetPage(const framework::PropertyPage* page) {
    if (page == m_pConnectPage) m_pConnectPage = nullptr;
    if (page == m_pInstrumentModePage) m_pInstrumentModePage = nullptr;
    if (page == m_pFilterSlidePage) m_pFilterSlidePage = nullptr;
    if (page == m_pMeasurementModePage) m_pMeasurementModePage = nullptr;
    if (page == m_pPlateMovementPage) m_pPlateMovementPage = nullptr;
}

SerialDevice* CVeltrixInstrumentSettingsDlg::GetDevice() {
    return m_pDevice.get();
}

std::string CVeltrixInstrumentSettingsDlg::GetInstrumentType() {
    return m_strInstrumentType;
}

std::string CVeltrixInstrumentSettingsDlg::GetSelectedTypeCode() {
    return device::InstrumentTypeCode(m_pInstrumentModePage->m_nMode);
}

void CVeltrixInstrumentSettingsDlg::SetInstrumentType(const std::string& code) {
    m_strInstrumentType = code;
}
