#include "app/AutomationNames.h"

namespace app {

std::string InterfaceElementFromId(std::string_view id) {
    std::string element = "IID_";
    for (const char c : id) {
        if (c == '{' || c == '}') continue;
        element += c == '-' ? '_' : c;
    }
    return element;
}

}  // namespace app
