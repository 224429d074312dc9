#include "framework/Resources.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace resources {

void RegisterStrings() {
    framework::RegisterString(IDS_OLE_INIT_FAILED,
                              "OLE initialization failed.  Make sure that the OLE libraries are "
                              "the correct version.");
    framework::RegisterString(IDS_SHEET_CAPTION, "Veltrix Instrument Settings V 1.05");
    framework::RegisterString(IDS_FILTER_OUT_OF_RANGE,
                              "Please enter an integer between %d and %d for the filter at "
                              "position %d !\nEnter 0 to define this position as blank.");
    framework::RegisterString(IDS_CONNECT_FAILED, "Could not connect instrument!");
}

}  // namespace resources
