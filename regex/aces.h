// Regular-expression ACEs.
#pragma once

#include "host/rundata.h"

namespace trivu {

void toggleCaseSensitivity(RUNDATA& rd);    // action 3
void toggleControlCharacters(RUNDATA& rd);  // action 4
bool mismatchHasId(RUNDATA& rd);            // condition 2

}  // namespace trivu
