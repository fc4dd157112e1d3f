// The instance's own text: action 0 sets it, expression 0 reads it.
#pragma once

#include "host/boundary/services.h"

namespace trivu {

void setText(RUNDATA& rd);
intptr_t getText(RUNDATA& rd, ExpressionParams& params);

}  // namespace trivu
