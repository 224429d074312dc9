#pragma once

// The description a dialog window is made from: caption, size in dialog units, font and the
// controls in tab order. Templates are registered once (see Resources.h) and instantiated by
// Dialog::Create.
//   framework::DialogTemplate t{201, "Step 1", 278, 148};
//   t.controls.push_back({.id = 1003, .kind = ControlKind::PushButton, .text = "Find any",
//                         .rect = {10, 10, 50, 14}});

#include <string>
#include <vector>

namespace framework {

enum class ControlKind { Label, GroupBox, PushButton, RadioButton, EditBox, DropDownList };

// Position and size in dialog units.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Controls without an id (static frames and captions) use -1, as many may share it.
inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Label;
    std::string text;
    Rect rect;
    bool visible = true;
    bool enabled = true;
    // Starts a radio group (and ends the one before it).
    bool groupStart = false;
    // Labels only: the text is centred in the rectangle.
    bool centred = false;
    // Drop-down lists only: the items present when the dialog opens.
    std::vector<std::string> items;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0;   // dialog units
    int height = 0;  // dialog units
    std::string fontName = "MS Sans Serif";
    int fontSize = 8;                       // points
    std::vector<ControlTemplate> controls;  // tab order
};

}  // namespace framework
