#include "wizard/ConnectAttempt.h"

#include "device/InstrumentType.h"
#include "device/SerialDevice.h"

namespace wizard {

ConnectAttempt TryConnect(SerialDevice& device, int portNumber, int baudRate) {
    ConnectAttempt result;
    device.SetBaudRate(baudRate);
    device.SetParity('N');
    device.SetDataBits(8);
    device.SetStopBits(1);
    BOOL ok = device.InitSerial(portNumber);
    result.opened = ok != FALSE;
    // Ask at 8N1; an instrument in OXQ mode listens at 7E2 only, so ask once more there.
    int attempts = 2;
    while (ok && attempts > 0) {
        const std::string code = device.AskForInstrumentType();
        if (device::InstrumentTypeIndex(code) >= 0) {
            result.code = code;
            attempts = 0;
        } else if (attempts == 2) {
            device.SetParity('E');
            device.SetDataBits(7);
            device.SetStopBits(2);
            ok = device.ChangeBaudRate();
            attempts = 1;
        } else {
            ok = FALSE;
        }
    }
    return result;
}

}  // namespace wizard
