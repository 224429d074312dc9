#pragma once

// --trace: one line per read or write on the serial line, with the time, the direction, how
// many bytes were asked for and moved, the bytes in hex and as text:
//   14:03:07.412 W 4/4  02 21 0D 00                                       |.!..|
//   14:03:07.431 R 1/1  02                                                |.|
//   14:03:08.032 R 0/1                                                    ||
//   device::LineTrace trace;
//   if (!trace.Open("line.log", error)) ...
//   trace.Write('W', bytes, 4, 4);

#include <cstdio>
#include <memory>
#include <string>

namespace device {

// The line for one transfer; time is the local time of day as "HH:MM:SS.mmm". Only the bytes
// actually moved are shown.
std::string FormatTraceLine(const std::string& time, char direction, const unsigned char* bytes,
                            int requested, int transferred);

class LineTrace {
public:
    // False with the system's reason when the file cannot be written.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return m_file != nullptr; }
    // Each line reaches the file at once, so a trace survives a crash.
    void Write(char direction, const unsigned char* bytes, int requested, int transferred);

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
};

}  // namespace device
