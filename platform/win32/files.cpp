// Windows side of the path test: KERNEL32 itself, which resolves a relative
// path from the current directory and follows links. The errors that say
// nothing is there are the system's "not found" ones and a name it refuses.
#include <string>

#include "platform/platform.h"

namespace trivu::platform {

PathState pathState(std::u16string_view path) {
    if (path.empty()) return PathState::Missing;
    const std::u16string name(path);  // the call wants the terminator
    if (::GetFileAttributesW(reinterpret_cast<const wchar_t*>(name.c_str())) != INVALID_FILE_ATTRIBUTES)
        return PathState::Present;
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_NAME: return PathState::Missing;
        default: return PathState::Unusable;
    }
}

}  // namespace trivu::platform
