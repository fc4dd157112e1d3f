// The alignment actions: the selected instances of one Active object in a
// grid, a row or a column. The host calls an action once per instance with
// the loop index k; the call with k = 0 reads and checks the parameters and
// leaves them, with the running offset, for the later calls.
#pragma once

#include "host/boundary/services.h"

namespace trivu {

void alignGrid(RUNDATA& rd);           // action 7
void alignLeftToRight(RUNDATA& rd);    // action 13
void alignRightToLeft(RUNDATA& rd);    // action 14, with the number text shown as glyphs
void alignTopToBottom(RUNDATA& rd);    // action 16
void alignBottomToTop(RUNDATA& rd);    // action 17

}  // namespace trivu
