#pragma once

// Icons of the resources (SVG or PNG bytes, see framework/Resources.h) as Qt images.
//   window->setWindowIcon(framework::qt::MakeIcon(sheet.GetIcon(true)));

#include <QIcon>
#include <QPixmap>

#include "framework/Resources.h"

namespace framework::qt {

// The icon drawn square at size x size pixels; a null pixmap when the handle has no image or
// its bytes are no image Qt can read.
QPixmap RenderIcon(IconHandle icon, int size);

// The icon at the sizes that title bars, task switchers and docks ask for; an empty icon when
// the handle has no image.
QIcon MakeIcon(IconHandle icon);

}  // namespace framework::qt
