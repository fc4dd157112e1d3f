// JSON ACEs.
#pragma once

#include "host/rundata.h"

namespace trivu {

// Conditions 4, 7 and 8: raised by action 5 for the kind of the new target;
// true for the events that carry action 5's ID.
bool targetIdMatches(RUNDATA& rd);

}  // namespace trivu
