// Text helpers of the host: UTF-8 and UTF-16 conversion, the trace's quoting
// and its number formats.
//
//   1. UTF-16 to UTF-8
//   2. UTF-8 to UTF-16
//   3. Quoting
//   4. Numbers
#include "trivu-host/text.h"

#include <charconv>
#include <cstdint>

namespace host {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// The code point starting at text[i]; advances i past it. A lone surrogate
// reads as U+FFFD so that everything downstream sees valid Unicode.
char32_t nextCodePoint(std::u16string_view text, size_t& i) {
    char16_t unit = text[i++];
    if (isHighSurrogate(unit)) {
        if (i < text.size() && isLowSurrogate(text[i])) {
            char16_t low = text[i++];
            return 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
        }
        return kReplacement;
    }
    if (isLowSurrogate(unit)) return kReplacement;
    return unit;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Overlong forms,
// surrogates and truncated sequences are invalid: one U+FFFD, and decoding
// resumes at the next byte, as most decoders do.
char32_t nextUtf8(std::string_view text, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t c = 0, minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return c;
}

const char kHexDigits[] = "0123456789abcdef";

void appendQuoted(std::string& out, char32_t c) {
    switch (c) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    if (c < 0x20) {
        out += "\\u00";
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0xF];
        return;
    }
    appendUtf8(out, c);
}

// The shortest round-trip form has no marker of a non-integer when the value
// is integral ("1"); a log reader must still tell it from an integer.
std::string withPointIfBare(const char* begin, const char* end) {
    std::string text(begin, end);
    if (text.find_first_of(".e") == std::string::npos && text.find("inf") == std::string::npos &&
        text.find("nan") == std::string::npos)
        text += ".0";
    return text;
}

}  // namespace

// ---- 1. UTF-16 to UTF-8 ------------------------------------------------------

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) appendUtf8(out, nextCodePoint(text, i));
    return out;
}

// ---- 2. UTF-8 to UTF-16 ------------------------------------------------------

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) appendUtf16(out, nextUtf8(text, i));
    return out;
}

// ---- 3. Quoting --------------------------------------------------------------

std::string quoted(std::u16string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) appendQuoted(out, nextCodePoint(text, i));
    out += '"';
    return out;
}

std::string quoted(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size();) appendQuoted(out, nextUtf8(utf8, i));
    out += '"';
    return out;
}

// ---- 4. Numbers --------------------------------------------------------------

std::string formatFloat(float value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return withPointIfBare(buffer, result.ptr);
}

std::string formatDouble(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return withPointIfBare(buffer, result.ptr);
}

}  // namespace host
