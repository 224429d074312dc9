#include "engine/LinkNotices.h"

#include "device/LineWatch.h"
#include "device/SerialDevice.h"
#include "framework/Dialog.h"
#include "framework/Host.h"

namespace engine {

std::string LostLinkMessage(SerialDevice& device) {
    return "The connection to the instrument on " + device::DescribePort(device) +
           " was lost: " + device.GetLinkLostReason() + ".\nGo back to step 1 to connect again.";
}

std::string NotReadyMessage(SerialDevice& device, std::int64_t waitedMs) {
    return "The instrument on " + device::DescribePort(device) + " did not report ready within " +
           std::to_string(waitedMs / 1000) + " s.";
}

bool LinkNotices::CheckLost(SerialDevice& device) {
    if (!device.IsLinkLost()) return false;
    const unsigned long input = framework::InputCount();
    if (!m_lostShown || m_lostShownAtInput != input) {
        m_lostShown = true;
        m_lostShownAtInput = input;
        framework::MessageBox(LostLinkMessage(device));
    }
    return true;
}

void LinkNotices::ReadyWaitRanOut(SerialDevice& device, std::int64_t waitedMs) {
    if (m_notReady) return;
    m_notReady = true;
    framework::MessageBox(NotReadyMessage(device, waitedMs));
}

}  // namespace engine
