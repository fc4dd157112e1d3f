#include "tests/faults/sequence.h"

#include <gtest/gtest.h>

#include "tests/faults/inject.h"
#include "tests/unit/fake_host.h"

namespace faults {
namespace {

// Everything but the steps themselves belongs to the test, and is not
// counted: the loop runs on the host's side and leaves it for each step.
struct HostSide {
    HostSide() { ++test::hostSide; }
    ~HostSide() { --test::hostSide; }
};

std::string look(const Sequence& sequence) { return sequence.observe(); }

void runStep(const Step& step) {
    try {
        --test::hostSide;
        step.run();
        ++test::hostSide;
    } catch (const std::exception& e) {
        ++test::hostSide;
        ADD_FAILURE() << step.name << ": an exception reached the host: " << e.what();
    } catch (...) {
        ++test::hostSide;
        ADD_FAILURE() << step.name << ": an exception reached the host";
    }
}

std::vector<std::string> referenceStates(const Sequence& sequence) {
    sequence.start();
    std::vector<std::string> states{look(sequence)};
    for (const Step& step : sequence.steps) {
        runStep(step);
        states.push_back(look(sequence));
    }
    sequence.finish();
    return states;
}

}  // namespace

int runWithFailures(const Sequence& sequence, int limit) {
    HostSide host;
    const std::vector<std::string> states = referenceStates(sequence);
    for (int n = 1; n <= limit; ++n) {
        sequence.start();
        arm(static_cast<uint64_t>(n));
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            const Step& step = sequence.steps[i];
            bool hitBefore = injected();
            runStep(step);
            std::string seen = look(sequence);
            if (injected() && !hitBefore) {
                SCOPED_TRACE("request " + std::to_string(n) + " failed in step " + step.name);
                if (seen == states[i]) {
                    runStep(step);  // the failure is spent: it must work now
                    seen = look(sequence);
                }
                EXPECT_EQ(seen, states[i + 1]) << "the step left a state of its own";
            } else {
                EXPECT_EQ(seen, states[i + 1]) << "step " << step.name << " (request " << n << ")";
            }
            if (::testing::Test::HasFailure()) break;
        }
        bool hit = injected();
        disarm();
        sequence.finish();
        if (::testing::Test::HasFailure()) return n;
        if (!hit) return n - 1;
    }
    ADD_FAILURE() << "more than " << limit << " requests";
    return limit;
}

}  // namespace faults
