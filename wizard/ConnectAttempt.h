#pragma once

// One connect attempt of step 1 on a serial device: open the port at a baud rate and ask the
// instrument's type at 8 data bits, no parity, 1 stop bit, then once more at 7 data bits, even
// parity, 2 stop bits when the first answer was no known code. The step's own connect and each
// port of Find any run it, so the bytes on the line are the same wherever it runs.

#include <string>

class SerialDevice;

namespace wizard {

struct ConnectAttempt {
    bool opened = false;  // the port opened and took its line settings
    std::string code;     // the known type code that answered; "" when none did
};

// After success the port stays open with the line that worked; after a failure it stays open
// too, with the line tried last.
ConnectAttempt TryConnect(SerialDevice& device, int portNumber, int baudRate);

}  // namespace wizard
