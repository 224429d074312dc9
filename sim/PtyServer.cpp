#include "sim/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "sim/StateFile.h"

namespace sim {
namespace {

// How often an idle loop looks again; also the longest a stop request waits.
constexpr int kIdleMs = 20;
// How long a reply may wait for room in the pty before it is given up.
constexpr int kWriteTimeoutMs = 1000;

struct Speed {
    int baud;
    speed_t code;
};
constexpr std::array<Speed, 8> kSpeeds{{{300, B300},
                                        {600, B600},
                                        {1200, B1200},
                                        {2400, B2400},
                                        {4800, B4800},
                                        {9600, B9600},
                                        {19200, B19200},
                                        {38400, B38400}}};

int BaudOf(speed_t code) {
    for (const Speed& s : kSpeeds) {
        if (s.code == code) return s.baud;
    }
    return 0;
}

speed_t CodeOf(int baud) {
    for (const Speed& s : kSpeeds) {
        if (s.baud == baud) return s.code;
    }
    return B9600;
}

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
            return "ignored: wrong checksum";
        case Outcome::WrongFrameKind:
            return "ignored: short frame in native mode";
    }
    return {};
}

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
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
    m_master.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_master) return Fail(error, SystemError("posix_openpt"));
    char name[128];
    if (grantpt(m_master.Get()) != 0 || unlockpt(m_master.Get()) != 0 ||
        ptsname_r(m_master.Get(), name, sizeof name) != 0) {
        return Fail(error, SystemError("pseudo-terminal set-up"));
    }
    m_slavePath = name;

    // Raw mode without echo on the pty, at the instrument's own line, so a plain client that
    // changes nothing is heard; on Linux the master's settings are the slave's.
    termios tio{};
    if (tcgetattr(m_master.Get(), &tio) != 0) return Fail(error, SystemError("tcgetattr"));
    cfmakeraw(&tio);
    const Line own = LineOf(config.state.mode, config.state.baud);
    cfsetispeed(&tio, CodeOf(own.baud));
    cfsetospeed(&tio, CodeOf(own.baud));
    tio.c_cflag = own.twoStopBits ? (tio.c_cflag | CSTOPB) : (tio.c_cflag & ~tcflag_t{CSTOPB});
    if (tcsetattr(m_master.Get(), TCSANOW, &tio) != 0) return Fail(error, SystemError("tcsetattr"));
    m_slave.Reset(open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_slave) return Fail(error, SystemError(name));
    m_stop.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!m_stop) return Fail(error, SystemError("eventfd"));
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
        const std::uint64_t one = 1;
        if (write(m_stop.Get(), &one, sizeof one) < 0) std::perror("veltrix-sim: stop");
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
        pollfd fds[2] = {{m_master.Get(), POLLIN, 0}, {m_stop.Get(), POLLIN, 0}};
        const int ready = poll(fds, 2, kIdleMs);
        if (fds[1].revents != 0) return;
        if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
            const ssize_t n = read(m_master.Get(), buffer.data(), buffer.size());
            if (n > 0) {
                if (!Handle(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return;
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        }
        // Nothing to read, or the pty reports a hang-up while no slave is open: wait a little
        // instead of spinning on it.
        if (ready != 0 && WaitForStop(kIdleMs)) return;
    }
}

bool PtyServer::Handle(std::string_view bytes) {
    // The host's line is read as its bytes arrive: it switches its line right after the "+"
    // of a mode change and writes the type query at once.
    const std::optional<Line> host = HostLine();
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
        if (e.delayMs > 0 && WaitForStop(e.delayMs)) return false;
        const bool sent = Send(e.wire, e.paceBaud);
        m_log.Add(Direction::Sent, e.reply, Hex(e.wire) + (sent ? "" : " (not sent)"));
    }
    return true;
}

std::optional<Line> PtyServer::HostLine() const {
    termios tio{};
    if (tcgetattr(m_master.Get(), &tio) != 0) return std::nullopt;
    const int baud = BaudOf(cfgetospeed(&tio));
    if (baud == 0) return std::nullopt;
    return Line{baud, (tio.c_cflag & CSTOPB) != 0};
}

bool PtyServer::Send(const std::string& wire, int paceBaud) {
    if (paceBaud <= 0) return WriteAll(wire.data(), wire.size());
    // Ten bit times per byte: start bit, data and parity bits, stop bits.
    const auto byteTime = std::chrono::microseconds(10'000'000 / paceBaud);
    auto next = std::chrono::steady_clock::now();
    for (char byte : wire) {
        if (!WriteAll(&byte, 1)) return false;
        next += byteTime;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            next - std::chrono::steady_clock::now());
        if (wait.count() > 0 && WaitForStop(static_cast<int>(wait.count()))) return false;
    }
    return true;
}

bool PtyServer::WriteAll(const char* data, std::size_t size) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (size > 0) {
        const ssize_t n = write(m_master.Get(), data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2] = {{m_master.Get(), POLLOUT, 0}, {m_stop.Get(), POLLIN, 0}};
        poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), kIdleMs)));
        if (fds[1].revents != 0) return false;
    }
    return true;
}

bool PtyServer::WaitForStop(int ms) const {
    pollfd fd{m_stop.Get(), POLLIN, 0};
    return poll(&fd, 1, ms) > 0;
}

}  // namespace sim
