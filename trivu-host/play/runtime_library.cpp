// The host's runtime library as the stand-in ships it: mmfs2.dll on Windows,
// mmfs2.so on Linux, loaded by trivu-host before the extension. The real
// library is the host's own; of it the extension calls one export, by
// ordinal 90 on Windows (runtime_library.def) and by this name on Linux,
// where ELF has no ordinals.
#include "sdk/types.h"

#if defined(_WIN32)
#define TRIVU_RUNTIME_EXPORT  // exported by runtime_library.def, at its ordinal
#else
#define TRIVU_RUNTIME_EXPORT __attribute__((visibility("default")))
#endif

// Answers for an application handle and an image number; deterministic, so
// that traces do not depend on any image bank.
extern "C" TRIVU_RUNTIME_EXPORT int32_t WINAPI RuntimeOrdinal90(void*, int32_t image) { return image + 100; }
