// The desktop calls: each one goes to the attached TrivuDesktop, or, without
// a desktop or without the entry, to the platform's own call (native.h).
#include "platform/attached.h"
#include "platform/lifetime.h"
#include "platform/native.h"
#include "platform/platform.h"

namespace trivu::platform {
namespace {

constinit const TrivuDesktop*& attached = platformLife.desktop;  // kept in platform/lifetime.h

// The entry `member` of the attached table, or null when the table is missing
// or too short to hold it.
template <typename F>
F entry(F TrivuDesktop::*member) {
    if (attached == nullptr) return nullptr;
    static const TrivuDesktop probe{};
    auto offset = static_cast<size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                                      reinterpret_cast<const char*>(&probe));
    if (attached->size < offset + sizeof(F)) return nullptr;
    return attached->*member;
}

}  // namespace

const TrivuDesktop* attachedDesktop() { return attached; }

intptr_t dialogBoxIndirect(const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param) {
    auto f = entry(&TrivuDesktop::dialogBoxIndirectParamW);
    return f ? f(attached->context, dialog, owner, proc, param) : -1;
}

void attachDesktop(const TrivuDesktop* desktop) { attached = desktop; }

// Each CALL row of desktop_calls.h: the attached entry when there is one,
// the native call otherwise.
#define TRIVU_DESKTOP_FORWARD(name, Result, Parameters, Arguments, Failure, EntryResult, EntryParameters, \
                              EntryArguments)                                                               \
    Result name Parameters {                                                                                \
        auto f = entry(&TrivuDesktop::name);                                                                \
        if (f == nullptr) return native::name Arguments;                                                    \
        void* context = attached->context;                                                                  \
        return static_cast<Result>(f EntryArguments);                                                       \
    }

TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_FORWARD, TRIVU_DESKTOP_NOTHING)

#undef TRIVU_DESKTOP_FORWARD

}  // namespace trivu::platform
