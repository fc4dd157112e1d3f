// The trace's notations. Text between UTF-8 and UTF-16 goes through the
// extension's own codec, platform/utf.h, and nothing else: both sides read
// the same bytes as the same text.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf.h"

namespace standin {

// A text as the trace prints it: a JSON string in double quotes with \" \\ \b
// \f \n \r \t, \u00XX (lower-case hex) for the other characters below U+0020,
// everything else as itself in UTF-8.
std::string quoted(std::u16string_view text);
std::string quoted(std::string_view utf8);

// Well-formed UTF-8 appended as quoted() writes it; `scriptSafe` also writes
// `<` as \u003c, so that no "</script>" in a text ends a page's script.
void appendJsonString(std::string& out, std::string_view utf8, bool scriptSafe);

// Numbers as a log line prints them: the shortest form that reads back to
// the same value of that width, with ".0" added when the form has no ".",
// "e", "inf" or "nan".
std::string formatFloat(float value);
std::string formatDouble(double value);

}  // namespace standin
