#pragma once

// Reads a line trace as the program's --trace writes it, for replay: the first line names the
// program, the port and the line settings, a "=" line a later change of them, each "W"
// (program to instrument) or "R" (instrument to program) entry one burst of bytes (sixteen a
// line; indented lines carry the rest), and "# Run ended" the end of the run:
//   # Veltrix line trace, veltrix-instrument-settings 1.0.5, started ..., on COM1 at 9600 baud, 8N1
//   14:03:07.412 W 4  02 21 0D 00                                      |<STX>!<CR><NUL>|
//   14:03:07.431 R 5  02 2B 56 54 0D                                   |<STX>+VT<CR>|
//   14:03:08.650 = /dev/ttyUSB0  ( COM1 ) at 9600 baud, 7E2
//   # Run ended 2026-12-07 14:03:09.020 +0100
// Blank lines and further lines beginning with '#' are skipped, so a trace may be annotated.
// Only the hex column counts; the text column is for the reader. A trace whose times go
// backwards, that has a reply before any command or bytes after the run's end, or that holds
// no command at all is refused.
// The simulator reads it on its own, without the program's trace code, so that a fault there
// cannot hide in shared code.

#include <string>
#include <string_view>
#include <vector>

#include "sim/State.h"

namespace sim {

// One command the program sent and what the instrument answered to it (maybe nothing).
struct TraceStep {
    int lineNumber = 0;    // of the command's burst
    Line line;             // as a pty shows it: speed and stop bits
    std::string lineText;  // "9600 baud, 7E2", as recorded
    std::string command;
    std::string reply;
};

struct Trace {
    std::vector<TraceStep> steps;
    int lineCount = 0;
    bool ended = false;  // the trace says that the run ended (it was not cut short)
};

// False with "line N: what is wrong" for anything that is not a whole, well-formed trace.
bool ParseTrace(std::string_view text, Trace& trace, std::string& error);
// The same for a file; the message names the file.
bool ReadTraceFile(const std::string& path, Trace& trace, std::string& error);

// "02 21 0D |<STX>!<CR>|": bytes as the trace shows them, for messages.
std::string ShowBytes(std::string_view bytes);

}  // namespace sim
