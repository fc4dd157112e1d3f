#include "objctrl/aces.h"

#include "host/services.h"
#include "objctrl/registry.h"

namespace trivu {

bool groupWasRejected(RUNDATA& rd) { return textParam(rd) == registry().lastRejectedGroup; }

}  // namespace trivu
