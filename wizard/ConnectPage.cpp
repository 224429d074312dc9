#include "wizard/ConnectPage.h"

#include <array>
#include <optional>
#include <vector>

#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/Resources.h"
#include "resources/Resource.h"
#include "support/Clock.h"
#include "support/ValueString.h"
#include "wizard/ConnectAttempt.h"
#include "wizard/PortSearch.h"

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
    if (device == nullptr || GetParentSheet() == nullptr) return FALSE;
    const wizard::ConnectAttempt attempt = wizard::TryConnect(*device, portNumber, baudRate);
    m_bPortOpened = attempt.opened;
    if (attempt.code.empty()) return FALSE;
    StoreConnection(attempt.code);
    return TRUE;
}

void ConnectPage::StoreConnection(const std::string& code) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    sheet->SetInstrumentType(code);
    sheet->OnConnected();
    GetDevice()->SetTerminator(code == device::kTypeVeltrix ? ETX : CR);
}

BOOL ConnectPage::OnKillActive() {
    if (!WizardPage::OnKillActive()) return FALSE;
    const BOOL ok = ConnectInstrument(m_nPort + 1, BaudOf(m_strBaudRate));
    if (!ok) ShowConnectFailure();
    return ok;
}

void ConnectPage::ShowConnectFailure() {
    std::string message = framework::LoadString(IDS_CONNECT_FAILED);
    SerialDevice* device = GetDevice();
    const std::string error = device != nullptr ? device->GetLastErrorText() : std::string();
    if (!error.empty()) message += "\nCommPort Error: " + error;
    // An open that failed has said why; a port that opened but got no known answer leaves
    // the user guessing.
    if (m_bPortOpened) {
        message +=
            "\nCheck the cable and the instrument's power, then try another baud rate or Find "
            "any.";
    }
    framework::MessageBox(message);
}

void ConnectPage::OnCommand(int id, framework::Notification what) {
    if (id == IDC_FIND_ANY && what == framework::Notification::Clicked) OnFindAny();
}

void ConnectPage::OnFindAny() {
    framework::WaitCursor busy;
    // The selection held in the fields first, then every port at every rate in list order,
    // all ports at once. The user may stop the search between two attempts.
    BOOL ok = ConnectInstrument(m_nPort + 1, BaudOf(m_strBaudRate));
    bool stopped = framework::StopRequested();
    const int ports = GetListCount(IDC_PORT);
    const int rates = GetListCount(IDC_BAUDRATE);
    if (!ok && !stopped && ports > 0) {
        const std::optional<wizard::PortFound> found = SearchEveryPort(stopped);
        if (found) {
            ok = TakeOverPort(*found);
            if (!ok) {
                ShowConnectFailure();
                return;
            }
            m_nPort = found->portIndex;
            m_strBaudRate = found->baud;
        }
    }
    if (ok) {
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

std::optional<wizard::PortFound> ConnectPage::SearchEveryPort(bool& stopped) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    // Each port's worker opens its port for itself.
    GetDevice()->CloseSerial();
    std::vector<std::string> rates;
    for (int rate = 0; rate < GetListCount(IDC_BAUDRATE); ++rate)
        rates.push_back(GetListItemText(IDC_BAUDRATE, rate));
    const engine::SearchWatch& watch = sheet->m_searchWatch;
    wizard::PortSearch search(
        GetListCount(IDC_PORT), std::move(rates), [sheet] { return sheet->MakeDevice(); }, watch);
    // The window keeps repainting; Cancel stops every port after its attempt in progress.
    while (!search.WaitFor(support::WaitHookIntervalMs)) {
        support::RunWaitHook();
        if (!stopped && framework::StopRequested()) {
            stopped = true;
            search.Stop();
        }
        if (const std::string text = search.TakeProgress(); !text.empty() && watch.show) {
            watch.show(text);
        }
    }
    return search.Found();
}

BOOL ConnectPage::TakeOverPort(const wizard::PortFound& found) {
    // The port answered its worker a moment ago: open it with the line that worked, without
    // asking again, so it gets no byte more than the search sent.
    // The port is opened at 8N1 and then switched, as each attempt does it: some serial drivers
    // refuse 7E2 as the settings of a fresh open.
    SerialDevice* device = GetDevice();
    device->SetBaudRate(BaudOf(found.baud));
    device->SetParity('N');
    device->SetDataBits(8);
    device->SetStopBits(1);
    m_bPortOpened = device->InitSerial(found.portIndex + 1) != FALSE;
    if (!m_bPortOpened) return FALSE;
    if (found.parity != 'N' || found.dataBits != 8 || found.stopBits != 1) {
        device->SetParity(found.parity);
        device->SetDataBits(found.dataBits);
        device->SetStopBits(found.stopBits);
        if (!device->ChangeBaudRate()) return FALSE;
    }
    StoreConnection(found.code);
    return TRUE;
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
