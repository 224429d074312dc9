#pragma once

#include <termios.h>

namespace device {

// The Bxxx constant of a baud rate, or B0 when the rate has none (it then needs termios2).
speed_t BaudConstant(int baudRate);

// Puts the port into raw mode and applies data bits, parity and stop bits on top of the
// settings the port reported. Parity 'N', 'O', 'E' and 1 or 2 stop bits are applied; any other
// value leaves the port's own setting. Hardware flow control (CRTSCTS) stays as the port had it;
// software flow control is always off, since XON/XOFF would swallow checksum bytes 0x11 and 0x13.
// Returns false, changing nothing, when the data bits are not 5 to 8.
bool ApplyLineSettings(termios& settings, int dataBits, char parity, int stopBits);

}  // namespace device
