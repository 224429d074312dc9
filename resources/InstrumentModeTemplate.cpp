#include "framework/Resources.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace resources {

void RegisterInstrumentModeTemplate() {
    using namespace control;
    framework::DialogTemplate t = StepTemplate(IDD_INSTRUMENT_MODE, 2);
    // The radio positions 0..3 are the mode indexes.
    t.controls = {
        GroupBox(IDC_INSTRUMENT_MODE_GROUP, "Instrument mode", {8, 10, 124, 76}),
        Radio(IDC_MODE_VELTRIX, "Veltrix mode (recommended)", {18, 26, 108, 10},
              {.groupStart = true}),
        Radio(IDC_MODE_MORVANE, "Morvane mode", {18, 40, 108, 10}),
        Radio(IDC_MODE_DRAVELL, "Dravell mode", {18, 54, 108, 10}),
        Radio(IDC_MODE_OXQ, "OXQ mode", {18, 68, 108, 10}),
        GroupBox(IDC_NEW_PORT_GROUP, "New port settings", {140, 10, 130, 76}),
        Label(framework::IDC_STATIC, "Baudrate", {150, 28, 36, 8}),
        DropDown(IDC_BAUDRATE, {190, 26, 70, 12}, {.groupStart = true}),
        Label(IDC_LINE_FORMAT, "? databits, ? stop bits, ?any? parity", {150, 50, 112, 20}),
    };
    framework::RegisterTemplate(std::move(t));
}

}  // namespace resources
