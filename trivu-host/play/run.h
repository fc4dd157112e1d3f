// `trivu-host run`: loads a scenario file and plays it.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "trivu-host/play/library.h"
#include "trivu-host/play/run_report.h"

namespace standin {

class Desktop;

struct RunOptions {
    std::string scenarioPath;
    bool trace = false;
    // Who follows the run (the recorder of its pictures), or null.
    RunReport* report = nullptr;
    // Called once the scenario is checked and its own files are written,
    // before the first frame: where the files a follower writes are opened,
    // so that one that cannot be written ends the run before it prints
    // anything. Answers false (having said why on `err`) to end it there.
    std::function<bool(std::ostream& err)> beforeFirstFrame;
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
// or threw) or `beforeFirstFrame` refused (nothing is played). A run-time
// path that is no run-time library makes the scenario unusable.
int runScenario(Library& library, const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace standin
