#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "resources/Resource.h"
#include "sim/PtyServer.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace {

using ::testing::SizeIs;

// The simulator's pty as the machine's only serial port, COM1.
class PtyPortSource : public device::PortSource {
public:
    explicit PtyPortSource(std::string path) : m_path(std::move(path)) {}
    std::unique_ptr<device::PortMap> Open() override {
        return std::make_unique<device::ListPortMap>(
            std::vector<device::PortValue>{{m_path, "COM1"}});
    }

private:
    std::string m_path;
};

// What the user chose on steps 2 to 5 for one Finish.
struct FinishCase {
    const char* name;
    int startMode;  // the instrument's mode when the wizard connects at 9600 baud
    int mode;       // step 2
    const char* baud;
    std::vector<int> filters;  // step 3; empty: the table was not edited
    int measurementMode;       // step 4: preset index, or the values below for the native mode
    int points;
    int distance;
    int flashes;
    std::array<int, 4> plate;  // step 5, 0-based choices
};

void PrintTo(const FinishCase& c, std::ostream* os) {
    *os << c.name;
}

class FinishTest : public ::testing::TestWithParam<FinishCase> {
protected:
    void SetUp() override {
        sim::ServerConfig config;
        config.state.mode = GetParam().startMode;
        config.state.baud = 9600;
        std::string error;
        server = sim::PtyServer::Start(std::move(config), error);
        ASSERT_TRUE(server) << error;
        ports = std::make_unique<PtyPortSource>(server->SlavePath());
        usePorts = std::make_unique<device::ScopedPortSource>(*ports);
        sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
    }

    void TearDown() override {
        sheet.reset();
        usePorts.reset();
    }

    // The pages' fields as the steps leave them on Finish.
    void Choose(const FinishCase& c) {
        sheet->m_pInstrumentModePage->m_nMode = c.mode;
        sheet->m_pInstrumentModePage->m_strBaudRate = c.baud;
        if (!c.filters.empty()) {
            FilterSlidePage& slide = *sheet->m_pFilterSlidePage;
            int* positions[] = {&slide.m_nPos1, &slide.m_nPos2, &slide.m_nPos3,
                                &slide.m_nPos4, &slide.m_nPos5, &slide.m_nPos6};
            for (std::size_t i = 0; i < 6; ++i)
                *positions[i] = c.filters[i];
            slide.m_bFilterSlideChanged = 1;
        }
        MeasurementModePage& measurement = *sheet->m_pMeasurementModePage;
        measurement.m_nMeasurementMode = c.measurementMode;
        measurement.m_nPoints = c.points;
        measurement.m_nDistance = c.distance;
        measurement.m_nFlashes = c.flashes;
        PlateMovementPage& plate = *sheet->m_pPlateMovementPage;
        plate.m_nAtPowerOn = c.plate[0];
        plate.m_nAtMeasurementEnd = c.plate[1];
        plate.m_nAtRemoteOn = c.plate[2];
        plate.m_nAtRemoteOff = c.plate[3];
    }

    // What the instrument should have stored afterwards.
    static sim::State Expected(const FinishCase& c) {
        sim::State state;
        state.mode = c.mode;
        state.baud = std::stoi(c.baud);
        if (!c.filters.empty()) state.filters = c.filters;
        if (c.mode == sim::kModeVeltrix) {
            state.flashes = c.flashes;
            state.points = c.points;
            state.distance = c.distance;
            state.measurementMode = sim::PresetIndex(c.flashes, c.points, c.distance);
        } else {
            const sim::Measurement& preset =
                sim::kMeasurementPresets[static_cast<std::size_t>(c.measurementMode)];
            state.flashes = preset.flashes;
            state.points = preset.points;
            state.distance = preset.distance;
            state.measurementMode = c.measurementMode;
            for (std::size_t i = 0; i < 4; ++i)
                state.plate[i] = c.plate[i] + 1;
        }
        return state;
    }

    framework::RecordingHost host;
    framework::ScopedHost useHost{host};
    std::unique_ptr<sim::PtyServer> server;
    std::unique_ptr<PtyPortSource> ports;
    std::unique_ptr<device::ScopedPortSource> usePorts;
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
};

TEST_P(FinishTest, TheInstrumentStoresWhatThePagesHold) {
    const FinishCase& c = GetParam();
    ASSERT_EQ(sheet->m_pConnectPage->ConnectInstrument(1, 9600), TRUE)
        << sheet->GetDevice()->GetLastErrorText();
    EXPECT_EQ(sheet->GetInstrumentType(), sim::TypeCode(c.startMode));
    Choose(c);

    EXPECT_EQ(sheet->ApplySettings(), TRUE) << ::testing::PrintToString(host.BoxTexts());
    EXPECT_EQ(sheet->SaveSettings(), TRUE);

    EXPECT_EQ(server->Stored(), Expected(c));
    EXPECT_EQ(sheet->GetInstrumentType(), sim::TypeCode(c.mode));
    // The one summary box, nothing else.
    EXPECT_THAT(host.BoxTexts(), SizeIs(1));
}

INSTANTIATE_TEST_SUITE_P(
    Models, FinishTest,
    ::testing::Values(FinishCase{"VeltrixWithFilters",
                                 0,
                                 0,
                                 "9600",
                                 {405, 450, 492, 550, 600, 0},
                                 0,
                                 3,
                                 440,
                                 55,
                                 {0, 0, 0, 0}},
                      FinishCase{"MorvaneAtANewSpeed", 1, 1, "19200", {}, 2, 0, 0, 0, {0, 1, 2, 0}},
                      FinishCase{"DravellWithFilters",
                                 2,
                                 2,
                                 "9600",
                                 {340, 405, 0, 0, 620, 750},
                                 1,
                                 0,
                                 0,
                                 0,
                                 {1, 1, 0, 2}},
                      FinishCase{"MorvaneToOxq", 1, 3, "4800", {}, 0, 0, 0, 0, {2, 2, 2, 2}},
                      FinishCase{"OxqStaysOxq", 3, 3, "9600", {}, 1, 0, 0, 0, {1, 0, 1, 0}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
