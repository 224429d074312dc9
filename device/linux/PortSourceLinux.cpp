#include "device/linux/PortSourceLinux.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "device/linux/NaturalOrder.h"

namespace device {
namespace fs = std::filesystem;

namespace {

// The same node reached by another path (a symlink such as /dev/serial/by-id/...) counts once.
std::string Identity(const std::string& node) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(node, error);
    return error ? node : canonical.string();
}

// Sysfs writes "!" where the device node sits in a sub-folder of /dev.
std::string NodeName(std::string entry) {
    std::replace(entry.begin(), entry.end(), '!', '/');
    return entry;
}

}  // namespace

PortSourceLinux::PortSourceLinux(std::string sysClassTty, std::string devDir, SerialOsLinux& os)
    : m_sysClassTty(std::move(sysClassTty)), m_devDir(std::move(devDir)), m_os(os) {}

std::unique_ptr<PortMap> PortSourceLinux::Open() {
    std::vector<PortValue> values;
    std::vector<std::string> seen;
    const auto add = [&](const std::string& node) {
        if (node.empty()) return;
        std::string identity = Identity(node);
        if (std::find(seen.begin(), seen.end(), identity) != seen.end()) return;
        seen.push_back(std::move(identity));
        values.push_back({node, "COM" + std::to_string(values.size() + 1)});
    };
    for (const std::string& node : GetExtraPorts())
        add(node);
    // A machine without the sysfs folder simply has no ports of its own.
    for (const std::string& node : ScanDevices())
        add(node);
    return std::make_unique<ListPortMap>(std::move(values));
}

std::vector<std::string> PortSourceLinux::ScanDevices() const {
    std::vector<std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(m_sysClassTty, error), end; !error && it != end;
         it.increment(error)) {
        entries.push_back(it->path().filename().string());
    }
    std::sort(entries.begin(), entries.end(), NaturalLess);

    std::vector<std::string> nodes;
    for (const std::string& entry : entries) {
        const fs::path folder = fs::path(m_sysClassTty) / entry;
        std::error_code ignored;
        // Virtual terminals and pseudo-terminals have no device behind them.
        if (!fs::exists(folder / "device", ignored)) continue;
        if (entry.rfind("ttyS", 0) == 0 && !HasUart(folder.string(), NodeName(entry))) continue;
        nodes.push_back(m_devDir + "/" + NodeName(entry));
    }
    return nodes;
}

// The legacy ttyS0..ttyS31 exist whether or not a UART answers there; sysfs tells the UART type
// (0 = unknown, no UART) without opening the port. Only where it does not is the node probed.
bool PortSourceLinux::HasUart(const std::string& entry, const std::string& node) const {
    std::ifstream typeFile(entry + "/type");
    int type = 0;
    if (typeFile >> type) return type != 0;
    return m_os.IsRealUart(m_devDir + "/" + node);
}

std::string PortOpenName(const PortValue& value) {
    return value.name;
}

PortSource& SystemPortSource() {
    static PortSourceLinux source;
    return source;
}

}  // namespace device
