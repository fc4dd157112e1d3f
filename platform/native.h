// What each desktop call does when no desktop is attached: on Windows the
// real USER32 call (platform/win32), on Linux a failure, as on a session
// without that window or service (platform/posix).
#pragma once

#include "platform/desktop.h"

namespace trivu::platform::native {

TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_DECLARE, TRIVU_DESKTOP_NOTHING)

}  // namespace trivu::platform::native
