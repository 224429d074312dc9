#pragma once

// The dialog templates of the five wizard steps, one file each, and small builders for their
// controls. Sizes and positions are in dialog units; texts are in the single-byte code page.

#include <string>
#include <utility>

#include "framework/DialogTemplate.h"

namespace resources {

void RegisterConnectTemplate();
void RegisterInstrumentModeTemplate();
void RegisterFilterSlideTemplate();
void RegisterMeasurementModeTemplate();
void RegisterPlateMovementTemplate();

// Every step page has the same size and font; the caption names the step.
framework::DialogTemplate StepTemplate(int id, int step);

namespace control {

using framework::ControlKind;
using framework::ControlTemplate;
using framework::Rect;

// Options that most controls leave at their defaults.
struct Style {
    bool visible = true;
    bool groupStart = false;
    bool centred = false;
};

inline ControlTemplate Make(int id, ControlKind kind, std::string text, Rect rect, Style style) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.rect = rect;
    c.visible = style.visible;
    c.groupStart = style.groupStart;
    c.centred = style.centred;
    return c;
}

inline ControlTemplate Label(int id, std::string text, Rect rect, Style style = {}) {
    return Make(id, ControlKind::Label, std::move(text), rect, style);
}

// A group box also ends the radio group before it.
inline ControlTemplate GroupBox(int id, std::string text, Rect rect, Style style = {}) {
    style.groupStart = true;
    return Make(id, ControlKind::GroupBox, std::move(text), rect, style);
}

inline ControlTemplate Button(int id, std::string text, Rect rect, Style style = {}) {
    style.groupStart = true;
    return Make(id, ControlKind::PushButton, std::move(text), rect, style);
}

inline ControlTemplate Radio(int id, std::string text, Rect rect, Style style = {}) {
    return Make(id, ControlKind::RadioButton, std::move(text), rect, style);
}

inline ControlTemplate Edit(int id, Rect rect, Style style = {}) {
    return Make(id, ControlKind::EditBox, "", rect, style);
}

// Items in the order added, none in the template: the pages fill them.
inline ControlTemplate DropDown(int id, Rect rect, Style style = {}) {
    return Make(id, ControlKind::DropDownList, "", rect, style);
}

}  // namespace control
}  // namespace resources
