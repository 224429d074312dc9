#pragma once

#include <memory>
#include <vector>

#include "device/PortSource.h"

namespace testkit_test {

// A port map given by the test: fixed values, a map that cannot be opened, or one whose
// enumeration fails at some index.
class PortSourceFake final : public device::PortSource {
public:
    PortSourceFake() = default;
    explicit PortSourceFake(std::vector<device::PortValue> initial) : values(std::move(initial)) {}

    std::unique_ptr<device::PortMap> Open() override {
        if (openFails) return nullptr;
        return std::make_unique<device::ListPortMap>(values, failAt);
    }

    std::vector<device::PortValue> values;
    bool openFails = false;
    int failAt = -1;
};

}  // namespace testkit_test
