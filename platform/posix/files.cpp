// Linux side of the file-system query: the path is UTF-16 from the host and
// becomes the UTF-8 name the system expects. stat() follows symbolic links,
// so a link whose target is gone names nothing.
#include <sys/stat.h>

#include <string>

#include "platform/platform.h"

namespace trivu::platform {
namespace {

std::string systemName(const char16_t* path) {
    int length = static_cast<int>(std::char_traits<char16_t>::length(path));
    if (length == 0) return {};
    int size = wideCharToMultiByte(CP_UTF8, path, length, nullptr, 0);
    std::string name(static_cast<size_t>(size), '\0');
    if (size > 0) wideCharToMultiByte(CP_UTF8, path, length, name.data(), size);
    return name;
}

}  // namespace

uint32_t getFileAttributesW(const char16_t* path) {
    if (path == nullptr) return INVALID_FILE_ATTRIBUTES;
    std::string name = systemName(path);
    struct stat status {};
    if (name.empty() || stat(name.c_str(), &status) != 0) return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

}  // namespace trivu::platform
