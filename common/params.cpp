#include "common/params.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "common/notifier.h"
#include "common/regex_engine.h"

namespace trivu {
namespace {

std::u16string withoutSpaces(std::u16string_view text) {
    std::u16string s(text);
    s.erase(std::remove(s.begin(), s.end(), u' '), s.end());
    return s;
}

// The text as the patterns see it: spaces dropped first (so "fal se" is a
// word too), then "false" as 0 and "true" as 1. One pass over the words, so
// that a long text of flags costs no more than its length; replacing in
// place would move the rest of the text at every word.
std::u16string prepared(std::u16string_view text) {
    const std::u16string s = withoutSpaces(text);
    std::u16string out;
    out.reserve(s.size());
    for (std::u16string_view rest(s); !rest.empty();) {
        if (rest.starts_with(u"false")) {
            out.push_back(u'0');
            rest.remove_prefix(5);
        } else if (rest.starts_with(u"true")) {
            out.push_back(u'1');
            rest.remove_prefix(4);
        } else {
            out.push_back(rest.front());
            rest.remove_prefix(1);
        }
    }
    return out;
}

// Matches the whole text; nothing when it does not match or cannot be tried.
// The parser's classes are ASCII: a full-width digit is no digit here.
std::optional<EngineMatch> matchWhole(const std::u16string& subject, std::u16string_view pattern) {
    try {
        EngineRegex re = compilePattern(pattern, false, CharacterMode::ascii);
        EngineMatch match;
        if (matchWithin(subject, match, re)) return match;
    } catch (const EngineError&) {
        // A pattern the engine rejects, or a text too long or complex for it.
    }
    return std::nullopt;
}

// The group's characters as ASCII for the number parsers; nothing if it has
// others.
std::optional<std::string> ascii(const std::u16string& group) {
    std::string out;
    for (char16_t c : group) {
        if (c > 0x7F) return std::nullopt;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// A base-10 integer with an optional sign, in 32-bit range.
std::optional<int32_t> toInt(const std::string& s) {
    size_t start = (!s.empty() && s[0] == '+') ? 1 : 0;
    int32_t value = 0;
    auto [end, ec] = std::from_chars(s.data() + start, s.data() + s.size(), value);
    if (ec != std::errc{} || end == s.data() + start) return std::nullopt;
    return value;
}

// A decimal number rounded to the nearest float. As the standard float
// conversion does, it refuses a value beyond the float's range at either end:
// one too large, and one so small that it would round to 0 or to a subnormal
// (a designer who writes 1e-40 did not mean 0).
std::optional<float> toFloat(const std::string& s) {
    size_t start = (!s.empty() && s[0] == '+') ? 1 : 0;
    const char* first = s.data() + start;
    float value = 0;
    auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ec != std::errc{} || end == first || std::fpclassify(value) == FP_SUBNORMAL) return std::nullopt;
    return value;
}

template <typename T, typename Convert>
bool convertGroups(const EngineMatch& match, int firstGroup, Convert convert, std::vector<T>& values) {
    for (size_t g = static_cast<size_t>(std::max(firstGroup, 0)); g < match.size(); ++g) {
        if (!match[g].matched || match[g].length() == 0) continue;
        auto text = ascii(match[g].str());
        if (!text) return false;
        auto value = convert(*text);
        if (!value) return false;
        values.push_back(*value);
    }
    return true;
}

}  // namespace

bool MatchParams(RUNDATA& rd, std::u16string_view text, const ParamFormat& format) {
    std::u16string subject = prepared(text);

    // Values are gathered aside, so that a group that cannot be converted
    // leaves both lists as they were, as a mismatch does.
    bool stored = false;
    if (auto match = matchWhole(subject, format.pattern)) {
        if (format.integerMode) {
            std::vector<int32_t> values;
            if ((stored = convertGroups(*match, format.firstGroup, toInt, values))) rd.intParams = std::move(values);
        } else {
            std::vector<float> values;
            if ((stored = convertGroups(*match, format.firstGroup, toFloat, values)))
                rd.floatParams = std::move(values);
        }
    }
    if (!stored) notify(rd, format.refusal);
    return stored;
}

bool MatchOnly(const RUNDATA& rd, std::u16string_view text, std::u16string_view pattern, MessageId refusal,
               std::vector<std::u16string>& groups) {
    std::u16string subject = withoutSpaces(text);
    auto match = matchWhole(subject, pattern);
    if (!match) {
        notify(rd, refusal);
        return false;
    }
    groups.clear();
    for (size_t g = 0; g < match->size(); ++g)
        groups.push_back((*match)[g].str());
    return true;
}

int GlyphCode(std::u16string_view number, size_t position) {
    if (position >= number.size()) return 15;
    char16_t c = number[position];
    if (c >= u'0' && c <= u'9') return c - u'0';
    switch (c) {
        case u'-': return 10;
        case u'+': return 11;
        case u'.': return 12;
        case u'e': return 13;
        case u'E': return 14;
        default: return 15;  // a character without a glyph shows as a blank
    }
}

double directionIndex(double degrees) { return std::floor(degrees / 11.25); }

}  // namespace trivu
