#pragma once

// Dialog templates are laid out in dialog units, which scale with the dialog's font: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height. So a template keeps its proportions with whatever font the desktop
// gives.
//   framework::qt::DialogUnits units(QFontMetrics(font));
//   widget->setGeometry(units.ToPixels(control.Bounds()));

#include <QFontMetrics>
#include <QRect>

#include "framework/DialogTemplate.h"

namespace framework::qt {

class DialogUnits {
public:
    // Average width of the 52 letters, unrounded, so that texts written for the template's
    // font keep their room; height from the font's line height.
    explicit DialogUnits(const QFontMetrics& metrics);
    // Base units in pixels (the width and height of one average character).
    DialogUnits(double baseX, double baseY);

    double BaseX() const { return m_baseX; }
    double BaseY() const { return m_baseY; }

    // Edges map separately, so controls that touch in units touch on screen.
    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(const Rect& rect) const;
    QSize ToPixels(int width, int height) const;

private:
    double m_baseX;
    double m_baseY;
};

}  // namespace framework::qt
