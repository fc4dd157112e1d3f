// Linux has no desktop of its own: without an attached one, every call fails
// as it would on a Windows session without that window or service, with the
// failure its row in desktop_calls.h gives.
#include "platform/native.h"

namespace trivu::platform::native {
namespace {

// A failing call looks at none of its arguments.
template <typename... T>
void unused(const T&...) {}

}  // namespace

#define TRIVU_DESKTOP_FAIL(name, Result, Parameters, Arguments, Failure, ...) \
    Result name Parameters {                                                  \
        unused Arguments;                                                     \
        return Failure;                                                       \
    }

TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_FAIL, TRIVU_DESKTOP_NOTHING)

#undef TRIVU_DESKTOP_FAIL

}  // namespace trivu::platform::native
