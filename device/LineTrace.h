#pragma once

// --trace: what went over the serial line, one entry per burst (consecutive bytes in one
// direction with no pause longer than a few milliseconds, so a reply is one entry), written
// once the burst is over (a reply as soon as its CR came). The header names the program and its
// version, the start time and the first port and line settings (shortened here):
//   # Veltrix line trace, veltrix-settings 1.0.5, started ..., on COM1 at 9600 baud, 8N1
//   14:03:07.412 W 4  02 21 0D 00                                      |<STX>!<CR><NUL>|
//   14:03:07.431 R 5  02 2B 56 54 0D                                   |<STX>+VT<CR>|
//   14:03:08.650 = /dev/ttyUSB0  ( COM1 ) at 9600 baud, 7E2
//   # Run ended 2026-12-07 14:03:09.020 +0100
// A "=" line marks every later change of port or line settings. A burst of more than 16 bytes
// goes on over indented lines of 16, so the text column stays where it is. The last line says
// that the run ended, so a trace that was cut short shows it. veltrix-sim --replay reads this
// format back.
//   device::LineTrace trace;
//   if (!trace.Open("line.trace", error, "veltrix-instrument-settings")) ...
//   trace.Settings(now, "/dev/ttyUSB0  ( COM1 )", {9600, 8, 'N', 1});
//   trace.Bytes(now, 'W', bytes, 4);

#include <cstdint>
#include <mutex>
#include <string>

#include "support/SafeFile.h"

namespace device {

// When something happened on the line: a monotonic count for the pauses, and the wall-clock
// time for the reader.
struct TraceTime {
    std::int64_t steadyUs = 0;
    std::int64_t wallMs = 0;  // since the epoch
    static TraceTime Now();
};

struct TraceLine {
    int baud = 9600;
    int dataBits = 8;
    char parity = 'N';
    int stopBits = 1;
    bool operator==(const TraceLine&) const = default;
};

// "HH:MM:SS.mmm" in local time.
std::string TraceClock(std::int64_t wallMs);
// "/dev/ttyUSB0  ( COM1 ) at 9600 baud, 8N1"
std::string DescribeTraceLine(const std::string& port, const TraceLine& line);
// One burst's lines: time, direction, count, the bytes in hex and as text (control bytes by
// name, see support::LineText), sixteen bytes a line; the lines after the first are indented to
// the hex column, and the hex column is padded, so the text column lines up. No final newline.
std::string FormatBurst(const std::string& time, char direction, const std::string& bytes);
// The longest pause within a burst: a few milliseconds, plus two byte times at slow rates.
std::int64_t BurstGapUs(int baud);

// Safe to share between threads; a trace meant for replay should watch one device.
class LineTrace {
public:
    LineTrace() = default;
    ~LineTrace();
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;

    // Creates the file (an existing one, or a link, is never replaced or followed); program:
    // the name for the header, which adds this build's version. False with the reason.
    bool Open(const std::string& path, std::string& error, const std::string& program = {});
    bool IsOpen() const;
    // Writes the burst under way and the line that says the run ended; the destructor does
    // it too.
    void Close();

    // The port and line the next bytes go over: the header before the first burst, then a line
    // of its own whenever they change.
    void Settings(const TraceTime& at, const std::string& port, const TraceLine& line);
    // Bytes that went over the line; they join the burst under way unless the direction
    // changed or the line was quiet for longer than a burst allows.
    void Bytes(const TraceTime& at, char direction, const unsigned char* bytes, int count);
    // The line went quiet (a read timed out): the next bytes begin a new burst.
    void EndBurst();
    // Empty, or why the file could not be written to at some point.
    std::string Error() const;

private:
    void CloseBurst();
    void Append(const std::string& line);

    mutable std::mutex m_mutex;
    support::OutputFile m_file;
    std::string m_program;
    std::int64_t m_startWallMs = 0;
    bool m_started = false;  // the header is written
    std::string m_port;
    TraceLine m_line;
    // The burst under way, written once it ends: a reply's CR came, the line settings change,
    // the direction turns, the line is quiet, or the trace closes.
    char m_direction = 0;  // 'W' or 'R'; 0 when no burst is under way
    std::string m_burst;
    std::string m_burstTime;
    std::int64_t m_lastUs = 0;
    std::string m_error;
};

}  // namespace device
