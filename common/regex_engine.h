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
#pragma once

#include <boost/regex.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace trivu {

using EngineText = std::wstring;
using EngineRegex = boost::wregex;
using EngineMatch = boost::wsmatch;
using EngineError = boost::regex_error;

// The host's UTF-16 text as the engine's characters and back; the round trip
// gives back the very same UTF-16 text, lone surrogates included.
EngineText toEngineText(std::u16string_view text);
std::u16string fromEngineText(std::wstring_view text);
std::u16string fromEngineText(const boost::wssub_match& group);  // empty when it took no part

// A pattern kept compiled. A compiled pattern never changes, and its copies
// share it.
struct KeptPattern {
    std::u16string pattern;
    bool ignoreCase;
    EngineRegex regex;
};
using PatternCache = std::vector<KeptPattern>;

// Compiles `pattern` as ECMAScript: "." stops at line ends and "^" and "$"
// hold only at the ends of the subject (Boost's defaults are Perl's).
// Throws EngineError for a malformed pattern. The last patterns compiled are
// kept compiled, so asking again for one of them costs a lookup.
EngineRegex compilePattern(std::u16string_view pattern, bool ignoreCase);

}  // namespace trivu
