// A subsystem's representative sequence of calls, replayed with the N-th
// allocation failing for N = 1, 2, 3 ... until a run meets no failure.
//
// A sequence is a list of steps on a world that start() makes afresh, and an
// observation of the world (its documents, lists, positions) that leaves the
// world as it is. A step hit by the failure must leave the world either as
// it was before the step or as the step makes it; a step that left it as
// before is run again without a failure and must then do its work; the steps
// after it must do theirs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace faults {

struct Step {
    std::string name;
    std::function<void()> run;
};

struct Sequence {
    std::function<void()> start;  // a fresh world, outside the count
    std::vector<Step> steps;
    std::function<std::string()> observe;
    std::function<void()> finish = [] {};
};

// Runs the loop with gtest assertions; answers the number of injection
// points (the requests that were made to fail, one per run).
int runWithFailures(const Sequence& sequence, int limit = 20000);

}  // namespace faults
