#include "tests/framework/TestDialogs.h"

#include "framework/Resources.h"

namespace framework_test {
namespace {

using framework::ControlKind;
using framework::ControlTemplate;

ControlTemplate Make(int id, ControlKind kind, std::string text = "", bool groupStart = false,
                     bool visible = true) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.groupStart = groupStart;
    c.visible = visible;
    return c;
}

}  // namespace

void RegisterTestResources() {
    framework::DialogTemplate form;
    form.id = kFormTemplate;
    form.caption = "Form";
    form.width = 278;
    form.height = 148;
    ControlTemplate list = Make(kList, ControlKind::DropDownList);
    list.items = {"38400", "9600", "300"};
    form.controls = {
        Make(kLabel, ControlKind::Label, "Name:"),
        Make(kEdit1, ControlKind::EditBox),
        Make(kEdit2, ControlKind::EditBox),
        Make(kEdit3, ControlKind::EditBox),
        list,
        Make(kList2, ControlKind::DropDownList),
        Make(kModeBox, ControlKind::GroupBox, "Mode", true),
        Make(kMode0, ControlKind::RadioButton, "Zero", true),
        Make(kMode1, ControlKind::RadioButton, "One"),
        Make(kModeNote, ControlKind::Label, "note"),
        Make(kMode2, ControlKind::RadioButton, "Two"),
        Make(kCustom, ControlKind::RadioButton, "Custom", true, false),
        Make(kOtherA, ControlKind::RadioButton, "A", true),
        Make(kOtherB, ControlKind::RadioButton, "B"),
        Make(kGo, ControlKind::PushButton, "Go", true),
        Make(kHiddenButton, ControlKind::PushButton, "Hidden", false, false),
    };
    framework::RegisterTemplate(form);

    for (int step = 1; step <= 3; ++step) {
        framework::DialogTemplate page;
        page.id = kPageTemplate + step - 1;
        page.caption = "Step " + std::to_string(step) + " of 3";
        page.width = 278;
        page.height = 148;
        page.controls = {Make(kPageEdit, ControlKind::EditBox)};
        framework::RegisterTemplate(page);
    }
    framework::RegisterString(kSheetCaption, "Test Wizard");
}

}  // namespace framework_test
