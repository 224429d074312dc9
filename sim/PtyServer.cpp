#include "sim/PtyServer.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

#include "sim/StateFile.h"

namespace sim {
namespace {

// How long the server waits for the host before it looks again (also for a stop request).
constexpr int kIdleMs = 20;

std::string Describe(const Line& line) {
    return std::to_string(line.baud) + " baud " + (line.twoStopBits ? "2 stop bits" : "1 stop bit");
}

std::string Note(Outcome outcome) {
    switch (outcome) {
        case Outcome::Answered:
            return {};
        case Outcome::Silenced:
            return "silenced by a fault";
        case Outcome::BadChecksum:
            return "not executed: wrong checksum";
        case Outcome::WrongFrameKind:
            return "ignored: short frame in native mode";
    }
    return {};
}

}  // namespace

std::unique_ptr<PtyServer> PtyServer::Start(ServerConfig config, std::string& error) {
    std::unique_ptr<PtyServer> server(new PtyServer());
    if (!server->Open(config, error)) return nullptr;
    server->m_thread = std::thread([s = server.get()] { s->Run(); });
    return server;
}

bool PtyServer::Open(ServerConfig& config, std::string& error) {
    error = Validate(config.state);
    if (!error.empty()) return false;
    if (!m_pty.Open(LineOf(config.state.mode, config.state.baud), error)) return false;
    if (!config.logFile.empty() && !m_log.OpenFile(config.logFile, error)) return false;

    m_stateFile = config.stateFile;
    m_instrument = Instrument(config.state);
    for (Fault& f : config.faults)
        m_instrument.Faults().Add(std::move(f));
    if (!m_stateFile.empty()) {
        m_instrument.SetStoreFunction([this](const State& state) {
            std::string saveError;
            if (SaveStateFile(m_stateFile, state, saveError)) return true;
            std::fprintf(stderr, "veltrix-sim: state not stored: %s\n", saveError.c_str());
            return false;
        });
    }
    return true;
}

PtyServer::~PtyServer() {
    if (m_thread.joinable()) {
        m_pty.RequestStop();
        m_thread.join();
    }
}

State PtyServer::Current() const {
    std::lock_guard lock(m_mutex);
    return m_instrument.Current();
}

State PtyServer::Stored() const {
    std::lock_guard lock(m_mutex);
    return m_instrument.Stored();
}

void PtyServer::SetCurrent(State state) {
    std::lock_guard lock(m_mutex);
    m_instrument.SetCurrent(std::move(state));
}

void PtyServer::AddFault(Fault fault) {
    std::lock_guard lock(m_mutex);
    m_instrument.Faults().Add(std::move(fault));
}

void PtyServer::ClearFaults() {
    std::lock_guard lock(m_mutex);
    m_instrument.Faults().Clear();
}

void PtyServer::Run() {
    std::array<char, 256> buffer;
    for (;;) {
        const long n = m_pty.Read(buffer.data(), buffer.size(), kIdleMs);
        if (n < 0) return;
        if (n > 0 && !Handle(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return;
    }
}

bool PtyServer::Handle(std::string_view bytes) {
    // The host's line is read as its bytes arrive: it switches its line right after the "+"
    // of a mode change and writes the type query at once.
    const std::optional<Line> host = m_pty.HostLine();
    std::vector<Exchange> exchanges;
    {
        std::lock_guard lock(m_mutex);
        const Line own = m_instrument.OwnLine();
        if (!host || *host != own) {
            m_instrument.DropPartialFrame();
            m_log.Add(Direction::Dropped, std::string(bytes),
                      "host at " + (host ? Describe(*host) : "unknown speed") + ", instrument at " +
                          Describe(own));
            return true;
        }
        exchanges = m_instrument.Receive(bytes);
    }
    for (const Exchange& e : exchanges) {
        m_log.Add(Direction::Received, e.command, Note(e.outcome));
        if (e.wire.empty()) continue;
        if (e.delayMs > 0 && m_pty.WaitForStop(e.delayMs)) return false;
        const bool sent = Send(e.wire, e.paceBaud);
        m_log.Add(Direction::Sent, e.reply, Hex(e.wire) + (sent ? "" : " (not sent)"));
    }
    return true;
}

bool PtyServer::Send(const std::string& wire, int paceBaud) {
    if (paceBaud <= 0) return m_pty.WriteAll(wire.data(), wire.size());
    // Ten bit times per byte: start bit, data and parity bits, stop bits.
    const auto byteTime = std::chrono::microseconds(10'000'000 / paceBaud);
    auto next = std::chrono::steady_clock::now();
    for (char byte : wire) {
        if (!m_pty.WriteAll(&byte, 1)) return false;
        next += byteTime;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            next - std::chrono::steady_clock::now());
        if (wait.count() > 0 && m_pty.WaitForStop(static_cast<int>(wait.count()))) return false;
    }
    return true;
}

}  // namespace sim
