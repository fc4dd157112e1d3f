// `run --html FILE`: a page that plays a run tick by tick, written from the
// run's record (record/recorder.h). Its code is page/page.html, page.css and page.js,
// built into the program; the run goes into it as one JSON block.
#pragma once

#include <string>

#include "trivu-host/record/recorder.h"

namespace standin {

// The whole page for the record; `title` names the scenario.
std::string page(const Recorder& drawing, const std::string& title);

}  // namespace standin
