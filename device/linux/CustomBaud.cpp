#include "device/linux/CustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace device {

int SetCustomBaudRate(int fd, int baudRate) {
    if (baudRate <= 0) return -EINVAL;
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0) return -errno;
    settings.c_cflag &= ~(CBAUD | CIBAUD);
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = static_cast<speed_t>(baudRate);
    settings.c_ospeed = static_cast<speed_t>(baudRate);
    if (ioctl(fd, TCSETS2, &settings) != 0) return -errno;
    return 0;
}

}  // namespace device
