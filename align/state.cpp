#include "align/state.h"

namespace trivu {
namespace {
AlignState state;
}  // namespace

AlignState& alignState() { return state; }

void resetAlignState() { state = AlignState{}; }

}  // namespace trivu
