#pragma once

// --trace: what went over the serial line, one line per burst (consecutive bytes in one
// direction with no pause longer than a few milliseconds, so a reply is one line). The header
// names the program, the start time and the first port and line settings (shortened here):
//   # Veltrix line trace, veltrix-settings 1.0.5, started ..., on COM1 at 9600 baud, 8N1
//   14:03:07.412 W 4  02 21 0D 00                                      |.!..|
//   14:03:07.431 R 5  02 2B 56 54 0D                                   |.+VT.|
//   14:03:08.650 = /dev/ttyUSB0  ( COM1 ) at 9600 baud, 7E2
// A "=" line marks every later change of port or line settings. veltrix-sim --replay reads
// this format back.
//   device::LineTrace trace;
//   if (!trace.Open("line.log", error, "veltrix-instrument-settings 1.0.5")) ...
//   trace.Settings(now, "/dev/ttyUSB0  ( COM1 )", {9600, 8, 'N', 1});
//   trace.Bytes(now, 'W', bytes, 4);

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

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
// One burst's line: time, direction, count, the bytes in hex and as text ('.' for bytes
// that do not print). The hex column is padded so that short bursts line up.
std::string FormatBurst(const std::string& time, char direction, const std::string& bytes);
// The longest pause within a burst: a few milliseconds, plus two byte times at slow rates.
std::int64_t BurstGapUs(int baud);

// Safe to share between threads; a trace meant for replay should watch one device.
class LineTrace {
public:
    // program: name and version for the header. False with the system's reason when the
    // file cannot be written.
    bool Open(const std::string& path, std::string& error, const std::string& program = {});
    bool IsOpen() const;

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
    void RewriteBurst();
    void Append(const std::string& line);
    void Fail(const char* what);

    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    mutable std::mutex m_mutex;
    std::unique_ptr<std::FILE, Closer> m_file;
    std::string m_program;
    std::int64_t m_startWallMs = 0;
    bool m_started = false;  // the header is written
    std::string m_port;
    TraceLine m_line;
    // The burst under way: it is on file already, and rewritten in place as it grows, so a
    // crash loses nothing; a file that cannot seek (a pipe) gets it once it ends.
    bool m_seekable = false;
    long m_burstOffset = -1;  // where its line begins
    char m_direction = 0;     // 'W' or 'R'; 0 when no burst is under way
    std::string m_burst;
    std::string m_burstTime;
    std::int64_t m_lastUs = 0;
    std::string m_error;
};

}  // namespace device
