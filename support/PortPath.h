#pragma once

// A port given on a command line as a path relative to the working folder ("pts-link",
// "./ttyV0") is opened by the serial port only as an absolute path; a name that is no file
// there (a Windows "COM5", a node that does not exist) stays as given.
//   support::PortPath("sim/tty")   // "/home/me/sim/tty" when that file exists

#include <string>

namespace support {

std::string PortPath(const std::string& given);
// Whether two given ports name the same port: the same path, or the same file (two links to
// one pseudo-terminal, say).
bool SamePort(const std::string& a, const std::string& b);

}  // namespace support
