#pragma once

#include <memory>
#include <vector>

#include "device/PortSource.h"

namespace testing {

// A port map given by the test: fixed values, a map that cannot be opened, or one whose
// enumeration fails at some index.
class PortSourceFake final : public serial::PortSource {
public:
    PortSourceFake() = default;
    explicit PortSourceFake(std::vector<serial::PortValue> initial) : values(std::move(initial)) {}

    std::unique_ptr<serial::PortMap> Open() override {
        if (openFails) return nullptr;
        return std::make_unique<serial::ListPortMap>(values, failAt);
    }

    std::vector<serial::PortValue> values;
    bool openFails = false;
    int failAt = -1;
};

}  // namespace testing
