// The attached desktop, for the other parts of the Linux platform layer.
#pragma once

#include "platform/desktop.h"

namespace trivu::platform::posix {

// The table attached with attachDesktop, or null.
const TrivuDesktop* desktop();

}  // namespace trivu::platform::posix

namespace trivu::platform::posix {

// Runs a dialog from its template on the attached desktop; -1 without one.
intptr_t dialogBoxIndirect(const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param);

}  // namespace trivu::platform::posix
