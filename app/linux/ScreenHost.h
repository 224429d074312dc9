#pragma once

// The host of the screen on Linux: the Qt host.

namespace framework::qt {
class QtHost;
}

namespace app {
using ScreenHost = framework::qt::QtHost;
}
