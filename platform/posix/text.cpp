// Linux side of the text calls. The process's ANSI code page is UTF-8 here,
// so CP_ACP and CP_UTF8 behave alike; the conversion itself is the shared
// codec's (platform/utf.h), whose rule for invalid input is the one Windows
// follows without flags.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/utf.h"

namespace trivu::platform {
namespace {

bool knownCodePage(unsigned codePage) { return codePage == CP_UTF8 || codePage == 0; }

// A length of -1 means "up to and with the terminator".
template <typename Char>
std::basic_string_view<Char> sourceText(const Char* source, int length) {
    if (length >= 0) return {source, static_cast<size_t>(length)};
    return {source, std::char_traits<Char>::length(source) + 1};
}

// Writes `out` to the destination as Windows does: the size needed when
// `size` is 0, else the units written, or 0 when they do not fit.
template <typename Char>
int deliver(const std::basic_string<Char>& out, Char* destination, int size) {
    if (out.size() > static_cast<size_t>(INT32_MAX)) return 0;
    int needed = static_cast<int>(out.size());
    if (size == 0) return needed;
    if (destination == nullptr || size < needed) return 0;
    std::memcpy(destination, out.data(), out.size() * sizeof(Char));
    return needed;
}

}  // namespace

int multiByteToWideChar(unsigned codePage, const char* source, int sourceLength, char16_t* destination,
                        int destinationSize) {
    if (!knownCodePage(codePage) || source == nullptr || sourceLength == 0 || destinationSize < 0) return 0;
    return deliver(utf::decodeUtf8(sourceText(source, sourceLength)), destination, destinationSize);
}

int wideCharToMultiByte(unsigned codePage, const char16_t* source, int sourceLength, char* destination,
                        int destinationSize) {
    if (!knownCodePage(codePage) || source == nullptr || sourceLength == 0 || destinationSize < 0) return 0;
    return deliver(utf::encodeUtf8(sourceText(source, sourceLength)), destination, destinationSize);
}

}  // namespace trivu::platform
