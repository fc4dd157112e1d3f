// The character traits the regular-expression engine runs on: the host's
// UTF-16 units as they come, classified and folded by one Unicode table
// (common/unicode.h), the same on every build. Nothing here asks the C or
// C++ locale, the C runtime or the system, whose answers differ from one
// build to the other.
//
// A unit is a character: outside the Basic Multilingual Plane a character is
// two surrogates, each of category Cs, and folds to itself.
//
// Boost's regex_traits_wrapper adds what this class leaves out: the syntax of
// ASCII units, the English error messages, toi on top of value().
#pragma once

#include <boost/regex/v5/regex_traits_defaults.hpp>
#include <cstdint>
#include <string>

#include "common/unicode.h"

namespace trivu {

// The engine's "locale": whether the classes hold ASCII units only, as the
// parameter parser's patterns want (a full-width digit is no number there).
// Set with imbue before the pattern is assigned.
struct RegexLocale {
    bool ascii = false;
};

class RegexTraits {
public:
    using char_type = char16_t;
    using size_type = std::size_t;
    using string_type = std::u16string;
    using locale_type = RegexLocale;
    // Bits 0 to 29 are the general categories; the higher ones are the sets
    // that no category gives.
    using char_class_type = uint64_t;

    static size_type length(const char_type* p) { return std::char_traits<char_type>::length(p); }

    char_type translate(char_type c) const { return c; }
    char_type translate_nocase(char_type c) const { return unicode::foldOf(c); }

    // Ranges compare units, and an equivalence class [[=x=]] the foldings.
    template <class It>
    string_type transform(It first, It last) const {
        return string_type(first, last);
    }
    template <class It>
    string_type transform_primary(It first, It last) const {
        string_type out;
        for (; first != last; ++first) out.push_back(unicode::foldOf(*first));
        return out;
    }

    template <class It>
    char_class_type lookup_classname(It first, It last) const {
        std::string name;
        for (; first != last; ++first) {
            const char_type c = *first;
            if (c > 0x7F) return 0;
            name.push_back(static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c));
        }
        return classNamed(name);
    }

    // A single unit, or one of Boost's own names ([[.space.]], [[.NUL.]]).
    template <class It>
    string_type lookup_collatename(It first, It last) const {
        const string_type name(first, last);
        std::string ascii;
        for (char_type c : name) ascii.push_back(c <= 0x7F ? static_cast<char>(c) : '\0');
        if (ascii.find('\0') == std::string::npos) {
            const std::string named = boost::BOOST_REGEX_DETAIL_NS::lookup_default_collate_name(ascii);
            if (!named.empty()) return string_type(named.begin(), named.end());
        }
        return name.size() == 1 ? name : string_type();
    }

    // Whether `c` is in any of the classes: a category bit, or one of the
    // sets below.
    bool isctype(char_type c, char_class_type classes) const {
        if (locale_.ascii && c > 0x7F) return false;
        if (classes & (char_class_type{1} << unicode::categoryOf(c))) return true;
        return (classes & kSets) != 0 && inSets(c, classes);
    }

    // Digits and letters of ASCII only: "a{1１}" has no repeat count.
    int value(char_type c, int radix) const {
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (c >= u'a' && c <= u'z') digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10;
        return digit < radix ? digit : -1;
    }

    locale_type imbue(locale_type locale) {
        const locale_type old = locale_;
        locale_ = locale;
        return old;
    }
    locale_type getloc() const { return locale_; }

    // The sets beyond the categories.
    static constexpr char_class_type kSpaceControls = char_class_type{1} << 32;  // U+0009 to U+000D, U+FEFF
    static constexpr char_class_type kTab = char_class_type{1} << 33;
    static constexpr char_class_type kAsciiSymbols = char_class_type{1} << 34;  // $+<=>^`|~
    static constexpr char_class_type kHexDigits = char_class_type{1} << 35;
    static constexpr char_class_type kAboveLatin1 = char_class_type{1} << 36;
    static constexpr char_class_type kVertical = char_class_type{1} << 37;  // U+000A to U+000D, U+0085, U+2028, U+2029
    static constexpr char_class_type kSets = kSpaceControls | kTab | kAsciiSymbols | kHexDigits | kAboveLatin1 | kVertical;

private:
    static char_class_type classNamed(const std::string& name);
    static bool inSets(char_type c, char_class_type classes);

    locale_type locale_;
};

}  // namespace trivu
