#pragma once

#include <optional>
#include <string>

#include "tests/engine/SheetFixture.h"
#include "tests/testkit/ScriptedInstrument.h"

namespace engine_test {

// A connected instrument and the choices of steps 2 to 5, as the pages hold them on Finish.
class ApplyFixture : public SheetFixture {
protected:
    // Step 1 found this instrument at 9600 baud; step 2 keeps its mode and speed.
    testkit_test::ScriptedInstrument& ConnectInstrument(const std::string& type);
    void SetFilters(int p1, int p2, int p3, int p4, int p5, int p6);
    void SetMeasurement(int mode, int points, int distance, int flashes);
    void SetPlateMovement(int powerOn, int measurementEnd, int remoteOn, int remoteOff);

    std::optional<testkit_test::ScriptedInstrument> instrument;
};

}  // namespace engine_test
