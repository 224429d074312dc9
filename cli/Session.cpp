#include "cli/Session.h"

#include "cli/Console.h"
#include "cli/Differences.h"
#include "cli/Text.h"
#include "cli/Vocabulary.h"
#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "framework/Ids.h"
#include "resources/Resource.h"
#include "support/ValueString.h"

namespace cli {
namespace {

std::string OneLine(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

Session::Session(const PortJob& job, framework::RecordingHost& host,
                 CVeltrixInstrumentSettingsDlg& sheet)
    : m_job(job), m_host(host), m_sheet(sheet), m_driver(sheet) {
    m_result.port = job.port;
}

PortResult Session::Run() {
    const bool passed = (m_driver.Open() || Fail("the wizard could not be opened")) && Connect();
    if (passed && m_job.action == Action::Find) {
        DescribeFound();
    } else if (passed && Next("connect") && PassMode() && Next("mode") && PassFilters() &&
               Next("filters") && PassMeasurement() && Next("measurement") && PassPlate()) {
        Conclude();
    }
    if (!m_driver.IsEnded()) Cancel();
    if (m_job.action != Action::Find) CollectFailures();
    // What was read before a run stopped is given all the same.
    if (m_job.action == Action::Read && !m_result.profile && m_sheet.Settings().mode.IsRead()) {
        m_result.profile = ProfileOf(m_sheet.Settings());
    }
    m_result.model = NameAt(kModeNames, device::InstrumentTypeIndex(m_sheet.GetInstrumentType()));
    if (const std::string* version = m_sheet.Settings().firmware.Get();
        m_result.firmware.empty() && version != nullptr) {
        m_result.firmware = *version;
    }
    const std::vector<std::string> boxes = m_host.BoxTexts();
    m_result.messages.insert(m_result.messages.end(), boxes.begin(), boxes.end());
    return m_result;
}

void Session::Progress(const std::string& text) {
    if (text == m_lastProgress || m_job.console == nullptr) return;
    m_lastProgress = text;
    m_job.console->Progress(m_job.port, text);
}

bool Session::Connect() {
    if (m_job.baud) {
        if (!m_driver.Select(IDC_BAUDRATE, std::to_string(*m_job.baud))) {
            return Fail("connect: step 1 offers no rate " + std::to_string(*m_job.baud));
        }
        return true;
    }
    Progress("Find any");
    m_driver.Click(IDC_FIND_ANY);
    if (device::InstrumentTypeIndex(m_sheet.GetInstrumentType()) < 0) {
        const std::string reason = m_sheet.GetDevice()->GetLastErrorText();
        return Fail("connect: no instrument answered at any baud rate (Find any)" +
                    (reason.empty() ? std::string() : ": " + OneLine(reason)));
    }
    return true;
}

void Session::DescribeFound() {
    SerialDevice& port = *m_sheet.GetDevice();
    m_result.baud = m_driver.SelectedText(IDC_BAUDRATE);
    m_result.line =
        std::to_string(port.GetDataBits()) + port.GetParity() + std::to_string(port.GetStopBits());
    m_result.firmware = m_sheet.GetFirmwareVersion();
    m_result.ok = true;
}

bool Session::Choosing() const {
    return m_job.action == Action::Apply || m_job.action == Action::DryRun;
}

bool Session::Next(const std::string& leaving) {
    const int before = m_driver.ActiveIndex();
    const std::size_t boxes = m_host.Boxes().size();
    m_driver.Next();
    if (m_driver.ActiveIndex() == before + 1) {
        Progress(m_driver.Caption());
        return true;
    }
    // A step that shows what it could not read may refuse to be left because of it: the read's
    // failure is the cause.
    if (!m_sheet.Record().Failures().empty()) return false;
    // Leaving step 1 connects; the others check what they show.
    const std::string why = LastBoxSince(boxes);
    return Fail(leaving + ": " + (why.empty() ? "the step could not be left" : why));
}

bool Session::PassMode() {
    if (!Choosing()) return true;
    const Profile& wanted = *m_job.wanted;
    const std::optional<int> held = m_sheet.Settings().mode.IsRead()
                                        ? std::optional<int>(m_sheet.Settings().mode.value)
                                        : std::nullopt;
    if (wanted.mode && wanted.mode != held && !ChoosePosition(IDC_MODE_VELTRIX, *wanted.mode)) {
        return Fail("mode: step 2 refused " + NameAt(kModeNames, *wanted.mode));
    }
    const std::string baud = wanted.baud ? std::to_string(*wanted.baud) : std::string();
    if (wanted.baud && m_driver.SelectedText(IDC_BAUDRATE) != baud &&
        !m_driver.Select(IDC_BAUDRATE, baud)) {
        const int shownMode = CheckedPosition(IDC_MODE_VELTRIX);
        return Fail("baud: " + baud + " is not offered in " + NameAt(kModeNames, shownMode) +
                    " mode (offered: " + Join(m_driver.Items(IDC_BAUDRATE), ", ") + ")");
    }
    return true;
}

bool Session::PassFilters() {
    const engine::SettingRead<std::vector<int>>& held = m_sheet.Settings().filters;
    if (m_job.action == Action::Read && held.status == engine::ReadStatus::NotHeld) {
        Note("filters left out: " + held.notHeld);
    }
    // A comparison lists what differs; only an apply needs the slide to take the profile.
    if (!Choosing() || !m_job.wanted->filters || ReadFailed(held.status)) return true;
    const std::vector<int>& wanted = *m_job.wanted->filters;
    if (!held.IsRead()) return Fail("filters: the instrument has no filter slide");
    const std::size_t present = held.value.size();
    if (wanted.size() != present) {
        return Fail("filters: the profile gives " + std::to_string(wanted.size()) +
                    " positions, the instrument's slide has " + std::to_string(present));
    }
    // Only positions that differ are typed: typing marks the table for writing on Finish.
    for (std::size_t i = 0; i < present; ++i) {
        if (wanted[i] != held.value[i] &&
            !m_driver.Type(kPositionBoxes[i], std::to_string(wanted[i]))) {
            return Fail("filters: step 3 refused position " + std::to_string(i + 1));
        }
    }
    return true;
}

bool Session::PassMeasurement() {
    const engine::SettingRead<engine::Measurement>& held = m_sheet.Settings().measurement;
    if (m_job.action == Action::Read && held.IsRead() && held.value.mode < 0) {
        const auto& values = held.value.flashesPointsDistance;
        Note(values ? "measurement left out: the instrument holds " + std::to_string((*values)[0]) +
                          " flashes, " + std::to_string((*values)[1]) + " points, " +
                          std::to_string((*values)[2]) +
                          " µm, which is none of the presets (Finish would write normal)"
                    : std::string("measurement left out: the instrument reports a mode that is "
                                  "none of the presets (Finish would write normal)"));
    }
    if (!Choosing() || !m_job.wanted->measurement || ReadFailed(held.status)) return true;
    const int wanted = *m_job.wanted->measurement;
    if (wanted != CheckedPosition(IDC_NORMAL) && !ChoosePosition(IDC_NORMAL, wanted)) {
        return Fail("measurement: step 4 refused " + NameAt(kMeasurementNames, wanted));
    }
    return true;
}

bool Session::PassPlate() {
    const engine::SettingRead<engine::PlateDefaults>& held = m_sheet.Settings().plate;
    if (m_job.action == Action::Read && held.status == engine::ReadStatus::NotHeld) {
        Note("plate left out: " + held.notHeld);
    }
    if (!Choosing() || !m_job.wanted->plate || ReadFailed(held.status)) return true;
    // The step offers the defaults for the mode chosen on step 2 and the firmware.
    if (!m_driver.IsEnabled(IDC_POWER_ON_MOVE_IN)) {
        return Fail("plate: " + m_driver.Text(IDC_NOT_AVAILABLE));
    }
    for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
        const std::optional<int> wanted = (*m_job.wanted->plate)[i];
        if (wanted && wanted != CheckedPosition(kPlateGroups[i].firstButton) &&
            !ChoosePosition(kPlateGroups[i].firstButton, *wanted)) {
            return Fail("plate." + std::string(kPlateGroups[i].key) + ": step 5 refused " +
                        NameAt(kPlateChoiceNames, *wanted));
        }
    }
    return true;
}

void Session::Conclude() {
    const engine::InstrumentSettings& held = m_sheet.Settings();
    // Every read the command depends on must have succeeded; what could not be read is a
    // failure of its own and never "unchanged" or "matches".
    const bool allRead = m_sheet.Record().Failures().empty();
    if (m_job.action == Action::Read) {
        m_result.profile = ProfileOf(held);
        m_result.ok = allRead;
        return;
    }
    m_result.differences = Differences(held, *m_job.wanted);
    for (const Difference& difference : m_result.differences)
        m_result.messages.push_back(DifferenceLine(difference));
    switch (m_job.action) {
        case Action::Check:
            m_result.ok = allRead && m_result.differences.empty();
            if (allRead && !m_result.ok) m_result.error = "differs from the profile";
            return;
        case Action::DryRun:
            m_result.changed = !m_result.differences.empty();
            m_result.ok = allRead;
            return;
        default:
            break;
    }
    // Finish would write what the steps show in place of what could not be read.
    if (!allRead) return;
    // Nothing differs: nothing is written.
    if (m_result.differences.empty()) {
        m_result.ok = true;
        return;
    }
    PressFinish();
}

void Session::PressFinish() {
    const std::size_t boxes = m_host.Boxes().size();
    const std::size_t exchanges = m_sheet.Record().Size();
    Progress("Finish");
    m_driver.Finish();
    m_result.changed = true;
    if (m_driver.IsEnded() && m_driver.Result() == framework::IDOK) {
        m_result.saved = true;
        m_result.ok = true;
        return;
    }
    const std::vector<engine::Exchange>& all = m_sheet.Record().All();
    for (std::size_t i = exchanges; i < all.size(); ++i) {
        const engine::Exchange& exchange = all[i];
        if (!exchange.failed) continue;
        // The save serves no setting alone.
        if (exchange.setting.empty()) {
            Fail("save: " + engine::DescribeFailure(exchange) + "; the instrument stored nothing");
        } else {
            Fail(exchange.setting + ": " + engine::DescribeFailure(exchange) +
                 "; \"DB CNF WRITE\" was not sent, the instrument stored nothing");
        }
        return;
    }
    // A check of the step itself (a value it refuses) stopped Finish: its box says why.
    const std::string why = LastBoxSince(boxes);
    Fail("apply: " + (why.empty() ? std::string("Finish did not complete") : why) +
         "; \"DB CNF WRITE\" was not sent, the instrument stored nothing");
}

void Session::CollectFailures() {
    for (const engine::Exchange& exchange : m_sheet.Record().Failures()) {
        m_result.failures.push_back(
            {exchange.setting, exchange.command, engine::CauseOf(exchange)});
    }
    if (m_result.failures.empty() || !m_result.error.empty()) return;
    const engine::Exchange first = m_sheet.Record().Failures().front();
    Fail((first.setting.empty() ? std::string("save") : first.setting) + ": " +
         engine::DescribeFailure(first));
}

bool Session::Fail(std::string error) {
    m_result.ok = false;
    m_result.error = std::move(error);
    return false;
}

void Session::Note(const std::string& text) {
    m_result.messages.push_back(text);
    if (m_job.console != nullptr) m_job.console->Box(m_job.port, text);
}

void Session::Cancel() {
    m_driver.Cancel();
}

int Session::CheckedPosition(int first) const {
    framework::PropertyPage* page = m_driver.ActivePage();
    if (page == nullptr) return -1;
    const std::vector<framework::Control*> group = page->RadioGroupOf(first);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i]->IsChecked()) return static_cast<int>(i);
    }
    return -1;
}

bool Session::ChoosePosition(int first, int position) {
    framework::PropertyPage* page = m_driver.ActivePage();
    if (page == nullptr) return false;
    const std::vector<framework::Control*> group = page->RadioGroupOf(first);
    if (position < 0 || static_cast<std::size_t>(position) >= group.size()) return false;
    framework::Control* chosen = group[static_cast<std::size_t>(position)];
    if (chosen->IsVisible()) return m_driver.Click(chosen->Id());
    // Step 5 keeps its remote groups hidden for good, yet reads and hands them over on Finish.
    for (framework::Control* button : group)
        page->CheckRadio(button->Id(), button == chosen);
    return true;
}

std::string Session::LastBoxSince(std::size_t count) const {
    const std::vector<framework::RecordedBox>& boxes = m_host.Boxes();
    return boxes.size() > count ? OneLine(boxes.back().text) : std::string();
}

}  // namespace cli
