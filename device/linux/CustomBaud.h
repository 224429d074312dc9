#pragma once

namespace device {

// Sets a baud rate without a Bxxx constant through termios2 and BOTHER (both directions).
// Lives in a file of its own because the kernel's termios2 header clashes with <termios.h>.
// Returns 0 or -errno.
int SetCustomBaudRate(int fd, int baudRate);

}  // namespace device
