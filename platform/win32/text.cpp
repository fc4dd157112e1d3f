// Windows side of the text calls: KERNEL32's converters, without flags, so
// that invalid input becomes U+FFFD as the callers expect.
#include "platform/platform.h"

namespace trivu::platform {

int multiByteToWideChar(unsigned codePage, const char* source, int sourceLength, char16_t* destination,
                        int destinationSize) {
    return ::MultiByteToWideChar(codePage, 0, source, sourceLength, reinterpret_cast<wchar_t*>(destination),
                                 destinationSize);
}

int wideCharToMultiByte(unsigned codePage, const char16_t* source, int sourceLength, char* destination,
                        int destinationSize) {
    return ::WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(source), sourceLength,
                                 destination, destinationSize, nullptr, nullptr);
}

}  // namespace trivu::platform
