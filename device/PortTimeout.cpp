#include "device/PortTimeout.h"

#include <climits>

namespace device {

int ScaledTimeoutMs(int timeoutMs, int baudRate) {
    double t = timeoutMs;
    if (baudRate > 0 && baudRate < 9600) t = 9600.0 / baudRate * timeoutMs;
    if (t <= 0) return 0;
    if (t >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(t);
}

}  // namespace device
