#include "framework/Resources.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace resources {

void RegisterMeasurementModeTemplate() {
    using namespace control;
    framework::DialogTemplate t = StepTemplate(IDD_MEASUREMENT_MODE, 4);
    // Custom and its value boxes stay hidden; Custom is a group of its own, so the preset
    // group holds Normal, Accuracy and Center only.
    const Style hidden{.visible = false};
    t.controls = {
        GroupBox(IDC_MEASUREMENT_MODE_GROUP, "Measurement mode ", {8, 6, 262, 60}),
        Radio(IDC_NORMAL, "Normal", {20, 20, 100, 10}, {.groupStart = true}),
        Radio(IDC_ACCURACY, "Accuracy", {20, 34, 100, 10}),
        Radio(IDC_CENTER, "Center", {20, 48, 100, 10}),
        Radio(IDC_CUSTOM, "Custom (Veltrix only)", {140, 20, 110, 10},
              {.visible = false, .groupStart = true}),
        Label(IDC_FLASHES_LABEL, "Number of flashes:", {16, 84, 150, 8},
              {.visible = false, .groupStart = true}),
        Edit(IDC_FLASHES, {170, 82, 40, 12}, hidden),
        Label(IDC_POINTS_LABEL, "Number of measurement points: ", {16, 102, 150, 8}, hidden),
        Edit(IDC_POINTS, {170, 100, 40, 12}, hidden),
        Label(IDC_DISTANCE_LABEL, "Distance between measurement points: ", {16, 120, 150, 8},
              hidden),
        Edit(IDC_DISTANCE, {170, 118, 40, 12}, hidden),
        Label(IDC_MICROMETRE_LABEL, "\xB5m", {214, 120, 20, 8}, hidden),
        GroupBox(IDC_CUSTOM_GROUP, "", {8, 70, 262, 70}, hidden),
    };
    framework::RegisterTemplate(std::move(t));
}

}  // namespace resources
