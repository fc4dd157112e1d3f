#include "common/params.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "common/notifier.h"
#include "common/regex_engine.h"

namespace trivu {
namespace {

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

// A base-10 integer with an optional sign, in 32-bit range.
std::optional<int32_t> toInt(const std::u16string& group) {
    const std::optional<std::string> s = asciiOf(group);
    if (!s) return std::nullopt;
    size_t start = (!s->empty() && (*s)[0] == '+') ? 1 : 0;
    int32_t value = 0;
    auto [end, ec] = std::from_chars(s->data() + start, s->data() + s->size(), value);
    if (ec != std::errc{} || end == s->data() + start) return std::nullopt;
    return value;
}

// A float group, read as common/param_formats.h reads a value's text.
std::optional<float> toFloat(const std::u16string& group) { return floatOf(group); }

template <typename T, typename Convert>
bool convertGroups(const EngineMatch& match, int firstGroup, Convert convert, std::vector<T>& values) {
    for (size_t g = static_cast<size_t>(std::max(firstGroup, 0)); g < match.size(); ++g) {
        if (!match[g].matched || match[g].length() == 0) continue;
        auto value = convert(match[g].str());
        if (!value) return false;
        values.push_back(*value);
    }
    return true;
}

}  // namespace

bool MatchParams(RUNDATA& rd, std::u16string_view text, const ParamFormat& format) {
    std::u16string subject = preparedText(text);

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
