// Text helpers of the host: UTF-8 and UTF-16, and the trace's notations.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// The extension's codec (platform/utf.h): a lone surrogate becomes U+FFFD in
// UTF-8, each maximal ill-formed subpart of UTF-8 one U+FFFD in UTF-16.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view text);

// A text as the trace prints it: a JSON string in double quotes with \" \\ \b
// \f \n \r \t, \u00XX (lower-case hex) for the other characters below U+0020,
// everything else as itself in UTF-8.
std::string quoted(std::u16string_view text);
std::string quoted(std::string_view utf8);

// Numbers as a log line prints them: the shortest form that reads back to
// the same value of that width, with ".0" added when the form has no ".",
// "e", "inf" or "nan".
std::string formatFloat(float value);
std::string formatDouble(double value);

}  // namespace standin
