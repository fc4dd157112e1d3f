#include "common/regex_engine.h"

#include <algorithm>
#include <new>
#include <vector>

#include "common/lifetime.h"
#include "platform/utf.h"

namespace trivu {
namespace {

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
