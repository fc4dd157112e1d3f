#include "common/regex_engine.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

#include "common/lifetime.h"
#include "platform/utf.h"

namespace trivu {
namespace {

// ---- Steps ------------------------------------------------------------------------

using Matcher = boost::BOOST_REGEX_DETAIL_NS::perl_matcher<EnginePosition, EngineMatch::allocator_type, RegexTraits>;

// The matcher keeps its step count and its limit to itself, and sets the limit
// from its own estimate. An explicit instantiation may name private members,
// which is the one way to read how many steps a search took and to set how
// many it may take.
template <class Tag, typename Tag::Type Member>
struct MemberOf {
    friend typename Tag::Type memberPointer(Tag) { return Member; }
};
struct StepCount {
    using Type = std::ptrdiff_t Matcher::*;
    friend Type memberPointer(StepCount);
};
struct StepLimit {
    using Type = std::ptrdiff_t Matcher::*;
    friend Type memberPointer(StepLimit);
};
template struct MemberOf<StepCount, &Matcher::state_count>;
template struct MemberOf<StepLimit, &Matcher::max_state_count>;

constexpr int64_t kMatcherFloor = 100000;        // the matcher's own allowance for any search
constexpr int64_t kMostSteps = 0x7fffffff - 2;   // what a 32-bit matcher's counter holds, as it keeps it

int64_t capped(int64_t steps) { return std::min(steps, kMostSteps); }
// Both at most kMostSteps, so the product fits before it is capped.
int64_t product(int64_t a, int64_t b) { return capped(a * b); }

int64_t patternStates(const EngineRegex& re) {
    return capped(std::max<int64_t>(1, static_cast<int64_t>(std::min<size_t>(re.size(), kMostSteps))));
}

int64_t characters(size_t length) { return static_cast<int64_t>(std::min<size_t>(length, kMostSteps)); }

void limit(Matcher& matcher, int64_t steps) { matcher.*memberPointer(StepLimit{}) = static_cast<std::ptrdiff_t>(steps); }

// ---- Patterns ---------------------------------------------------------------------

bool isHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// ECMAScript writes a character by its code as \uXXXX, where the engine reads
// \u as "an upper-case letter"; the engine's own form is \x{XXXX}. Every
// other escape passes through as written.
std::u16string withEngineCodeEscapes(std::u16string_view pattern) {
    std::u16string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'\\' || i + 1 == pattern.size()) {
            out.push_back(pattern[i]);
            continue;
        }
        std::u16string_view code = pattern.substr(i + 2, 4);
        if (pattern[i + 1] == u'u' && code.size() == 4 && std::all_of(code.begin(), code.end(), isHexDigit)) {
            out += u"\\x{";
            out += code;
            out += u'}';
            i += 5;
        } else {
            out += pattern.substr(i, 2);  // the escape and what it escapes
            ++i;
        }
    }
    return out;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Where a bracket expression that opens at `at` ends (at its "]"), as the
// engine reads it: a "]" first or after "^" is a member, a backslash takes
// the next character with it, and "[:", "[." and "[=" run to their closing
// pair. The end of the pattern if it never closes.
size_t bracketEnd(std::u16string_view p, size_t at) {
    size_t i = at + 1;
    if (i < p.size() && p[i] == u'^') ++i;
    if (i < p.size() && p[i] == u']') ++i;
    for (; i < p.size() && p[i] != u']'; ++i) {
        if (p[i] == u'\\') {
            ++i;
        } else if (p[i] == u'[' && i + 1 < p.size() && (p[i + 1] == u':' || p[i + 1] == u'.' || p[i + 1] == u'=')) {
            const char16_t close[] = {p[i + 1], u']', u'\0'};
            const size_t end = p.find(close, i + 2);
            if (end == std::u16string_view::npos) return p.size();
            i = end + 1;
        }
    }
    return i;
}

// Whether a group that opens with "(?" at `at` calls a group or the whole
// pattern again: (?R), (?N), (?+N), (?-N), (?&name), (?P>name).
bool isRecursion(std::u16string_view p, size_t at) {
    const std::u16string_view rest = p.substr(at + 2);
    if (rest.empty()) return false;
    const char16_t c = rest[0];
    if (c == u'R' || c == u'&' || isDigit(c)) return true;
    if ((c == u'+' || c == u'-') && rest.size() > 1 && isDigit(rest[1])) return true;
    return rest.starts_with(u"P>");
}

// The engine's Perl dialect lets a group call itself again, which ECMAScript
// has not, and such a pattern can run for seconds on a text of a few
// characters before the engine gives up (its step budget does not hold it).
// So it is refused as the ECMAScript grammar would refuse it, with a message
// in the engine's form.
void refuseRecursion(std::u16string_view pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'\\') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'Q') {  // quoted up to \E
                const size_t end = pattern.find(u"\\E", i + 2);
                if (end == std::u16string_view::npos) return;
                i = end + 1;
            } else {
                ++i;
            }
        } else if (pattern[i] == u'[') {
            i = bracketEnd(pattern, i);
        } else if (pattern[i] == u'(' && i + 1 < pattern.size() && pattern[i + 1] == u'?' && isRecursion(pattern, i)) {
            const size_t here = i + 2, from = here > 10 ? here - 10 : 0, to = std::min(here + 10, pattern.size());
            const bool whole = from == 0 && to == pattern.size();
            throw EngineError("Recursion into a group is not part of the ECMAScript grammar.  The error occurred while "
                              "parsing the regular expression" + std::string(whole ? ": '" : " fragment: '") +
                                  platform::utf16ToUtf8(pattern.substr(from, here - from)) + ">>>HERE>>>" +
                                  platform::utf16ToUtf8(pattern.substr(here, to - here)) + "'.",
                              boost::regex_constants::error_bad_pattern, static_cast<std::ptrdiff_t>(here));
        }
    }
}

EngineRegex compile(std::u16string_view pattern, bool ignoreCase, CharacterMode mode) {
    refuseRecursion(pattern);
    namespace rc = boost::regex_constants;
    rc::syntax_option_type options = rc::ECMAScript | rc::no_mod_s | rc::no_mod_m;
    if (ignoreCase) options |= rc::icase;
    const std::u16string text = withEngineCodeEscapes(pattern);
    EngineRegex regex;
    regex.imbue(RegexLocale{mode == CharacterMode::ascii});  // the traits keep it through assign
    regex.assign(text.data(), text.data() + text.size(), options);
    return regex;
}

// A game tests the same few patterns every frame, and the parameter parser
// has a fixed set of its own; compiling is most of what a call costs. So the
// patterns compiled last stay compiled (commonLife.patterns), the most
// recently used last. A pattern that does not compile is not kept: it
// reports its error every time.
constexpr size_t kKeptPatterns = 32;
constexpr size_t kLongestKeptPattern = 4096;  // UTF-16 units; a longer one is compiled at every call

void keep(std::u16string_view pattern, bool ignoreCase, CharacterMode mode, const EngineRegex& regex) {
    PatternCache& kept = commonLife.patterns;
    try {
        if (kept.size() == kKeptPatterns) kept.erase(kept.begin());
        kept.push_back({std::u16string(pattern), ignoreCase, mode, regex});
    } catch (const std::bad_alloc&) {
        // Only the speed of the next call with this pattern is lost.
    }
}

}  // namespace

int64_t StepAllowance::forOneSearch(size_t textLength, const EngineRegex& re) {
    const int64_t n = std::max<int64_t>(1, characters(textLength)), states = patternStates(re);
    const int64_t linear = capped(product(n, product(states, states)) + kMatcherFloor);
    const int64_t square = std::min<int64_t>(capped(product(n, n) + kMatcherFloor), BOOST_REGEX_MAX_STATE_COUNT);
    return std::max(linear, square);
}

StepAllowance::StepAllowance(size_t textLength, const EngineRegex& re) {
    const int64_t states = patternStates(re);
    const int64_t perCharacter = capped(product(states, states) + kStepsPerCharacter);
    left_ = product(characters(textLength) + 1, perCharacter) + BOOST_REGEX_MAX_STATE_COUNT;
}

bool searchWithin(EnginePosition from, EnginePosition end, EngineMatch& match, const EngineRegex& re,
                  EngineFlags flags, EnginePosition base, StepAllowance& allowance) {
    if (re.flags() & boost::regex_constants::failbit) return false;  // as boost::regex_search
    Matcher matcher(from, end, match, re, flags, base);
    limit(matcher, std::min(StepAllowance::forOneSearch(static_cast<size_t>(end - from), re), allowance.left()));
    const bool found = matcher.find();
    allowance.spend(matcher.*memberPointer(StepCount{}));
    return found;
}

bool matchWithin(const std::u16string& subject, EngineMatch& match, const EngineRegex& re) {
    Matcher matcher(subject.begin(), subject.end(), match, re, boost::regex_constants::match_default, subject.begin());
    limit(matcher, StepAllowance::forOneSearch(subject.size(), re));
    return matcher.match();
}

EngineRegex compilePattern(std::u16string_view pattern, bool ignoreCase, CharacterMode mode) {
    PatternCache& kept = commonLife.patterns;
    for (size_t i = kept.size(); i-- > 0;) {
        if (kept[i].ignoreCase != ignoreCase || kept[i].mode != mode || kept[i].pattern != pattern) continue;
        std::rotate(kept.begin() + static_cast<std::ptrdiff_t>(i), kept.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                    kept.end());
        return kept.back().regex;
    }
    EngineRegex regex = compile(pattern, ignoreCase, mode);
    if (pattern.size() <= kLongestKeptPattern) keep(pattern, ignoreCase, mode, regex);
    return regex;
}

}  // namespace trivu
