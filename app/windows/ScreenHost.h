#pragma once

// The host of the screen on Windows: the Win32 host.

namespace framework::win32 {
class Win32Host;
}

namespace app {
using ScreenHost = framework::win32::Win32Host;
}
