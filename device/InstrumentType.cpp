#include "device/InstrumentType.h"

namespace device {

int InstrumentTypeIndex(std::string_view code) {
    for (std::size_t i = 0; i < kInstrumentTypes.size(); ++i) {
        if (kInstrumentTypes[i] == code) return static_cast<int>(i);
    }
    return -1;
}

std::string InstrumentTypeCode(int index) {
    if (index < 0 || index >= static_cast<int>(kInstrumentTypes.size())) return {};
    return std::string(kInstrumentTypes[static_cast<std::size_t>(index)]);
}

}  // namespace device
