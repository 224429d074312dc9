#pragma once

namespace device {

// The time-out of one read or write: the device's time-out, stretched by 9600 / baud below
// 9600 baud (truncated), kept within 0 .. INT_MAX. A rate of 0 or less is not scaled.
int ScaledTimeoutMs(int timeoutMs, int baudRate);

}  // namespace device
