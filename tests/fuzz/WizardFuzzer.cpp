// The whole wizard against an instrument whose replies come from the fuzz input: connect,
// choose a mode and a baud rate, read and edit the filter slide, read the measurement mode and
// the plate-movement defaults, and optionally Finish. Whatever the instrument answers, the
// host only ever writes well-formed frames, every box says something and the filter positions
// read from the instrument are never negative.
//
// Input: flags (bits 0-1: the instrument's type; bits 2-3: the mode chosen on step 2; bit 4:
// slide in; bit 5: slide out; bit 6: "Set default" on step 5; bit 7: Finish), the index of
// the baud rate chosen on step 2, then reply lines for the instrument
// (testkit_test::ScriptedInstrument::AddReplies).

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "support/Clock.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"
#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/ScriptedInstrument.h"
#include "wizard/FilterSlidePage.h"

namespace {

constexpr std::array kModeButtons = {IDC_MODE_VELTRIX, IDC_MODE_MORVANE, IDC_MODE_DRAVELL,
                                     IDC_MODE_OXQ};
constexpr int kFilterStep = 2;
constexpr int kLastStep = 4;

struct Choices {
    int mode = 0;
    int baudIndex = 0;
    bool slideIn = false;
    bool slideOut = false;
    bool setDefault = false;
    bool finish = false;
};

void CheckFilterPositions(const FilterSlidePage& page) {
    for (const int position :
         {page.m_nPos1, page.m_nPos2, page.m_nPos3, page.m_nPos4, page.m_nPos5, page.m_nPos6}) {
        FUZZ_CHECK(position >= 0);
    }
}

// Presses Next; true when the wizard moved on.
bool Next(framework::WizardDriver& w) {
    const int before = w.ActiveIndex();
    w.Next();
    FUZZ_CHECK(w.ActiveIndex() >= 0 && w.ActiveIndex() <= kLastStep);
    return w.ActiveIndex() > before;
}

// Drives the steps as a user would; stops where a step refuses to be left.
void RunWizard(CVeltrixInstrumentSettingsDlg& sheet, framework::WizardDriver& w,
               const Choices& choices) {
    if (!w.Open() || !Next(w)) return;

    w.Click(kModeButtons[static_cast<std::size_t>(choices.mode)]);
    const int rates = static_cast<int>(w.Items(IDC_BAUDRATE).size());
    if (rates > 0) w.SelectIndex(IDC_BAUDRATE, choices.baudIndex % rates);
    if (!Next(w)) return;

    FUZZ_CHECK(w.ActiveIndex() == kFilterStep);
    CheckFilterPositions(*sheet.m_pFilterSlidePage);
    if (choices.slideIn) w.Click(IDC_SLIDE_IN);
    if (choices.slideOut) w.Click(IDC_SLIDE_OUT);
    CheckFilterPositions(*sheet.m_pFilterSlidePage);
    if (!Next(w) || !Next(w)) return;

    if (choices.setDefault) w.Click(IDC_SET_DEFAULT);
    if (choices.finish) w.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool registered = (resources::RegisterResources(), true);

    fuzz_test::ByteReader input(data, size);
    const unsigned flags = input.Byte();
    Choices choices;
    choices.mode = static_cast<int>((flags >> 2) & 0x03);
    choices.slideIn = (flags & 0x10) != 0;
    choices.slideOut = (flags & 0x20) != 0;
    choices.setDefault = (flags & 0x40) != 0;
    choices.finish = (flags & 0x80) != 0;
    choices.baudIndex = input.Byte();

    testkit_test::ScriptedInstrument instrument(
        device::InstrumentTypeCode(static_cast<int>(flags & 0x03)));
    // The input may make the host store another type than the instrument's own.
    instrument.HearEveryFraming();
    instrument.AddReplies(input.Rest());

    support::VirtualClock clock;
    support::ScopedClock useClock(clock);
    framework::RecordingHost host;
    framework::ScopedHost useHost(host);
    CVeltrixInstrumentSettingsDlg sheet(
        IDS_SHEET_CAPTION, nullptr, 0, [&]() -> std::unique_ptr<SerialDevice> {
            auto scripted = std::make_unique<testkit_test::ScriptedDevice>(clock);
            scripted->SetPorts({"/dev/ttyUSB0  ( COM1 )"});
            instrument.Attach(*scripted);
            return scripted;
        });
    framework::WizardDriver w(sheet);

    RunWizard(sheet, w, choices);

    FUZZ_CHECK(instrument.MalformedWrites().empty());
    for (const std::string& box : host.BoxTexts())
        FUZZ_CHECK(!box.empty());
    return 0;
}
