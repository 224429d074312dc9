#include "framework/Resources.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace resources {

void RegisterFilterSlideTemplate() {
    using namespace control;
    framework::DialogTemplate t = StepTemplate(IDD_FILTER_SLIDE, 3);
    // Positions 5 and 6 start hidden; the page shows them when it opens.
    const Style hidden{.visible = false};
    t.controls = {
        GroupBox(IDC_FILTERSLIDE_GROUP, "Filterslide", {8, 6, 262, 134}),
        Button(IDC_SLIDE_OUT, "Out", {20, 20, 50, 14}),
        Button(IDC_SLIDE_IN, "In", {76, 20, 50, 14}),
        Label(IDC_POS1_LABEL, "Pos1:", {20, 50, 26, 8}),
        Edit(IDC_POS1, {50, 48, 40, 12}, {.groupStart = true}),
        Label(IDC_POS2_LABEL, "Pos2:", {20, 68, 26, 8}),
        Edit(IDC_POS2, {50, 66, 40, 12}),
        Label(IDC_POS3_LABEL, "Pos3:", {20, 86, 26, 8}),
        Edit(IDC_POS3, {50, 84, 40, 12}),
        Label(IDC_POS4_LABEL, "Pos4:", {20, 104, 26, 8}),
        Edit(IDC_POS4, {50, 102, 40, 12}),
        Label(IDC_POS5_LABEL, "Pos5:", {132, 50, 26, 8}, hidden),
        Edit(IDC_POS5, {162, 48, 40, 12}, hidden),
        Label(IDC_POS6_LABEL, "Pos6:", {132, 68, 26, 8}, hidden),
        Edit(IDC_POS6, {162, 66, 40, 12}, hidden),
        GroupBox(IDC_POS56_GROUP, "", {122, 38, 92, 46}, hidden),
    };
    framework::RegisterTemplate(std::move(t));
}

}  // namespace resources
