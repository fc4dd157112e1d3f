#include "json/aces.h"

#include "host/services.h"
#include "json/store.h"

namespace trivu {

bool targetIdMatches(RUNDATA& rd) { return intParam(rd, PARAM_REQUEST_AS_IS) == jsonWork().targetId; }

}  // namespace trivu
