#pragma once

// The Windows API for the Win32 host, after the framework's own names. <windows.h> defines
// macros that clash with them (IDOK, IDCANCEL, TRUE, FALSE, MessageBox, LoadString,
// LoadIcon): the framework's headers are read first, and the clashing macros go afterwards, so
// the host calls the A functions by their full names (text is bytes in the single-byte code
// page throughout). Every file of the host includes <windows.h> through this header only.

#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/Resources.h"
#include "support/Bool.h"

#include <windows.h>

#undef IDOK
#undef IDCANCEL
#undef MessageBox
#undef LoadString
#undef LoadIcon
