#include "cli/Session.h"

#include "cli/Console.h"
#include "cli/Differences.h"
#include "cli/Profile.h"
#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "framework/Ids.h"
#include "profile/StepChoices.h"
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
    return Choose(profile::kModeStep);
}

bool Session::PassFilters() {
    const engine::SettingRead<std::vector<int>>& held = m_sheet.Settings().filters;
    if (m_job.action == Action::Read && held.status == engine::ReadStatus::NotHeld) {
        Note("filters left out: " + held.notHeld);
    }
    return Choose(profile::kFilterStep);
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
    return Choose(profile::kMeasurementStep);
}

bool Session::PassPlate() {
    const engine::SettingRead<engine::PlateDefaults>& held = m_sheet.Settings().plate;
    if (m_job.action == Action::Read && held.status == engine::ReadStatus::NotHeld) {
        Note("plate left out: " + held.notHeld);
    }
    return Choose(profile::kPlateStep);
}

bool Session::Choose(int step) {
    // A comparison lists what differs; only an apply sets the profile's choices.
    if (!Choosing()) return true;
    const std::string refusal = profile::ChooseOnStep(m_sheet, step, *m_job.wanted);
    return refusal.empty() || Fail(refusal);
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

std::string Session::LastBoxSince(std::size_t count) const {
    const std::vector<framework::RecordedBox>& boxes = m_host.Boxes();
    return boxes.size() > count ? OneLine(boxes.back().text) : std::string();
}

}  // namespace cli
