#include "framework/Resources.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace resources {

void RegisterPlateMovementTemplate() {
    using namespace control;
    framework::DialogTemplate t = StepTemplate(IDD_PLATE_MOVEMENT, 5);
    // Each group's buttons in position order: the position + 1 is the instrument's value.
    const Style first{.groupStart = true};
    t.controls = {
        Label(framework::IDC_STATIC, "Default settings for plate movement:", {8, 6, 200, 8}),
        GroupBox(IDC_POWER_ON_GROUP, "At power on:", {8, 18, 128, 52}),
        Radio(IDC_POWER_ON_MOVE_IN, "Move plate in", {18, 32, 110, 10}, first),
        Radio(IDC_POWER_ON_MOVE_OUT, "Move plate out", {18, 44, 110, 10}),
        GroupBox(IDC_END_GROUP, "At end of measurement", {142, 18, 128, 52}),
        Radio(IDC_END_MOVE_IN, "Move plate in", {152, 32, 110, 10}, first),
        Radio(IDC_END_MOVE_OUT, "Move plate out", {152, 44, 110, 10}),
        Radio(IDC_END_NO_MOVE, "Do not move plate", {152, 56, 110, 10}),
        GroupBox(IDC_REMOTE_ON_GROUP, "At remote on", {8, 74, 128, 52}),
        Radio(IDC_REMOTE_ON_MOVE_IN, "Move plate in", {18, 88, 110, 10}, first),
        Radio(IDC_REMOTE_ON_MOVE_OUT, "Move plate out", {18, 100, 110, 10}),
        Radio(IDC_REMOTE_ON_NO_MOVE, "Do not move plate", {18, 112, 110, 10}),
        GroupBox(IDC_REMOTE_OFF_GROUP, "At remote off", {142, 74, 128, 52}),
        Radio(IDC_REMOTE_OFF_MOVE_IN, "Move plate in", {152, 88, 110, 10}, first),
        Radio(IDC_REMOTE_OFF_MOVE_OUT, "Move plate out", {152, 100, 110, 10}),
        Radio(IDC_REMOTE_OFF_NO_MOVE, "Do not move plate", {152, 112, 110, 10}),
        Button(IDC_SET_DEFAULT, "Set default", {220, 130, 50, 14}),
        Label(IDC_NOT_AVAILABLE, "Not possible for [instr/version]", {8, 134, 206, 8},
              {.centred = true}),
    };
    framework::RegisterTemplate(std::move(t));
}

}  // namespace resources
