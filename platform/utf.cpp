#include "platform/utf.h"

namespace trivu::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;  // a continuation byte, or a lead of overlong or too large forms
}

// The second byte's range shuts out overlong forms (E0, F0), encoded
// surrogates (ED) and code points past U+10FFFF (F4).
void secondByteRange(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
}

// Decodes one code point at `at` and advances past what it used. A byte that
// breaks a sequence is not used: it starts the next one.
char32_t decodeOne(std::string_view s, size_t& at) {
    auto lead = static_cast<unsigned char>(s[at++]);
    int length = sequenceLength(lead);
    if (length == 1) return lead;
    if (length == 0) return kReplacement;
    char32_t point = lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
        unsigned char low = 0x80, high = 0xBF;
        if (k == 1) secondByteRange(lead, low, high);
        if (at >= s.size()) return kReplacement;
        auto next = static_cast<unsigned char>(s[at]);
        if (next < low || next > high) return kReplacement;
        point = (point << 6) | (next & 0x3F);
        ++at;
    }
    return point;
}

void appendUtf16(std::u16string& out, char32_t point) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t point) {
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

}  // namespace

std::u16string utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) appendUtf16(out, decodeOne(bytes, at));
    return out;
}

std::string utf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t point = units[i];
        if (isHighSurrogate(point) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            point = 0x10000 + ((point - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (isHighSurrogate(point) || isLowSurrogate(point)) {
            point = kReplacement;
        }
        appendUtf8(out, point);
    }
    return out;
}

}  // namespace trivu::platform
