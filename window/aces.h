// The window and file utilities: the main window's caption and state, the
// task bar, and whether a path names anything.
#pragma once

#include "host/boundary/services.h"

namespace trivu {

void setCaption(RUNDATA& rd);     // action 1
void controlWindow(RUNDATA& rd);  // action 6: 0 minimise, 1 maximise or restore, 2 task bar
bool pathExists(RUNDATA& rd);     // condition 6

}  // namespace trivu
