#include "wizard/ConnectPage.h"

#include <array>

#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/Resources.h"
#include "resources/Resource.h"
#include "support/ValueString.h"

namespace {

// Fastest first; Find any searches them in this order.
constexpr std::array kBaudRates = {"38400", "19200", "9600", "4800", "2400", "1200", "600", "300"};

// The models by type index, for saying what a search found.
constexpr std::array kModelNames = {"Veltrix", "Morvane", "Dravell", "OXQ"};

int BaudOf(const std::string& text) {
    return ValueString(text).ToInt();
}

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

ConnectPage::ConnectPage() : WizardPage(IDD_CONNECT) {}

void ConnectPage::DoDataExchange(framework::DataExchange& dx) {
    dx.ListByText(IDC_BAUDRATE, m_strBaudRate);
    dx.ListByIndex(IDC_PORT, m_nPort);
}

BOOL ConnectPage::OnInitDialog() {
    // Item i - 1 stands for port i, so a port without a name still gets its (empty) item.
    ResetList(IDC_PORT);
    if (SerialDevice* device = GetDevice()) {
        const int count = device->GetPortCount();
        for (int port = 1; port <= count; ++port)
            AddListItem(IDC_PORT, device->GetPortName(port));
    }
    ResetList(IDC_BAUDRATE);
    for (const char* rate : kBaudRates)
        AddListItem(IDC_BAUDRATE, rate);
    m_nPort = 0;
    m_strBaudRate = "9600";
    return WizardPage::OnInitDialog();
}

BOOL ConnectPage::ConnectInstrument(int portNumber, int baudRate) {
    SerialDevice* device = GetDevice();
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (device == nullptr || sheet == nullptr) return FALSE;
    device->SetBaudRate(baudRate);
    device->SetParity('N');
    device->SetDataBits(8);
    device->SetStopBits(1);
    BOOL ok = device->InitSerial(portNumber);
    m_bPortOpened = ok != FALSE;
    // Ask at 8N1; an instrument in OXQ mode listens at 7E2 only, so ask once more there.
    int attempts = 2;
    while (ok && attempts > 0) {
        const std::string code = device->AskForInstrumentType();
        if (device::InstrumentTypeIndex(code) >= 0) {
            sheet->SetInstrumentType(code);
            sheet->OnConnected();
            device->SetTerminator(code == device::kTypeVeltrix ? ETX : CR);
            attempts = 0;
        } else if (attempts == 2) {
            device->SetParity('E');
            device->SetDataBits(7);
            device->SetStopBits(2);
            ok = device->ChangeBaudRate();
            attempts = 1;
        } else {
            ok = FALSE;
        }
    }
    return ok;
}

BOOL ConnectPage::OnKillActive() {
    if (!WizardPage::OnKillActive()) return FALSE;
    const BOOL ok = ConnectInstrument(m_nPort + 1, BaudOf(m_strBaudRate));
    if (!ok) {
        std::string message = framework::LoadString(IDS_CONNECT_FAILED);
        SerialDevice* device = GetDevice();
        const std::string error = device != nullptr ? device->GetLastErrorText() : std::string();
        if (!error.empty()) message += "\nCommPort Error: " + error;
        // An open that failed has said why; a port that opened but got no known answer
        // leaves the user guessing.
        if (m_bPortOpened) {
            message +=
                "\nCheck the cable and the instrument's power, then try another baud rate "
                "or Find any.";
        }
        framework::MessageBox(message);
    }
    return ok;
}

void ConnectPage::OnCommand(int id, framework::Notification what) {
    if (id == IDC_FIND_ANY && what == framework::Notification::Clicked) OnFindAny();
}

void ConnectPage::OnFindAny() {
    framework::WaitCursor busy;
    // The selection held in the fields first, then every port at every rate in list order.
    // The user may stop the search between two attempts.
    BOOL ok = ConnectInstrument(m_nPort + 1, BaudOf(m_strBaudRate));
    bool stopped = framework::StopRequested();
    int foundPort = m_nPort;
    std::string foundBaud = m_strBaudRate;
    const int ports = GetListCount(IDC_PORT);
    const int rates = GetListCount(IDC_BAUDRATE);
    for (int port = 0; !ok && !stopped && port < ports; ++port) {
        for (int rate = 0; !ok && !stopped && rate < rates; ++rate) {
            const std::string baud = GetListItemText(IDC_BAUDRATE, rate);
            ok = ConnectInstrument(port + 1, BaudOf(baud));
            stopped = framework::StopRequested();
            if (ok) {
                foundPort = port;
                foundBaud = baud;
            }
        }
    }
    if (ok) {
        m_nPort = foundPort;
        m_strBaudRate = foundBaud;
        UpdateData(FALSE);
        ReportFound();
    } else if (stopped) {
        framework::ShowNote("Find any stopped");
    } else {
        framework::MessageBox("No instrument answered on any port at any baud rate.\nTried " +
                              Counted(ports, "port", "ports") + " at " +
                              Counted(rates, "baud rate", "baud rates") + ".");
    }
}

void ConnectPage::ReportFound() {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    SerialDevice* device = GetDevice();
    if (sheet == nullptr || device == nullptr) return;
    const std::string code = sheet->GetInstrumentType();
    const int index = device::InstrumentTypeIndex(code);
    const std::string model = index >= 0 ? kModelNames[static_cast<std::size_t>(index)] : code;
    framework::ShowNote("Found " + model + " (" + code + ") on " + device->GetPortName(0) + " at " +
                        m_strBaudRate + " baud");
    // Enter goes on to the next step rather than searching again.
    sheet->SetFocus(framework::ID_WIZNEXT);
}
