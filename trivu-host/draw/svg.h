// `run --svg FILE`: the drawing of a run, one panel per frame, written from
// the run's record (record/recorder.h). svg_layout.h reads the paths and
// places the labels; svg.cpp writes the document.
#pragma once

#include <string>

#include "trivu-host/record/recorder.h"

namespace standin {

// The whole document; the same record gives the same bytes.
std::string svg(const Recorder& recorder);

}  // namespace standin
