// The attached desktop, for the other parts of the platform layer.
#pragma once

#include "platform/desktop.h"

namespace trivu::platform {

// The table attached with attachDesktop, or null.
const TrivuDesktop* attachedDesktop();

// Runs a dialog from its template on the attached desktop; -1 without one.
intptr_t dialogBoxIndirect(const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param);

}  // namespace trivu::platform
