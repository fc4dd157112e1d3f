// Text helpers of the host: UTF-8 and UTF-16 conversion, the trace's quoting
// and its number formats.
//
//   1. UTF-8 and UTF-16 (the codec the extension uses too)
//   2. Quoting
//   3. Numbers
#include "trivu-host/text.h"

#include <charconv>
#include <cstdint>

#include "platform/utf.h"

namespace host {
namespace {

const char kHexDigits[] = "0123456789abcdef";

// Escapes valid UTF-8 byte by byte: every character that needs an escape is
// a single byte, and the bytes of the others pass as they are.
std::string escaped(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\b': out += "\\b"; continue;
            case '\f': out += "\\f"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            out += "\\u00";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
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

// ---- 1. UTF-8 and UTF-16 -----------------------------------------------------

std::string toUtf8(std::u16string_view text) { return trivu::platform::utf16ToUtf8(text); }

std::u16string toUtf16(std::string_view text) { return trivu::platform::utf8ToUtf16(text); }

// ---- 2. Quoting --------------------------------------------------------------

std::string quoted(std::u16string_view text) { return escaped(toUtf8(text)); }

// Bytes that are no UTF-8 must not leak into the trace: they go through the
// codec's replacement first.
std::string quoted(std::string_view utf8) { return escaped(toUtf8(toUtf16(utf8))); }

// ---- 3. Numbers --------------------------------------------------------------

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
