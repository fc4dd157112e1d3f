// Object-control ACEs.
#pragma once

#include "host/rundata.h"

namespace trivu {

// Condition 9: raised when a motion group is removed; true for the events
// that name it (exactly, case included).
bool groupWasRejected(RUNDATA& rd);

}  // namespace trivu
