#pragma once

// The widget factory: one Qt widget per control kind, and the mirror that writes a control's
// state into its widget. Texts are shown as plain text only; a drop-down list with no
// selection shows none; radio buttons are not exclusive on their own, since the model clears
// the other buttons of a group itself and must be able to show a group with none checked.
//   QWidget* w = framework::qt::CreateControlWidget(control, page);
//   framework::qt::MirrorControl(*w, control, framework::ControlChange::Items);

#include <QWidget>

#include "framework/Control.h"

namespace framework::qt {

// The object name of a control's widget: "control_<id>" ("control_static" for id -1).
QString ControlObjectName(int id);

// A new widget for the control, child of parent, showing the control's whole state. Its
// geometry is the caller's to set.
QWidget* CreateControlWidget(const Control& control, QWidget* parent);

// Writes one aspect of the control's state into its widget; no widget signal fires for it.
void MirrorControl(QWidget& widget, const Control& control, ControlChange what);
void MirrorAll(QWidget& widget, const Control& control);

}  // namespace framework::qt
