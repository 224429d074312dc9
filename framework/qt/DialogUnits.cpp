#include "framework/qt/DialogUnits.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace framework::qt {
namespace {

// units * base / divisor, rounded half away from zero.
int Scale(int units, double base, int divisor) {
    return static_cast<int>(std::lround(units * base / divisor));
}

double AverageCharWidth(const QFontMetrics& metrics) {
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return metrics.horizontalAdvance(letters) / 52.0;
}

}  // namespace

DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : DialogUnits(AverageCharWidth(metrics), metrics.height()) {}

// A unit of at least one pixel keeps every control visible, even with a broken font.
DialogUnits::DialogUnits(double baseX, double baseY)
    : m_baseX(std::max(baseX, 1.0)), m_baseY(std::max(baseY, 1.0)) {}

int DialogUnits::X(int units) const {
    return Scale(units, m_baseX, 4);
}

int DialogUnits::Y(int units) const {
    return Scale(units, m_baseY, 8);
}

QRect DialogUnits::ToPixels(const Rect& rect) const {
    const int left = X(rect.x);
    const int top = Y(rect.y);
    return {left, top, X(rect.x + rect.w) - left, Y(rect.y + rect.h) - top};
}

QSize DialogUnits::ToPixels(int width, int height) const {
    return {X(width), Y(height)};
}

}  // namespace framework::qt
