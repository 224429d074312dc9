#include "tests/gui/TestSheet.h"

#include <algorithm>

#include "framework/Ids.h"
#include "framework/Resources.h"

namespace gui_test {

using framework::ControlKind;
using framework::ControlTemplate;

namespace {

ControlTemplate Make(int id, ControlKind kind, std::string text, framework::Rect rect) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.rect = rect;
    return c;
}

}  // namespace

void RegisterTestTemplates() {
    framework::RegisterString(kSheetCaption, "Test wizard");
    for (int i = 0; i < kPageCount; ++i) {
        framework::DialogTemplate t;
        t.id = kFirstPage + i;
        t.caption = "Test wizard - Step " + std::to_string(i + 1) + " of 3";
        t.width = 278;
        t.height = 148;
        t.controls.push_back(
            Make(framework::IDC_STATIC, ControlKind::GroupBox, "Group", {7, 7, 264, 130}));
        t.controls.push_back(Make(kLabel, ControlKind::Label, "A label", {14, 20, 120, 8}));
        if (i == 0) {
            ControlTemplate list = Make(kList, ControlKind::DropDownList, "", {14, 34, 100, 60});
            list.groupStart = true;
            list.items = {"one", "two", "three"};
            t.controls.push_back(list);
            ControlTemplate first =
                Make(kRadioA, ControlKind::RadioButton, "Alpha", {14, 54, 80, 10});
            first.groupStart = true;
            t.controls.push_back(first);
            t.controls.push_back(Make(kRadioB, ControlKind::RadioButton, "Beta", {14, 66, 80, 10}));
            // Too long for its place: the text must grow into the room to its right.
            t.controls.push_back(Make(kRadioC, ControlKind::RadioButton,
                                      "Gamma, with a caption far too long for it",
                                      {14, 78, 40, 10}));
            ControlTemplate edit = Make(kEdit, ControlKind::EditBox, "", {140, 34, 60, 12});
            edit.groupStart = true;
            t.controls.push_back(edit);
            t.controls.push_back(
                Make(kButton, ControlKind::PushButton, "Press", {140, 54, 50, 14}));
            ControlTemplate hidden =
                Make(kHiddenLabel, ControlKind::Label, "Hidden", {140, 78, 50, 8});
            hidden.visible = false;
            t.controls.push_back(hidden);
        }
        framework::RegisterTemplate(std::move(t));
    }
}

BOOL TestPage::OnSetActive() {
    framework::PropertySheet* sheet = GetParent();
    const int index = sheet->GetPageIndex(this);
    const bool last = index == sheet->GetPageCount() - 1;
    sheet->ShowControl(framework::ID_WIZFINISH, last);
    sheet->ShowControl(framework::ID_WIZNEXT, !last);
    sheet->EnableControl(framework::ID_WIZBACK, index != 0);
    return PropertyPage::OnSetActive();
}

void TestPage::OnCommand(int id, framework::Notification what) {
    commands.emplace_back(id, what);
    if (onCommand) onCommand(id, what);
}

void TestPage::DoDataExchange(framework::DataExchange& dx) {
    dx.RadioGroup(kRadioA, m_nChoice);
}

int TestPage::Count(int id, framework::Notification what) const {
    return static_cast<int>(std::count(commands.begin(), commands.end(), std::pair(id, what)));
}

TestSheet::TestSheet() : PropertySheet(kSheetCaption) {
    AddPage(&first);
    AddPage(&second);
    AddPage(&third);
    SetWizardMode();
}

// The window goes before the pages, which are members and die first.
TestSheet::~TestSheet() {
    DestroyWindow();
}

}  // namespace gui_test
