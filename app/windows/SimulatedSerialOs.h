#pragma once

// The instrument simulator inside the program (--simulate): Windows has no pseudo-terminal,
// so the simulated instrument sits behind the serial calls instead. One COM port, listed under
// a number that the machine does not use, is the simulator's; every other port goes to Windows.
// The instrument answers only while the port's line (speed, data bits, parity, stop bits)
// is its own, as a real one on a mismatched line hears noise; replies are read with the port's
// time-outs, as from a real port.
//   app::SimulatedSerialOs simulator(5, device::RealSerialOs());   // COM5
//   ports.push_back({app::SimulatedSerialOs::kName, "COM5"});
//   device::ScopedSerialOs use(simulator);

#include <cstdint>
#include <deque>
#include <string>

#include "device/windows/SerialOsWindows.h"
#include "sim/Instrument.h"

namespace app {

class SimulatedSerialOs final : public device::SerialOsWindows {
public:
    // The port's name in the port map; the port opens by it or by its COM name.
    static constexpr char kName[] = "Simulated instrument";

    SimulatedSerialOs(int comNumber, device::SerialOsWindows& system);

    int ComNumber() const { return m_comNumber; }
    const sim::Instrument& Instrument() const { return m_instrument; }

    HANDLE Open(const std::string& path) override;
    bool Close(HANDLE port) override;
    bool GetState(HANDLE port, DCB& dcb) override;
    bool SetState(HANDLE port, const DCB& dcb) override;
    bool GetTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) override;
    bool SetTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) override;
    bool GetMask(HANDLE port, DWORD& mask) override;
    bool SetMask(HANDLE port, DWORD mask) override;
    bool Setup(HANDLE port, DWORD receiveQueue, DWORD sendQueue) override;
    bool Purge(HANDLE port, DWORD flags) override;
    bool Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) override;
    bool Write(HANDLE port, const unsigned char* buffer, DWORD count, DWORD& written) override;
    bool ClearError(HANDLE port, COMSTAT& status) override;
    DWORD LastError() override;
    std::int64_t NowMs() override { return m_system.NowMs(); }

private:
    struct Pending {
        unsigned char byte;
        std::int64_t dueMs;  // when it has arrived
    };

    bool IsOurs(HANDLE port) const { return port == Handle(); }
    static HANDLE Handle();
    bool LineMatches() const;
    // Bytes that have arrived by now.
    DWORD Arrived() const;
    bool Fail(DWORD error);

    const int m_comNumber;
    device::SerialOsWindows& m_system;
    sim::Instrument m_instrument;
    bool m_open = false;
    DCB m_dcb{};
    COMMTIMEOUTS m_timeouts{};
    std::deque<Pending> m_replies;
    DWORD m_lastError = 0;
    bool m_ownError = false;
};

}  // namespace app
