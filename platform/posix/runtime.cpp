// The host's runtime library on Linux, where the stand-in host ships it as
// mmfs2.so (soname "mmfs2.so") and loads it before the extension. ELF has no
// ordinals: the export of ordinal 90 goes by the name RuntimeOrdinal90.
#include <dlfcn.h>

#include "platform/platform.h"

namespace trivu::platform {

int32_t runtimeImageValue(void* application, int32_t image) {
    using ImageCall = int32_t (*)(void* application, int32_t image);
    void* library = ::dlopen("mmfs2.so", RTLD_LAZY | RTLD_NOLOAD);  // only if already loaded
    if (library == nullptr) return 0;
    auto call = reinterpret_cast<ImageCall>(::dlsym(library, "RuntimeOrdinal90"));
    const int32_t answer = call != nullptr ? call(application, image) : 0;
    ::dlclose(library);
    return answer;
}

}  // namespace trivu::platform
