#include "common/regex_traits.h"

#include <initializer_list>
#include <string_view>

namespace trivu {
namespace {

using Classes = RegexTraits::char_class_type;

constexpr Classes of(std::initializer_list<unicode::Category> categories) {
    Classes out = 0;
    for (unicode::Category c : categories) out |= Classes{1} << c;
    return out;
}

using namespace unicode;
constexpr Classes kLetters = of({Lu, Ll, Lt, Lm, Lo});
constexpr Classes kMarks = of({Mn, Mc, Me});
constexpr Classes kPunctuation = of({Pc, Pd, Ps, Pe, Pi, Pf, Po});
// Every assigned unit but the controls, the surrogates and the line and
// paragraph separators.
constexpr Classes kPrintable = ((Classes{1} << kCategoryCount) - 1) & ~of({Cn, Cc, Cs, Zl, Zp});

struct ClassName {
    std::string_view name;
    Classes classes;
};

// Boost's names, in its order; \d, \w, \s and the rest look them up too.
constexpr ClassName kClassNames[] = {
    {"alnum", kLetters | of({Nd})},
    {"alpha", kLetters},
    {"blank", of({Zs}) | RegexTraits::kTab},
    {"cntrl", of({Cc})},
    {"d", of({Nd})},
    {"digit", of({Nd})},
    {"graph", kPrintable & ~of({Zs})},
    {"h", of({Zs}) | RegexTraits::kTab},
    {"l", of({Ll})},
    {"lower", of({Ll})},
    {"print", kPrintable},
    {"punct", kPunctuation | RegexTraits::kAsciiSymbols},
    {"s", of({Zs, Zl, Zp}) | RegexTraits::kSpaceControls},
    {"space", of({Zs, Zl, Zp}) | RegexTraits::kSpaceControls},
    {"u", of({Lu, Lt})},
    {"unicode", RegexTraits::kAboveLatin1},
    {"upper", of({Lu, Lt})},
    {"v", RegexTraits::kVertical},
    {"w", kLetters | kMarks | of({Nd, Pc})},
    {"word", kLetters | kMarks | of({Nd, Pc})},
    {"xdigit", RegexTraits::kHexDigits},
};

}  // namespace

Classes RegexTraits::classNamed(const std::string& name) {
    for (const ClassName& entry : kClassNames)
        if (entry.name == name) return entry.classes;
    return 0;
}

bool RegexTraits::inSets(char_type c, char_class_type classes) {
    if ((classes & kSpaceControls) && ((c >= 0x09 && c <= 0x0D) || c == 0xFEFF)) return true;
    if ((classes & kTab) && c == 0x09) return true;
    if ((classes & kAsciiSymbols) && c < 0x80 && std::u16string_view(u"$+<=>^`|~").find(c) != std::u16string_view::npos)
        return true;
    if ((classes & kHexDigits) && ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
        return true;
    if ((classes & kAboveLatin1) && c > 0xFF) return true;
    if ((classes & kVertical) && ((c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029)) return true;
    return false;
}

}  // namespace trivu
