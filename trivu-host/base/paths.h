// File names as the host reads them (UTF-8: scenarios, the command line) and
// as the system wants them. Windows takes narrow names in the ANSI code page,
// so there they travel as UTF-16; Linux takes the bytes as they are.
#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "trivu-host/base/text.h"

namespace standin {

inline std::filesystem::path systemPath(const std::string& utf8) {
#if defined(_WIN32)
    return std::filesystem::path(trivu::utf::decodeUtf8(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}

// A path as the host prints it: UTF-8, with "/" between the names.
inline std::string utf8Name(const std::filesystem::path& path) {
#if defined(_WIN32)
    return trivu::utf::encodeUtf8(path.generic_u16string());
#else
    return path.generic_string();
#endif
}

inline std::FILE* openFile(const std::string& utf8, const char* mode) {
#if defined(_WIN32)
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(systemPath(utf8).c_str(), wideMode.c_str());
#else
    return std::fopen(utf8.c_str(), mode);
#endif
}

}  // namespace standin
