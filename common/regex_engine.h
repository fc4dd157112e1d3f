// The regular-expression engine that every pattern of the library runs on,
// the parameter parser's as well as the designer's: Boost.Regex, with the
// flags that give its Perl dialect the ECMAScript meaning.
//
// Why not std::regex: the standard library's matcher recurses once per
// character, so a long subject overflows the stack and takes the game down,
// and a catastrophic pattern such as (a+)+b runs for ever. Boost's matcher
// keeps its backtracking state on the heap and throws a regex_error when a
// match grows too deep or too complex, which callers report like a malformed
// pattern.
//
// It runs on the host's UTF-16 text as it is, one unit a character, with the
// character model of common/regex_traits.h on every build.
#pragma once

#include <boost/regex.hpp>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/regex_traits.h"

namespace trivu {

using EngineRegex = boost::basic_regex<char16_t, RegexTraits>;
using EngineMatch = boost::match_results<std::u16string::const_iterator>;
using EngineError = boost::regex_error;

// Unicode: the classes of the designer's patterns. Ascii: those of the
// parameter parser, where \d and \w hold ASCII units only.
enum class CharacterMode : uint8_t { unicode, ascii };

// A pattern kept compiled. A compiled pattern never changes, and its copies
// share it.
struct KeptPattern {
    std::u16string pattern;
    bool ignoreCase;
    CharacterMode mode;
    EngineRegex regex;
};
using PatternCache = std::vector<KeptPattern>;

// Compiles `pattern` as ECMAScript: "." stops at line ends and "^" and "$"
// hold only at the ends of the subject (Boost's defaults are Perl's).
// Throws EngineError for a malformed pattern. The last patterns compiled are
// kept compiled, so asking again for one of them costs a lookup.
EngineRegex compilePattern(std::u16string_view pattern, bool ignoreCase,
                           CharacterMode mode = CharacterMode::unicode);

}  // namespace trivu
