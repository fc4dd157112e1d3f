#include "regex/state.h"

namespace trivu {
namespace {
RegexState state;
}  // namespace

RegexState& regexState() { return state; }

void resetRegexState() { state = RegexState{}; }

}  // namespace trivu
