#include "device/linux/LineSettings.h"

#include <array>
#include <utility>

namespace device {

speed_t BaudConstant(int baudRate) {
    static constexpr std::array<std::pair<int, speed_t>, 30> kRates{{
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    }};
    for (const auto& [rate, constant] : kRates) {
        if (rate == baudRate) return constant;
    }
    return B0;
}

bool ApplyLineSettings(termios& settings, int dataBits, char parity, int stopBits) {
    tcflag_t size = 0;
    switch (dataBits) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return false;
    }

    // Raw mode: every byte passes unchanged (no CR/LF translation, no interrupt or flow
    // characters, no echo, no parity marks).
    settings.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;

    // Ignore modem status lines and enable the receiver.
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag = (settings.c_cflag & ~CSIZE) | size;

    switch (parity) {
        // Mark and space parity (CMSPAR) would turn odd or even into a fixed bit.
        case 'N':
            settings.c_cflag &= ~(PARENB | PARODD | CMSPAR);
            break;
        case 'O':
            settings.c_cflag &= ~CMSPAR;
            settings.c_cflag |= PARENB | PARODD;
            break;
        case 'E':
            settings.c_cflag &= ~(PARODD | CMSPAR);
            settings.c_cflag |= PARENB;
            break;
        default:
            break;
    }
    if (stopBits == 1) settings.c_cflag &= ~CSTOPB;
    if (stopBits == 2) settings.c_cflag |= CSTOPB;
    return true;
}

}  // namespace device
