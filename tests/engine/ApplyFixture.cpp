#include "tests/engine/ApplyFixture.h"

#include "wizard/FilterSlidePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace engine_test {

testkit_test::ScriptedInstrument& ApplyFixture::ConnectInstrument(const std::string& type) {
    Connect(type);
    instrument.emplace(*port, type);
    SetMeasurement(0, 1, 0, 8);
    SetPlateMovement(0, 0, 0, 0);
    return *instrument;
}

void ApplyFixture::SetFilters(int p1, int p2, int p3, int p4, int p5, int p6) {
    FilterSlidePage& page = *sheet->m_pFilterSlidePage;
    page.m_nPos1 = p1;
    page.m_nPos2 = p2;
    page.m_nPos3 = p3;
    page.m_nPos4 = p4;
    page.m_nPos5 = p5;
    page.m_nPos6 = p6;
    page.m_bFilterSlideChanged = 1;
}

void ApplyFixture::SetMeasurement(int mode, int points, int distance, int flashes) {
    MeasurementModePage& page = *sheet->m_pMeasurementModePage;
    page.m_nMeasurementMode = mode;
    page.m_nPoints = points;
    page.m_nDistance = distance;
    page.m_nFlashes = flashes;
}

void ApplyFixture::SetPlateMovement(int powerOn, int measurementEnd, int remoteOn, int remoteOff) {
    PlateMovementPage& page = *sheet->m_pPlateMovementPage;
    page.m_nAtPowerOn = powerOn;
    page.m_nAtMeasurementEnd = measurementEnd;
    page.m_nAtRemoteOn = remoteOn;
    page.m_nAtRemoteOff = remoteOff;
}

}  // namespace engine_test
