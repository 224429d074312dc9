#include "wizard/InstrumentModePage.h"

#include <array>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "resources/Resource.h"
#include "support/ValueString.h"
#include "wizard/StepRead.h"

namespace {

// Every mode offers these after its own fast rates.
constexpr std::array kCommonRates = {"9600", "4800", "2400", "1200", "600", "300"};
constexpr const char* kFormat8N1 = "8 databits, 1 stop bit, no parity";
constexpr const char* kFormat7E2 = "7 databits, 2 stop bits, even parity";

}  // namespace

InstrumentModePage::InstrumentModePage() : WizardPage(IDD_INSTRUMENT_MODE) {}

void InstrumentModePage::DoDataExchange(framework::DataExchange& dx) {
    dx.ListByText(IDC_BAUDRATE, m_strBaudRate);
    dx.RadioGroup(IDC_MODE_VELTRIX, m_nMode);
    dx.Label(IDC_LINE_FORMAT, m_strLineFormat);
}

BOOL InstrumentModePage::OnInitDialog() {
    // The mode the instrument runs in now; an unknown code leaves no mode selected.
    if (const int index = device::InstrumentTypeIndex(ConnectedTypeCode()); index >= 0) {
        m_nMode = index;
    }
    if (SerialDevice* device = GetDevice()) {
        ValueString rate;
        rate.AppendInt(device->GetBaudRate());
        m_strBaudRate = rate.text;
    }
    FillBaudRateList();
    {
        // The reply is not looked at; the step needs only that the instrument took the command.
        StepRead read(GetParentSheet(), "mode", StepRead::Tells, StepRead::Sending);
        Exchange(m_nMode == device::kIndexVeltrix ? device::command::kCommandBA
                                                  : device::command::kCommandH);
        read.Tell("the instrument mode");
    }
    return WizardPage::OnInitDialog();
}

void InstrumentModePage::FillBaudRateList() {
    ResetList(IDC_BAUDRATE);
    // Morvane and Dravell offer 38400 but not 19200, OXQ the reverse: a rate the mode does not
    // offer gives way to the one it offers in its place.
    switch (m_nMode) {
        case device::kIndexVeltrix:
            AddListItem(IDC_BAUDRATE, "38400");
            AddListItem(IDC_BAUDRATE, "19200");
            m_strLineFormat = kFormat8N1;
            break;
        case device::kIndexMorvane:
        case device::kIndexDravell:
            AddListItem(IDC_BAUDRATE, "38400");
            if (m_strBaudRate == "19200") m_strBaudRate = "38400";
            m_strLineFormat = kFormat8N1;
            break;
        case device::kIndexOxq:
            AddListItem(IDC_BAUDRATE, "19200");
            if (m_strBaudRate == "38400") m_strBaudRate = "19200";
            m_strLineFormat = kFormat7E2;
            break;
        default:
            break;
    }
    for (const char* rate : kCommonRates)
        AddListItem(IDC_BAUDRATE, rate);
}

void InstrumentModePage::OnCommand(int id, framework::Notification what) {
    if (what != framework::Notification::Clicked) return;
    switch (id) {
        case IDC_MODE_VELTRIX:
        case IDC_MODE_MORVANE:
        case IDC_MODE_DRAVELL:
        case IDC_MODE_OXQ:
            OnModeClicked();
            break;
        default:
            break;
    }
}

void InstrumentModePage::OnModeClicked() {
    UpdateData(TRUE);
    FillBaudRateList();
    UpdateData(FALSE);
}
