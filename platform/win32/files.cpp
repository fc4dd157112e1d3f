// Windows side of the file-system query: KERNEL32 itself, which resolves a
// relative path from the current directory and follows links.
#include "platform/platform.h"

namespace trivu::platform {

uint32_t getFileAttributesW(const char16_t* path) {
    if (path == nullptr) return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesW(reinterpret_cast<const wchar_t*>(path));
}

}  // namespace trivu::platform
