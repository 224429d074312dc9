#include "sim/ReplayServer.h"

#include <array>
#include <chrono>
#include <utility>

namespace sim {
namespace {

// How often the server looks at the clock while a command is pending or the end is near.
constexpr int kTickMs = 5;

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::unique_ptr<ReplayServer> ReplayServer::Start(Trace trace, Report report, std::string& error,
                                                  int endSilenceMs) {
    const Line first = trace.steps.empty() ? Line{} : trace.steps.front().line;
    std::unique_ptr<ReplayServer> server(
        new ReplayServer(std::move(trace), std::move(report), endSilenceMs));
    if (!server->m_pty.Open(first, error, true)) return nullptr;
    server->m_thread = std::thread([s = server.get()] { s->Run(); });
    return server;
}

ReplayServer::ReplayServer(Trace trace, Report report, int endSilenceMs)
    : m_report(std::move(report)), m_endSilenceMs(endSilenceMs), m_replay(std::move(trace)) {}

ReplayServer::~ReplayServer() {
    if (m_thread.joinable()) {
        m_pty.RequestStop();
        m_thread.join();
    }
}

void ReplayServer::Run() {
    std::array<char, 256> buffer;
    std::int64_t activeAt = NowMs();  // the last byte either way, or the last time a port was open
    bool opened = false;              // the program has had the port open
    for (;;) {
        const long n = m_pty.Read(buffer.data(), buffer.size(), kTickMs);
        if (n < 0) return;
        const std::int64_t now = NowMs();
        const bool connected = m_pty.HostConnected();
        std::string answer;
        bool finished = false;
        {
            std::lock_guard lock(m_mutex);
            if (n > 0) {
                answer =
                    m_replay.Receive(std::string_view(buffer.data(), static_cast<std::size_t>(n)),
                                     m_pty.HostLine(), now);
            }
            answer += m_replay.Tick(now);
            if (n > 0 || !answer.empty() || (connected && !m_replay.Done())) activeAt = now;
            opened = opened || connected || n > 0;
            const bool silent = now - activeAt >= m_endSilenceMs;
            if (m_replay.Done()) {
                if (connected && silent) m_replay.KeptOpen(static_cast<int>(now - activeAt));
                finished = !connected || silent;
            } else if (opened && !connected && silent) {
                m_replay.Finish();
                finished = true;
            }
            Reported();
        }
        if (!answer.empty()) m_pty.WriteAll(answer.data(), answer.size());
        if (finished) {
            std::lock_guard lock(m_mutex);
            m_finished = true;
            m_changed.notify_all();
            return;
        }
    }
}

void ReplayServer::Reported() {
    const std::vector<std::string>& all = m_replay.Differences();
    for (; m_reported < all.size(); ++m_reported) {
        if (m_report) m_report(all[m_reported]);
    }
}

bool ReplayServer::WaitUntilFinished(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_finished; });
}

std::vector<std::string> ReplayServer::Stop() {
    if (m_thread.joinable()) {
        m_pty.RequestStop();
        m_thread.join();
    }
    std::lock_guard lock(m_mutex);
    m_replay.Finish();
    Reported();
    return m_replay.Differences();
}

int ReplayServer::Answered() const {
    std::lock_guard lock(m_mutex);
    return m_replay.Answered();
}

int ReplayServer::Recorded() const {
    std::lock_guard lock(m_mutex);
    return m_replay.Recorded();
}

}  // namespace sim
