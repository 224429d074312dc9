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

Session::Session(const PortJob& job, framework::RecordingHost& host, ObservedSheet& sheet)
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
    m_result.model = NameAt(kModeNames, device::InstrumentTypeIndex(m_sheet.GetInstrumentType()));
    if (m_result.firmware.empty()) m_result.firmware = m_sheet.LastVersion();
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
    // Leaving step 1 connects; the others check what they show.
    const std::string why = LastBoxSince(boxes);
    return Fail(leaving + ": " + (why.empty() ? "the step could not be left" : why));
}

bool Session::PassMode() {
    const int mode = CheckedPosition(IDC_MODE_VELTRIX);
    if (mode >= 0) m_held.mode = mode;
    m_held.baud = m_sheet.GetDevice()->GetBaudRate();
    if (!Choosing()) return true;
    const Profile& wanted = *m_job.wanted;
    if (wanted.mode && wanted.mode != m_held.mode &&
        !ChoosePosition(IDC_MODE_VELTRIX, *wanted.mode)) {
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
    // The slide's positions are the boxes the step lets the user edit: 4, 6 or none.
    std::size_t present = 0;
    while (present < kPositionBoxes.size() && m_driver.IsEnabled(kPositionBoxes[present]))
        ++present;
    if (present != 4 && present != 6) present = 0;
    if (present > 0) {
        std::vector<int> filters;
        for (std::size_t i = 0; i < present; ++i)
            filters.push_back(ValueString(m_driver.Text(kPositionBoxes[i])).ToInt());
        m_held.filters = filters;
    } else if (m_job.action == Action::Read) {
        Note("filters left out: step 3 shows no filter slide");
    }
    if (!m_job.wanted || !m_job.wanted->filters) return true;
    const std::vector<int>& wanted = *m_job.wanted->filters;
    if (present == 0) return Fail("filters: the instrument has no filter slide");
    if (wanted.size() != present) {
        return Fail("filters: the profile gives " + std::to_string(wanted.size()) +
                    " positions, the instrument's slide has " + std::to_string(present));
    }
    if (!Choosing()) return true;
    // Only positions that differ are typed: typing marks the table for writing on Finish.
    for (std::size_t i = 0; i < present; ++i) {
        if (wanted[i] != (*m_held.filters)[i] &&
            !m_driver.Type(kPositionBoxes[i], std::to_string(wanted[i]))) {
            return Fail("filters: step 3 refused position " + std::to_string(i + 1));
        }
    }
    return true;
}

bool Session::PassMeasurement() {
    // Activation replaces what the step read by the selected preset's values; the instrument
    // holds that preset only when nothing was replaced. An emulation reports just the preset's
    // index, the native mode the three values.
    const std::optional<MeasurementRead>& read = m_sheet.MeasurementAsRead();
    const MeasurementRead now = m_sheet.MeasurementNow();
    const bool valuesRead = m_sheet.GetInstrumentType() == device::kTypeVeltrix;
    const bool held = read && read->mode == now.mode && now.mode >= 0 &&
                      now.mode < static_cast<int>(kMeasurementNames.size()) &&
                      (!valuesRead || *read == now);
    if (held) {
        m_held.measurement = now.mode;
    } else if (m_job.action == Action::Read && read) {
        Note(valuesRead
                 ? "measurement left out: the instrument holds " + std::to_string(read->flashes) +
                       " flashes, " + std::to_string(read->points) + " points, " +
                       std::to_string(read->distance) +
                       " µm, which is none of the presets (Finish would write normal)"
                 : "measurement left out: the instrument reports mode " +
                       std::to_string(read->mode) +
                       ", which is none of the presets (Finish would write normal)");
    }
    if (!Choosing() || !m_job.wanted->measurement) return true;
    const int wanted = *m_job.wanted->measurement;
    if (wanted != now.mode && !ChoosePosition(IDC_NORMAL, wanted)) {
        return Fail("measurement: step 4 refused " + NameAt(kMeasurementNames, wanted));
    }
    return true;
}

bool Session::PassPlate() {
    const bool available = m_driver.IsEnabled(IDC_POWER_ON_MOVE_IN);
    if (available) {
        Profile::Plate plate;
        for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
            const int position = CheckedPosition(kPlateGroups[i].firstButton);
            if (position >= 0) plate[i] = position;
        }
        m_held.plate = plate;
    } else if (m_job.action == Action::Read) {
        Note("plate left out: " + m_driver.Text(IDC_NOT_AVAILABLE));
    }
    if (!m_job.wanted || !m_job.wanted->plate) return true;
    if (!available) return Fail("plate: " + m_driver.Text(IDC_NOT_AVAILABLE));
    if (!Choosing()) return true;
    for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
        const std::optional<int> wanted = (*m_job.wanted->plate)[i];
        if (wanted && wanted != (*m_held.plate)[i] &&
            !ChoosePosition(kPlateGroups[i].firstButton, *wanted)) {
            return Fail("plate." + std::string(kPlateGroups[i].key) + ": step 5 refused " +
                        NameAt(kPlateChoiceNames, *wanted));
        }
    }
    return true;
}

void Session::Conclude() {
    if (m_job.action == Action::Read) {
        m_result.profile = m_held;
        m_result.ok = true;
        return;
    }
    const std::vector<std::string> differences = Differences(m_held, *m_job.wanted);
    m_result.messages.insert(m_result.messages.end(), differences.begin(), differences.end());
    switch (m_job.action) {
        case Action::Check:
            m_result.ok = differences.empty();
            if (!m_result.ok) m_result.error = "differs from the profile";
            return;
        case Action::DryRun:
            m_result.changed = !differences.empty();
            m_result.ok = true;
            return;
        default:
            break;
    }
    // Nothing differs: nothing is written.
    if (differences.empty()) {
        m_result.ok = true;
        return;
    }
    PressFinish();
}

void Session::PressFinish() {
    const std::size_t boxes = m_host.Boxes().size();
    Progress("Finish");
    m_driver.Finish();
    m_result.changed = true;
    if (m_driver.IsEnded() && m_driver.Result() == framework::IDOK) {
        m_result.saved = true;
        m_result.ok = true;
        return;
    }
    const std::vector<std::string> all = m_host.BoxTexts();
    const std::vector<std::string> shown(all.begin() + static_cast<std::ptrdiff_t>(boxes),
                                         all.end());
    const bool refused =
        !shown.empty() && shown.back().rfind("Error saving instrument settings!\n", 0) == 0;
    if (refused) {
        Fail(
            "save: the instrument refused to store the settings (\"DB CNF WRITE\" was refused);"
            " it stored nothing");
        return;
    }
    std::string failed;
    for (const std::string& box : shown) {
        if (box.rfind("Error", 0) == 0) failed = OneLine(box);
    }
    // A lost link is said by its own box instead of the failure of the step it broke.
    if (failed.empty() && !shown.empty()) failed = OneLine(shown.back());
    Fail("apply: " + (failed.empty() ? std::string("Finish did not complete") : failed) +
         "; \"DB CNF WRITE\" was not sent, the instrument stored nothing");
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
