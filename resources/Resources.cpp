#include "resources/Resources.h"

namespace resources {

void RegisterResources() {
    RegisterStrings();
    RegisterDialogTemplates();
    RegisterIcons();
}

}  // namespace resources
