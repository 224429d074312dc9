#include "resources/DialogTemplates.h"

#include "framework/Resources.h"
#include "resources/Resources.h"

namespace resources {

framework::DialogTemplate StepTemplate(int id, int step) {
    framework::DialogTemplate t;
    t.id = id;
    t.caption = "Veltrix Instrument Settings V 1.05  -  Step " + std::to_string(step) + " of 5";
    t.width = 278;
    t.height = 148;
    t.fontName = "MS Sans Serif";
    t.fontSize = 8;
    return t;
}

void RegisterDialogTemplates() {
    RegisterConnectTemplate();
    RegisterInstrumentModeTemplate();
    RegisterFilterSlideTemplate();
    RegisterMeasurementModeTemplate();
    RegisterPlateMovementTemplate();
}

}  // namespace resources
