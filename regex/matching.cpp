#include "regex/matching.h"

namespace trivu {
namespace {

namespace rc = boost::regex_constants;
using Position = EnginePosition;

// The searches of one call share one allowance of steps (see StepAllowance).
template <typename Visit>
void forEachMatch(const EngineRegex& re, const std::u16string& subject, Visit visit) {
    StepAllowance allowance(subject.size(), re);
    // The engine is told where the subject begins, so "^" and "\b" look back
    // at the character before `from` without a flag saying it is there.
    auto search = [&](Position from, EngineMatch& match, rc::match_flag_type flags) {
        return searchWithin(from, subject.end(), match, re, flags, subject.begin(), allowance);
    };
    EngineMatch match;
    Position from = subject.begin();
    bool afterEmpty = false;
    for (;;) {
        bool found;
        if (afterEmpty) {
            if (from == subject.end()) return;
            found = search(from, match, rc::match_not_null | rc::match_continuous) ||
                    search(++from, match, rc::match_default);
        } else {
            found = search(from, match, rc::match_default);
        }
        if (!found) return;
        visit(match);
        from = match[0].second;
        afterEmpty = match[0].first == match[0].second;
    }
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// One match's replacement. `before` is where the text before the match
// begins: the end of the previous match.
void appendFormatted(std::u16string& out, const std::u16string& format, const EngineMatch& match, Position before,
                     Position end) {
    auto appendGroup = [&](size_t group) {
        if (group < match.size() && match[group].matched) out.append(match[group].first, match[group].second);
    };
    for (size_t i = 0; i < format.size(); ++i) {
        char16_t c = format[i];
        if (c != u'$' || i + 1 == format.size()) {
            out.push_back(c);
            continue;
        }
        char16_t next = format[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
        } else if (next == u'&') {
            appendGroup(0);
        } else if (next == u'`') {
            out.append(before, match[0].first);
        } else if (next == u'\'') {
            out.append(match[0].second, end);
        } else if (isDigit(next)) {
            // Up to two digits; a group the pattern does not have gives
            // nothing, as in the standard library.
            size_t group = static_cast<size_t>(next - u'0');
            if (i + 2 < format.size() && isDigit(format[i + 2])) {
                group = group * 10 + static_cast<size_t>(format[i + 2] - u'0');
                ++i;
            }
            appendGroup(group);
        } else {
            out.push_back(u'$');
            continue;
        }
        ++i;
    }
}

}  // namespace

// A backslash before r or n becomes that control character; any other
// backslash stays as written. One pass, so a text full of escapes costs no
// more than its length.
std::u16string convertControlChars(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
        if (text[i] == u'\\' && (next == u'r' || next == u'n')) {
            out.push_back(next == u'r' ? u'\r' : u'\n');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<std::u16string> searchAll(const EngineRegex& re, const std::u16string& subject) {
    std::vector<std::u16string> matches;
    forEachMatch(re, subject, [&](const EngineMatch& match) { matches.push_back(match[0].str()); });
    return matches;
}

std::vector<std::u16string> matchExact(const EngineRegex& re, const std::u16string& subject) {
    std::vector<std::u16string> groups;
    EngineMatch match;
    if (!matchWithin(subject, match, re)) return groups;
    for (size_t g = 0; g < match.size(); ++g) groups.push_back(match[g].str());  // empty when it took no part
    return groups;
}

std::u16string replaceAll(const EngineRegex& re, const std::u16string& subject, const std::u16string& format) {
    std::u16string out;
    Position last = subject.begin();
    forEachMatch(re, subject, [&](const EngineMatch& match) {
        out.append(last, match[0].first);
        appendFormatted(out, format, match, last, subject.end());
        last = match[0].second;
    });
    out.append(last, subject.end());
    return out;
}

}  // namespace trivu
