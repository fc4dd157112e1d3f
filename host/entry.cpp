// Load-time exports and the library's entry point.
#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include "host/catalogue.h"
#include "host/boundary/editdata.h"
#include "platform/platform.h"
#include "sdk/exports.h"
#include "sdk/layout_checks.h"

using namespace trivu;

namespace {

#if !defined(_WIN32)
// The module handle through which every resource is loaded. On Windows the
// DLL entry point receives it; here the base address of the loaded library
// stands for it.
__attribute__((constructor)) void rememberModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&rememberModule), &info) != 0)
        platform::setModule(static_cast<HINSTANCE>(info.dli_fbase));
}
#endif

// The host debugger shows no items: the list holds only its end marker.
uint16_t kDebugTree[] = {0xFFFF};

}  // namespace

extern "C" {

#if defined(_WIN32)
// The library's entry point keeps the module handle through which every
// resource is loaded.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) platform::setModule(module);
    return TRUE;
}
#endif

void WINAPI AttachDesktop(const TrivuDesktop* desktop) { platform::attachDesktop(desktop); }

uint32_t WINAPI Initialize(mv*, int32_t) { return 0; }
uint32_t WINAPI Free(mv*) { return 0; }

uint32_t WINAPI GetInfos(int32_t info) {
    switch (info) {
        case KGI_VERSION: return EXT_VERSION2;
        case KGI_PLUGIN: return EXT_PLUGIN_VERSION1;
        case KGI_BUILD: return 280;  // the oldest host build that runs the extension
        case KGI_UNICODE: return 1;  // every text is UTF-16
        default: return 0;
    }
}

const char16_t** WINAPI GetDependencies() { return nullptr; }

// The second argument is opaque (a file name or an object record, depending
// on the host's version): it is never read.
int32_t WINAPI LoadObject(mv*, const void*, EDITDATA*, int32_t) { return 0; }
void WINAPI UnloadObject(mv*, EDITDATA*, int32_t) {}
// Records are always of the current layout: there is nothing to convert.
void* WINAPI UpdateEditStructure(mv*, void*) { return nullptr; }
void WINAPI UpdateFileNames(mv*, const char16_t*, EDITDATA*, void(WINAPI*)(const char16_t*, char16_t*)) {}

void WINAPI StartApp(mv*, void*) {}
void WINAPI EndApp(mv*, void*) {}
void WINAPI StartFrame(mv*, void*, int32_t) {}
void WINAPI EndFrame(mv*, void*, int32_t) {}

uint16_t* WINAPI GetDebugTree(RUNDATA*) { return kDebugTree; }
void WINAPI GetDebugItem(char16_t*, RUNDATA*, int32_t) {}
void WINAPI EditDebugItem(RUNDATA*, int32_t) {}

}  // extern "C"
