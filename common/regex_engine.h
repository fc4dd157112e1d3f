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

// The matcher's limits change the code Boost compiles, so every file that
// compiles it must see the same ones: they come from CMakeLists.txt, beside
// BOOST_REGEX_USE_CPP_LOCALE, and a file that includes Boost.Regex without
// them would build another matcher under the same names.
#if !defined(BOOST_REGEX_MAX_STATE_COUNT) || !defined(BOOST_REGEX_MAX_BLOCKS) || !defined(BOOST_REGEX_BLOCKSIZE) || \
    !defined(BOOST_REGEX_USE_CPP_LOCALE)
#error "Boost.Regex is compiled here without the matcher's limits of CMakeLists.txt"
#endif

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
using EnginePosition = std::u16string::const_iterator;
using EngineFlags = boost::regex_constants::match_flag_type;

// How far a call goes before it gives up, counted in the matcher's steps (a
// state of the compiled pattern tried at a position), never in time: the same
// call gives the same answer on every build and every machine.
//
// One search over N characters with a pattern of S characters may take
// max(N * S * S + 100,000, min(N * N + 100,000, BOOST_REGEX_MAX_STATE_COUNT))
// steps: the matcher's own estimate, with the N * N term capped much lower
// than Boost's 100,000,000 so that a runaway pattern gives up within a frame
// or two on any text a game holds; computed in 64 bits and held to what a
// 32-bit build can count, so that both builds stop at the same step.
//
// A call that walks every match (searchAll, replaceAll) runs a search for each,
// each with the budget of the text left: together they stop at
// (N + 1) * (S * S + kStepsPerCharacter) + BOOST_REGEX_MAX_STATE_COUNT steps
// for the whole text, so that a pattern cheap per search but searched at every
// character cannot run for N searches of N steps.
class StepAllowance {
public:
    static constexpr int64_t kStepsPerCharacter = 64;

    // For every search of a call over `textLength` characters.
    StepAllowance(size_t textLength, const EngineRegex& re);

    // The budget of a single search over `textLength` characters.
    static int64_t forOneSearch(size_t textLength, const EngineRegex& re);

    int64_t left() const { return left_; }
    void spend(int64_t steps) { left_ -= steps < left_ ? steps : left_; }

private:
    int64_t left_;
};

// boost::regex_search(from, end, match, re, flags, base), stopped by the
// budget of a search over [from, end) or by what `allowance` has left,
// whichever is less, and paid from the allowance. Throws EngineError as the
// matcher does ("The complexity of matching ...") when it runs out.
bool searchWithin(EnginePosition from, EnginePosition end, EngineMatch& match, const EngineRegex& re,
                  EngineFlags flags, EnginePosition base, StepAllowance& allowance);

// boost::regex_match on the whole `subject`, within one search's budget.
bool matchWithin(const std::u16string& subject, EngineMatch& match, const EngineRegex& re);

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
