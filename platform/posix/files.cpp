// Linux side of the path test: the host's UTF-16 path becomes the narrow
// (UTF-8) name the system expects. stat() follows symbolic links, so a link
// whose target is gone names nothing.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"

namespace trivu::platform {
namespace {

// A lone surrogate has no UTF-8 form: no file can carry that name (its
// replacement would name another file).
bool hasLoneSurrogate(std::u16string_view path) {
    for (size_t i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i];
        if (unit < 0xD800 || unit > 0xDFFF) continue;
        if (unit >= 0xDC00 || i + 1 == path.size() || path[i + 1] < 0xDC00 || path[i + 1] > 0xDFFF) return true;
        ++i;
    }
    return false;
}

}  // namespace

PathState pathState(std::u16string_view path) {
    if (path.empty() || hasLoneSurrogate(path)) return PathState::Missing;
    const std::string name = utf16ToNarrow(path);
    struct stat status {};
    if (stat(name.c_str(), &status) == 0) return PathState::Present;
    return errno == ENOENT || errno == ENOTDIR ? PathState::Missing : PathState::Unusable;
}

}  // namespace trivu::platform
