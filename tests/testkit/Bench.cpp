#include "tests/testkit/Bench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

#include "device/PortSource.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace testkit_test {
namespace {

void RegisterResourcesOnce() {
    static const bool registered = [] {
        resources::RegisterResources();
        return true;
    }();
    (void)registered;
}

bool IsReadyPoll(const std::string& command) {
    return command == "?" || command == "??";
}

// Control bytes as <XX>, so a log line shows what went over the wire.
std::string Printable(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += '<';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
            out += '>';
        }
    }
    return out;
}

const char* DirectionName(sim::Direction direction) {
    switch (direction) {
        case sim::Direction::Received:
            return "rx";
        case sim::Direction::Sent:
            return "tx";
        case sim::Direction::Dropped:
            return "dropped";
    }
    return "?";
}

}  // namespace

Bench::Bench() {
    RegisterResourcesOnce();
}

Bench::~Bench() {
    m_driver.reset();
    m_sheet.reset();
    device::SetExtraPorts({});
}

sim::PtyServer* Bench::StartInstrument(sim::State state, std::vector<sim::Fault> faults) {
    sim::ServerConfig config;
    config.state = std::move(state);
    config.faults = std::move(faults);
    std::string error;
    std::unique_ptr<sim::PtyServer> server = sim::PtyServer::Start(std::move(config), error);
    if (!server) {
        ADD_FAILURE() << "the simulated instrument did not start: " << error;
        return nullptr;
    }
    const std::lock_guard lock(m_instrumentsLock);
    m_instruments.push_back(std::move(server));
    return m_instruments.back().get();
}

void Bench::StopInstrument(const sim::PtyServer* instrument) {
    std::unique_ptr<sim::PtyServer> stopped;
    {
        const std::lock_guard lock(m_instrumentsLock);
        const auto it = std::find_if(m_instruments.begin(), m_instruments.end(),
                                     [&](const auto& owned) { return owned.get() == instrument; });
        if (it == m_instruments.end()) return;
        stopped = std::move(*it);
        m_instruments.erase(it);
    }
}

void Bench::MakeSheet(std::vector<std::string> portNodes) {
    device::SetExtraPorts(std::move(portNodes));
    m_sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
    m_driver = std::make_unique<framework::WizardDriver>(*m_sheet);
}

int Bench::Run(const std::function<void(framework::WizardDriver&)>& script) {
    m_host.SetModalScript([this, &script](framework::PropertySheet&) { script(*m_driver); });
    const int result = m_sheet->DoModal();
    m_host.SetModalScript({});
    return result;
}

sim::State StateOf(int mode, int baud) {
    sim::State state;
    state.mode = mode;
    state.baud = baud;
    return state;
}

std::vector<std::string> Commands(const sim::PtyServer& instrument) {
    std::vector<std::string> commands = instrument.Traffic().Texts(sim::Direction::Received);
    std::erase_if(commands, IsReadyPoll);
    return commands;
}

bool WaitUntilHeard(const sim::PtyServer& instrument, const std::string& command, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (CountOf(instrument, command) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

int CountOf(const sim::PtyServer& instrument, const std::string& command) {
    const std::vector<std::string> texts = instrument.Traffic().Texts(sim::Direction::Received);
    return static_cast<int>(std::count(texts.begin(), texts.end(), command));
}

std::string Traffic(const sim::PtyServer& instrument) {
    const std::vector<sim::LogEntry> entries = instrument.Traffic().Entries();
    const std::int64_t start = entries.empty() ? 0 : entries.front().timeMs;
    std::ostringstream out;
    out << "traffic of the instrument on " << instrument.SlavePath() << ":\n";
    for (const sim::LogEntry& e : entries) {
        out << "  +" << e.timeMs - start << " ms " << DirectionName(e.direction) << " \""
            << Printable(e.text) << '"';
        if (!e.note.empty()) out << "  (" << e.note << ')';
        out << '\n';
    }
    return out.str();
}

std::string Describe(const sim::State& s) {
    std::ostringstream out;
    out << "mode " << s.mode << ", " << s.baud << " baud, version '" << s.version << "', filters";
    for (const int f : s.filters)
        out << ' ' << f;
    out << " (separator '" << s.filterSeparator << "', slide '" << s.slideKind << "', range "
        << s.filterMin << '-' << s.filterMax << "), measurement " << s.measurementMode << " ("
        << s.flashes << " flashes, " << s.points << " points, " << s.distance << " um), plate";
    for (const int p : s.plate)
        out << ' ' << p;
    return out.str();
}

}  // namespace testkit_test
