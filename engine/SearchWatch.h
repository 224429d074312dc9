#pragma once

// How a face watches the serial devices that a search through every port makes besides the
// sheet's own: the trace their bytes go to, and where to show what the search is waiting on.
//   sheet.m_searchWatch = {&trace, [&host](const std::string& text) { host.ShowBusyText(text); }};

#include <functional>
#include <string>

namespace device {
class LineTrace;
}

namespace engine {

struct SearchWatch {
    device::LineTrace* trace = nullptr;  // none: not traced
    // Called on the sheet's thread with the latest text; none: not shown.
    std::function<void(const std::string&)> show;
};

}  // namespace engine
