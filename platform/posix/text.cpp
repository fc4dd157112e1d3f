// Linux side of the text calls. The process's ANSI code page is UTF-8 here,
// so CP_ACP and CP_UTF8 behave alike. As on Windows without flags, an
// invalid UTF-8 sequence becomes one U+FFFD per maximal ill-formed subpart,
// and a lone surrogate in UTF-16 becomes U+FFFD in UTF-8.
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace trivu::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool knownCodePage(unsigned codePage) { return codePage == CP_UTF8 || codePage == 0; }

// The range the second byte of a sequence may take, for its lead byte.
void secondByteRange(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
}

int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;  // never a lead byte
}

// Decodes one code point at `at`, advancing it past what was used.
char32_t decodeOne(const unsigned char* s, size_t n, size_t& at) {
    unsigned char lead = s[at++];
    int length = sequenceLength(lead);
    if (length == 1) return lead;
    if (length == 0) return kReplacement;
    char32_t point = lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
        unsigned char low = 0x80, high = 0xBF;
        if (k == 1) secondByteRange(lead, low, high);
        if (at >= n || s[at] < low || s[at] > high) return kReplacement;  // the failing byte starts anew
        point = (point << 6) | (s[at++] & 0x3F);
    }
    return point;
}

size_t effectiveLength(const char* source, int length) {
    return length < 0 ? std::strlen(source) + 1 : static_cast<size_t>(length);
}

size_t effectiveLength(const char16_t* source, int length) {
    if (length >= 0) return static_cast<size_t>(length);
    size_t n = 0;
    while (source[n] != 0) ++n;
    return n + 1;
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
    auto bytes = reinterpret_cast<const unsigned char*>(source);
    size_t n = effectiveLength(source, sourceLength);
    std::u16string out;
    out.reserve(n);
    for (size_t at = 0; at < n;) {
        char32_t point = decodeOne(bytes, n, at);
        if (point >= 0x10000) {
            point -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(point));
        }
    }
    return deliver(out, destination, destinationSize);
}

int wideCharToMultiByte(unsigned codePage, const char16_t* source, int sourceLength, char* destination,
                        int destinationSize) {
    if (!knownCodePage(codePage) || source == nullptr || sourceLength == 0 || destinationSize < 0) return 0;
    size_t n = effectiveLength(source, sourceLength);
    std::string out;
    out.reserve(n * 3);
    for (size_t i = 0; i < n; ++i) {
        char32_t point = source[i];
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < n && source[i + 1] >= 0xDC00 && source[i + 1] <= 0xDFFF) {
            point = 0x10000 + ((point - 0xD800) << 10) + (source[i + 1] - 0xDC00);
            ++i;
        } else if (point >= 0xD800 && point <= 0xDFFF) {
            point = kReplacement;
        }
        if (point < 0x80) {
            out.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (point >> 6)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (point >> 12)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (point >> 18)));
            out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }
    return deliver(out, destination, destinationSize);
}

}  // namespace trivu::platform
