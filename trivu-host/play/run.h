// `trivu-host run`: loads a scenario file and plays it.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "trivu-host/play/library.h"
#include "trivu-host/record/recorder.h"

namespace standin {

class Desktop;

struct RunOptions {
    std::string scenarioPath;
    bool trace = false;
    std::string svgPath;   // when not empty, the drawing of the run goes there
    std::optional<TickRange> svgTicks;  // the ticks it draws; all when none
    std::string htmlPath;  // when not empty, the page that plays the run goes there
    // The desktop already attached to the library. When null, the run makes
    // its own and attaches it for its duration.
    Desktop* desktop = nullptr;
    // When not empty, the run is played as a built game plays it: on the
    // run-time library at this path, loaded once the edit-time records are
    // built. `releaseEditor` is called first, to free the edit-time library.
    std::string runtimePath;
    std::function<void()> releaseEditor;
};

// Runs the scenario with the loaded library, printing the trace to `out`.
// Answers the exit status: 0 after a run, 2 for an unusable scenario (the
// message, naming the JSON path of the fault, goes to `err`), 1 when the
// extension itself made the run impossible (it refused an edit-time record,
// or threw) or the drawing cannot be written (found before the first frame,
// when it cannot be opened: nothing is played). A run-time path that is no
// run-time library makes the scenario unusable.
int runScenario(Library& library, const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace standin
