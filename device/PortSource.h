#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/ScopedOverride.h"

namespace device {

// One entry of the machine's port map: the name under which the port is known (on Linux its
// device node, e.g. /dev/ttyUSB0) and its data, the COM name it is numbered by (e.g. COM1).
struct PortValue {
    std::string name;
    std::string data;
};

enum class ReadStatus { Value, NoMoreItems, Failed };

// An opened port map, read value by value.
class PortMap {
public:
    virtual ~PortMap() = default;
    virtual ReadStatus ReadValue(int index, PortValue& value) = 0;
};

// Where the port map comes from. Open gives null when the map cannot be read.
class PortSource {
public:
    virtual ~PortSource() = default;
    virtual std::unique_ptr<PortMap> Open() = 0;
};

// A map over a fixed list of values; reading at failAt (if not negative) fails.
class ListPortMap final : public PortMap {
public:
    explicit ListPortMap(std::vector<PortValue> values, int failAt = -1)
        : m_values(std::move(values)), m_failAt(failAt) {}
    ReadStatus ReadValue(int index, PortValue& value) override;

private:
    std::vector<PortValue> m_values;
    int m_failAt;
};

// Ports that the program was told about (--port paths, the simulator's pty). They come first
// in the port map, in this order. Process-wide; the last call wins.
void SetExtraPorts(std::vector<std::string> paths);
std::vector<std::string> GetExtraPorts();

// A word that the label of the port with this name carries after the name, so that the user
// can tell it: "simulator" gives "/dev/pts/3 (simulator)  ( COM1 )". Process-wide; "" takes
// it away.
void SetPortNote(const std::string& name, std::string note);
std::string GetPortNote(const std::string& name);

// Replaces the whole source on this thread for the lifetime of the object (tests).
using ScopedPortSource = support::ScopedOverride<PortSource>;

// The name by which one port of the map is opened on its own, as --port gives it: on Linux the
// value's name, its device node; on Windows the COM name where the name is a driver's object
// (\Device\Serial0). Defined by the build's platform source.
std::string PortOpenName(const PortValue& value);

// The machine's own port map: on Linux the serial devices under /sys/class/tty, on Windows
// the registry's SERIALCOMM key. Defined by the build's platform source.
PortSource& SystemPortSource();

// The source in force on this thread: the system's unless a ScopedPortSource replaced it.
PortSource& CurrentPortSource();

}  // namespace device
