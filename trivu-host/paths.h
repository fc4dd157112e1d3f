// File names as the host reads them (UTF-8: scenarios, the command line) and
// as the system wants them.
#pragma once

#include <filesystem>
#include <string>

#include "trivu-host/text.h"

namespace host {

// Windows takes a narrow path in the ANSI code page, so the name goes there
// as UTF-16; Linux takes the bytes as they are.
inline std::filesystem::path systemPath(const std::string& utf8) {
#if defined(_WIN32)
    return std::filesystem::path(toUtf16(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}

}  // namespace host
