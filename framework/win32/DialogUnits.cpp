#include "framework/win32/DialogUnits.h"

namespace framework::win32 {

RECT DialogUnits::ToPixels(const Rect& rect) const {
    RECT r{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h};
    MapDialogRect(m_dialog, &r);
    return r;
}

SIZE DialogUnits::ToPixels(int width, int height) const {
    const RECT r = ToPixels(Rect{0, 0, width, height});
    return {r.right, r.bottom};
}

int DialogUnits::X(int units) const {
    return ToPixels(Rect{0, 0, units, 0}).right;
}

int DialogUnits::Y(int units) const {
    return ToPixels(Rect{0, 0, 0, units}).bottom;
}

}  // namespace framework::win32
