// The host's runtime library on Windows: mmfs2.dll, loaded by the host before
// any extension. Its image call has no name the SDK publishes, only its
// ordinal, 90; it takes the standard Windows calling convention.
#include "platform/platform.h"

namespace trivu::platform {

int32_t runtimeImageValue(void* application, int32_t image) {
    using ImageCall = int32_t(WINAPI*)(void* application, int32_t image);
    HMODULE library = ::GetModuleHandleW(L"mmfs2.dll");
    if (library == nullptr) return 0;
    FARPROC found = ::GetProcAddress(library, MAKEINTRESOURCEA(90));
    if (found == nullptr) return 0;
    // Through a function type without arguments, the one cast GCC takes
    // between function pointer types without a warning.
    auto call = reinterpret_cast<ImageCall>(reinterpret_cast<void (*)()>(found));
    return call(application, image);
}

}  // namespace trivu::platform
