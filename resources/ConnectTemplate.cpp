#include "framework/Resources.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace resources {

void RegisterConnectTemplate() {
    using namespace control;
    framework::DialogTemplate t = StepTemplate(IDD_CONNECT, 1);
    t.controls = {
        GroupBox(framework::IDC_STATIC, "Connect an instrument on ...", {30, 20, 218, 100}),
        Label(IDC_PORT_LABEL, "Port", {48, 42, 40, 8}),
        DropDown(IDC_PORT, {92, 40, 138, 12}, {.groupStart = true}),
        Label(IDC_BAUDRATE_LABEL, "Baudrate", {48, 64, 40, 8}),
        DropDown(IDC_BAUDRATE, {92, 62, 138, 12}, {.groupStart = true}),
        Button(IDC_FIND_ANY, "Find any", {180, 94, 50, 14}),
    };
    framework::RegisterTemplate(std::move(t));
}

}  // namespace resources
