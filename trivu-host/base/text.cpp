// The trace's notations:
//   1. Quoting
//   2. Numbers
#include "trivu-host/base/text.h"

#include <charconv>
#include <cstdint>

#include "platform/utf.h"

namespace standin {
namespace {

const char kHexDigits[] = "0123456789abcdef";

std::string escaped(std::string_view utf8) {
    std::string out;
    appendJsonString(out, utf8, false);
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

// ---- 1. Quoting --------------------------------------------------------------

// Byte by byte: every character that needs an escape is a single byte, and
// the bytes of the others pass as they are.
void appendJsonString(std::string& out, std::string_view utf8, bool scriptSafe) {
    out += '"';
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
        if (byte < 0x20 || (scriptSafe && c == '<')) {
            out += "\\u00";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string quoted(std::u16string_view text) { return escaped(trivu::platform::utf16ToUtf8(text)); }

// Bytes that are no UTF-8 must not leak into the trace: they go through the
// codec's replacement first.
std::string quoted(std::string_view utf8) { return escaped(trivu::platform::utf16ToUtf8(trivu::platform::utf8ToUtf16(utf8))); }

// ---- 2. Numbers --------------------------------------------------------------

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

}  // namespace standin
