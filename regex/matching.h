// The matching rules of the regular-expression ACEs, apart from the host:
// what a partial match and an exact match collect, the replacement format,
// and the control-character escapes of replacement texts.
//
// The engine may throw EngineError from any of these (a match too deep or
// too complex); the ACEs report it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/regex_engine.h"

namespace trivu {

// Backslash-r becomes a carriage return, then backslash-n a line feed; no
// other escape is read. Texts of one character are left as they are.
std::u16string convertControlChars(std::u16string_view text);

// Every whole match, left to right, the way the standard library's iterator
// walks them: after an empty match the next one may not be empty at the same
// place, and otherwise the walk moves on by one character.
std::vector<std::u16string> searchAll(const EngineRegex& re, const std::u16string& subject);

// Sub-match 0 and then every group (the empty text for a group that took no
// part) when the pattern matches the whole subject; nothing when it does not.
std::vector<std::u16string> matchExact(const EngineRegex& re, const std::u16string& subject);

// `subject` with every match replaced by `format`, read as an ECMAScript
// format: $$ a dollar, $& the match, $` and $' the text before and after it,
// $n and $nn a group. Anything else, a backslash included, is itself.
std::u16string replaceAll(const EngineRegex& re, const std::u16string& subject, const std::u16string& format);

}  // namespace trivu
