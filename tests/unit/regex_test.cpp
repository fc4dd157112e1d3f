// The engine and the matching rules apart from the host: the character
// model, the ECMAScript meaning of the compile flags, what partial and exact
// matches collect, the control-character escapes, and the replacement format
// side by side with the standard library's.
#include <gtest/gtest.h>

#include <limits>
#include <regex>

#include "common/regex_engine.h"
#include "platform/utf.h"
#include "regex/matching.h"

using namespace trivu;

namespace {

using Texts = std::vector<std::u16string>;

Texts search(std::u16string_view pattern, std::u16string_view subject, bool ignoreCase = false) {
    return searchAll(compilePattern(pattern, ignoreCase), std::u16string(subject));
}

Texts exact(std::u16string_view pattern, std::u16string_view subject) {
    return matchExact(compilePattern(pattern, false), std::u16string(subject));
}

std::u16string replace(std::u16string_view pattern, std::u16string_view subject, std::u16string_view format) {
    return replaceAll(compilePattern(pattern, false), std::u16string(subject), std::u16string(format));
}

// Texts of the Basic Multilingual Plane for the standard library's engine.
std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string narrow(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

TEST(CompilePattern, KeepsTheEcmaScriptMeaningOfDotAndAnchors) {
    EXPECT_TRUE(search(u"a.b", u"a\nb").empty());
    EXPECT_TRUE(search(u"a.b", u"a\rb").empty());
    EXPECT_EQ(search(u"a.b", u"a-b"), Texts{u"a-b"});
    EXPECT_TRUE(search(u"^b", u"a\nb").empty());  // no line-by-line anchors
    EXPECT_TRUE(search(u"a$", u"a\n").empty());
    EXPECT_EQ(search(u"^a|b$", u"a\nb"), (Texts{u"a", u"b"}));
    EXPECT_EQ(search(u"abc", u"xABCx", true), Texts{u"ABC"});
    EXPECT_TRUE(search(u"abc", u"xABCx").empty());
    EXPECT_THROW(compilePattern(u"(", false), EngineError);
}

// Kept compiled patterns are told apart by the flag, survive being pushed
// out by many others (they are compiled again), and a malformed pattern is
// refused at every call.
TEST(CompilePattern, KeptPatternsAnswerAsFreshOnes) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(search(u"abc", u"ABC").empty());
        EXPECT_EQ(search(u"abc", u"ABC", true), Texts{u"ABC"});
        for (int i = 0; i < 40; ++i) {
            const std::u16string digits(static_cast<size_t>(i % 9 + 1), u'0' + static_cast<char16_t>(i / 9));
            EXPECT_EQ(search(digits, u"x" + digits), Texts{digits});
        }
        EXPECT_THROW(compilePattern(u"(", false), EngineError);
    }
}

// A group that calls itself again is no ECMAScript and could run for
// seconds on a few characters; every other "(?" form passes, and so does
// "(?1)" that is quoted, escaped or in a bracket expression.
TEST(CompilePattern, RefusesRecursionLikeTheEcmaScriptGrammar) {
    auto refusal = [](const char16_t* pattern) -> std::string {
        try {
            compilePattern(pattern, false);
            return "compiled";
        } catch (const EngineError& error) {
            return error.what();
        }
    };
    auto ascii = [](const char16_t* p) { return std::string(p, p + std::char_traits<char16_t>::length(p)); };
    // The engine's own grammar takes every one of these: the refusal is ours.
    for (const char16_t* pattern : {u"(a(?0)?b)", u"(a|(?R))", u"(x(?1)?)", u"(?+1)(a)", u"(a)(?-1)", u"(?<n>a)(?&n)",
                                    u"(?<n>a)(?P>n)"})
        EXPECT_TRUE(refusal(pattern).starts_with("Recursion into a group is not part of the ECMAScript grammar."))
            << ascii(pattern) << ": " << refusal(pattern);
    EXPECT_EQ(refusal(u"abcdefghij(x(?0)?z%.|y?)"),
              "Recursion into a group is not part of the ECMAScript grammar.  The error occurred while parsing the "
              "regular expression fragment: 'efghij(x(?>>>HERE>>>0)?z%.|y?)'.");
    for (const char16_t* pattern : {u"(?:a)(?=b)(?!c)(?<=d)(?i)e", u"[(?1)]", u"\\(?1\\)", u"\\Q(?1)\\E",
                                    u"[[:alpha:](?1)]", u"(?-i)x", u"(?(1)a|b)"})
        EXPECT_EQ(refusal(pattern), "compiled") << ascii(pattern);
}

TEST(CompilePattern, ReadsEcmaScriptCodeEscapes) {
    EXPECT_EQ(search(uR"(\u0041\u00e9)", u"xAéx"), Texts{u"Aé"});
    EXPECT_EQ(search(uR"([\u0041-\u0043]+)", u"ABCD"), Texts{u"ABC"});
    EXPECT_EQ(search(uR"(\\u0041)", uR"(A\u0041)"), Texts{uR"(\u0041)"});  // an escaped backslash
}

TEST(PartialMatch, CollectsEveryWholeMatchAndEmptyOnesOnce) {
    EXPECT_EQ(search(uR"(\d+)", u"a1b22c333"), (Texts{u"1", u"22", u"333"}));
    EXPECT_EQ(search(u"x*", u"ab"), (Texts{u"", u"", u""}));    // positions 0, 1 and 2
    EXPECT_EQ(search(u"a*", u"baac"), (Texts{u"", u"aa", u"", u""}));
    EXPECT_EQ(search(u"a*?", u"aa"), (Texts{u"", u"a", u"", u"a", u""}));
    EXPECT_EQ(search(u"(\\d)(x)?", u"1x2"), (Texts{u"1x", u"2"}));  // groups are not collected
    EXPECT_EQ(search(u"\\bw", u"ww w"), (Texts{u"w", u"w"}));      // \b looks back after a match
    EXPECT_TRUE(search(u"z", u"abc").empty());
}

TEST(ExactMatch, CollectsTheWholeTextAndEveryGroup) {
    EXPECT_EQ(exact(uR"((\d+)-(\d+))", u"2024-01"), (Texts{u"2024-01", u"2024", u"01"}));
    EXPECT_EQ(exact(u"(a)|(b)", u"b"), (Texts{u"b", u"", u"b"}));  // group 1 took no part
    EXPECT_EQ(exact(u"(a*)b", u"b"), (Texts{u"b", u""}));
    EXPECT_EQ(exact(u"a|ab", u"ab"), Texts{u"ab"});  // another alternative covers the text
    EXPECT_TRUE(exact(uR"(\d+)", u"12a").empty());
    EXPECT_TRUE(exact(u"", u"x").empty());
    EXPECT_EQ(exact(u"", u""), Texts{u""});
}

TEST(ControlCharacters, ConvertBackslashRThenBackslashNOnly) {
    EXPECT_EQ(convertControlChars(u"a\\nb\\rc"), u"a\nb\rc");
    EXPECT_EQ(convertControlChars(u"\\t\\\\x"), u"\\t\\\\x");  // no other escape
    EXPECT_EQ(convertControlChars(u"\\\\n"), u"\\\n");         // the second backslash pairs with n
    EXPECT_EQ(convertControlChars(u"\\rn"), u"\rn");           // the inserted CR is not read again
    EXPECT_EQ(convertControlChars(u"\\"), u"\\");
    EXPECT_EQ(convertControlChars(u"\\n"), u"\n");
    EXPECT_EQ(convertControlChars(u"n"), u"n");
    EXPECT_EQ(convertControlChars(u""), u"");
}

// Expression 2 expands the ECMAScript format itself, since the engine's own
// replacement reads backslash escapes the Perl way.
TEST(Replacement, ExpandsTheFormatExactlyAsTheStandardLibrary) {
    struct Case {
        const char16_t* subject;
        const char16_t* pattern;
        const char16_t* format;
    };
    const Case cases[] = {
        {u"a-b-c", u"-", u"+"},
        {u"a-b", u"-", u"[\\t|\\n|$&|\\\\|\\$]"},
        {u"a-b", u"-", u"$$ $ $x $"},
        {u"pre-mid-post", u"-", u"<$`|$'>"},
        {u"abcdefghijkl", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", u"$12$11$10-$1$2-$13-$0-$01-$100"},
        {u"ab", u"(a)(b)", u"$3$9$22|$2$1"},
        {u"xyx", u"(x)|(y)", u"[$1$2]"},
        {u"ab", u"x*", u"-"},
        {u"aaa", u"a*?", u"<$&>"},
        {u"2024-01-05", uR"((\d+)-(\d+)-(\d+))", u"$3/$2/$1"},
        {u"no match", u"z", u"$&$&"},
        {u"", u"^", u"start"},
        {u"日本語", u"本", u"[$`$&$']"},
    };
    for (const Case& c : cases) {
        std::wstring subject = wide(c.subject);
        std::wregex standard(wide(c.pattern), std::regex::ECMAScript);
        std::wstring expected = std::regex_replace(subject, standard, wide(c.format));
        EXPECT_EQ(replace(c.pattern, c.subject, c.format), narrow(expected))
            << std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format));
    }
}

// How far the matcher goes. Work that visits each character a bounded number
// of times is answered on a megabyte; a runaway pattern is given up within
// its steps on any length, and so is a walk whose searches are each cheap but
// together quadratic; the backtracking memory holds (a|b)* on 256 KiB.
TEST(EngineLimits, LinearWorkIsAnsweredAndRunawayWorkGivesUp) {
    enum Kind { partial, whole };
    struct Case {
        Kind kind;
        const char16_t* pattern;
        std::u16string subject;
        size_t count;         // matches, or groups of the whole match
        const char* error;    // or the engine's message
    };
    auto repeated = [](std::u16string_view unit, size_t length) {
        std::u16string text;
        while (text.size() < length) text += unit;
        return text.substr(0, length);
    };
    const std::u16string megabyte(1 << 20, u'a');
    const std::u16string prose = repeated(u"lorem ipsum dolor sit amet ", 1 << 20);
    const char* runaway =
        "The complexity of matching the regular expression exceeded predefined bounds.  Try refactoring the regular "
        "expression to make each choice made by the state machine unambiguous.  This exception is thrown to prevent "
        "\"eternal\" matches that take an indefinite period time to locate.";
    const char* outOfMemory = "Ran out of stack space trying to match the regular expression.";
    const Case cases[] = {
        {partial, u".*", megabyte, 2, nullptr},
        {whole, u"^(.*?)$", megabyte, 2, nullptr},
        {partial, u"[a-z]+", prose, (1 << 20) / 27 * 5 + 1, nullptr},
        {partial, u"[^,]*(,[^,]*)*", repeated(u"12,apple,3.5,yes\n", 1 << 20), 2, nullptr},
        {whole, uR"(^(\w+\s?)*$)", prose, 2, nullptr},
        {partial, u"a{1000}", megabyte, 1048, nullptr},
        {partial, u"(a|b)*", std::u16string(1 << 18, u'a'), 2, nullptr},
        {partial, u"(a|b)*", megabyte, 0, outOfMemory},
        {whole, u"(a+)+b", std::u16string(40, u'a'), 0, runaway},
        {partial, u"(a+)+b", std::u16string(1 << 16, u'a'), 0, runaway},
        {partial, u"a.*b", std::u16string(2000, u'a'), 0, runaway},      // quadratic in one search
        {partial, u"a.*b|a", std::u16string(8192, u'a'), 0, runaway},    // quadratic over the walk
        {partial, u"a.*b|a", std::u16string(1000, u'a'), 1000, nullptr},  // within the allowance of short texts
    };
    for (const Case& c : cases) {
        const std::string label = platform::utf16ToUtf8(c.pattern) + " on " + std::to_string(c.subject.size());
        try {
            const size_t count = c.kind == partial ? search(c.pattern, c.subject).size() : exact(c.pattern, c.subject).size();
            EXPECT_EQ(c.error, nullptr) << label;
            EXPECT_EQ(count, c.count) << label;
        } catch (const EngineError& error) {
            ASSERT_NE(c.error, nullptr) << label << ": " << error.what();
            EXPECT_STREQ(error.what(), c.error) << label;
        }
    }
    std::u16string nested = std::u16string(20000, u'(') + u"a" + std::u16string(20000, u')');
    try {
        compilePattern(nested, false);
        ADD_FAILURE() << "no error";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(),
                     "Exceeded nested brace limit.  The error occurred while parsing the regular expression "
                     "fragment: '((((((((((>>>HERE>>>(((((((((('.");
    }
}

// The allowances in steps, which are the same on every build.
TEST(EngineLimits, AllowancesAreCountedInSteps) {
    const EngineRegex runaway = compilePattern(u"(a+)+b", false);  // 6 characters: 36 steps a character
    EXPECT_EQ(StepAllowance::forOneSearch(0, runaway), 100036);
    EXPECT_EQ(StepAllowance::forOneSearch(100, runaway), 110000);        // 100 * 100 + 100,000
    EXPECT_EQ(StepAllowance::forOneSearch(4096, runaway), 1000000);      // the cap of the N * N term
    EXPECT_EQ(StepAllowance::forOneSearch(1 << 16, runaway), 2459296);   // 65,536 * 36 + 100,000
    // The longest length a size_t holds, 32 or 64 bits: the cap, never an overflow.
    EXPECT_EQ(StepAllowance::forOneSearch(std::numeric_limits<size_t>::max(), runaway), 0x7fffffff - 2);
    EXPECT_EQ(StepAllowance(100, runaway).left(), 101 * 100 + 1000000);
    EXPECT_EQ(StepAllowance(1 << 20, runaway).left(), ((1 << 20) + 1) * 100 + 1000000);
}

// The character model, the same on every build: classes and ignoring case by
// the Unicode table, a character outside the Basic Multilingual Plane as its
// two surrogates, and the parameter parser's ASCII classes.
TEST(CharacterModel, ClassesAndFoldingFollowTheUnicodeTable) {
    enum Flags { none = 0, icase = 1, ascii = 2, error = 4 };
    struct Case {
        const char16_t* pattern;
        std::u16string subject;
        Flags flags;
        Texts expected;
    };
    const std::u16string lone(1, char16_t(0xD800));
    const Case cases[] = {
        // Words: letters of any script, their marks, decimal digits, "_".
        {uR"(^\w+$)", u"Zoë", none, {u"Zoë"}},
        {uR"(^\w+$)", u"ユイ", none, {u"ユイ"}},
        {uR"(^\w+$)", u"\u4E00\u6F22\u3400\uAC00\uD55C", none, {u"\u4E00\u6F22\u3400\uAC00\uD55C"}},
        {uR"(^[[:alpha:]]+$)", u"\u4E00\u6F22\u3400\uAC00\uD55C", none, {u"\u4E00\u6F22\u3400\uAC00\uD55C"}},
        {uR"(^\w+$)", u"नमस्ते", none, {u"नमस्ते"}},
        {uR"(^\w+$)", u"สวัสดี", none, {u"สวัสดี"}},
        {uR"(\w+)", u"e\u0301t\u00E9_1", none, {u"e\u0301t\u00E9_1"}},
        {uR"([[:alpha:]]+)", u"e\u0301t", none, {u"e", u"t"}},  // a mark is no letter
        {uR"(\W)", u"é-€", none, {u"-", u"€"}},
        {uR"(\w+)", u"Zoë, ユイ & 한국어 / Ελλάδα 123 — नमस्ते!", none,
         {u"Zoë", u"ユイ", u"한국어", u"Ελλάδα", u"123", u"नमस्ते"}},
        // Digits: Nd only; spaces: ECMAScript's.
        {uR"(\d+)", u"١٢٣ １２ ² ৩", none, {u"١٢٣", u"１２", u"৩"}},
        {uR"(\s)", u"a\u00A0b\u3000c\u2028d\u0085e\u200Bf\uFEFFg\th", none,
         {u"\u00A0", u"\u3000", u"\u2028", u"\uFEFF", u"\t"}},
        {uR"([[:upper:]]+)", u"aÉǅΣςK", none, {u"ÉǅΣ", u"K"}},
        {uR"([[:lower:]])", u"Aς\u01C5\u01C6", none, {u"ς", u"\u01C6"}},
        {uR"(\p{UPPER})", u"aÉ", none, {u"É"}},
        {uR"([[:punct:]])", u"¿«a$»+§©", none, {u"¿", u"«", u"$", u"»", u"+", u"§"}},
        {uR"([[:xdigit:]]+)", u"fF9ｆ", none, {u"fF9"}},
        {uR"([[:unicode:]])", u"aéЖ", none, {u"Ж"}},
        {uR"([[:cntrl:]])", u"a\u0001\u0085\u200B", none, {u"\u0001", u"\u0085"}},
        {uR"([[:blank:]])", u"a\tb c\u3000\n", none, {u"\t", u" ", u"\u3000"}},
        {uR"([[:graph:]]+)", u"a b\u2028c" + lone + u"\uE000", none, {u"a", u"b", u"c", u"\uE000"}},
        {uR"(\v)", u"a\u000Bb\u0085c\u2029", none, {u"\u000B", u"\u0085", u"\u2029"}},
        // Ignoring case: Unicode's simple folding.
        {u"ÉCOLE", u"école", icase, {u"école"}},
        {u"ÉCOLE", u"école", none, {}},
        {u"ΣΑΣ", u"σας", icase, {u"σας"}},
        {u"k", u"kK\u212A", icase, {u"k", u"K", u"\u212A"}},
        {u"\u1E9E", u"ß", icase, {u"ß"}},
        {u"\u01C5", u"\u01C4\u01C5\u01C6Dz", icase, {u"\u01C4", u"\u01C5", u"\u01C6"}},
        {u"ω", u"\u2126Ω", icase, {u"\u2126", u"Ω"}},
        {u"ａ", u"Ａ", icase, {u"Ａ"}},
        {u"\uAB70", u"\u13A0", icase, {u"\u13A0"}},
        {u"i", u"\u0130I", icase, {u"I"}},  // İ folds to nothing but itself
        {u"\u0130", u"iİ", icase, {u"İ"}},
        {uR"([É-Ë]+)", u"éêÊe", icase, {u"éêÊ"}},
        {uR"([a-z]+)", u"ÀBC", icase, {u"BC"}},
        {uR"([Z-a])", u"_", none, {u"_"}},
        {uR"([Z-a])", u"_", Flags(icase | error), {}},  // z-a: folded ends out of order
        {uR"([[:upper:]]+)", u"aB1", icase, {u"aB"}},
        {uR"([[=É=]])", u"éÉe", none, {u"é", u"É"}},
        {uR"([[.space.]é])", u"a é", none, {u" ", u"é"}},
        // Word boundaries beside accented letters, the unit itself tested.
        {uR"(\bé\w*)", u"café école", none, {u"école"}},
        {uR"(\bcaf\b)", u"café", none, {}},
        {uR"(\bÉ)", u"aÉ é", icase, {u"é"}},
        // Outside the Basic Multilingual Plane: two units, no class, no folding.
        {uR"(^.$)", u"😀", none, {}},
        {uR"(^..$)", u"😀", none, {u"😀"}},
        {uR"(\uD83D\uDE00)", u"a😀", none, {u"😀"}},
        {uR"(\x{1F600})", u"😀", error, {}},
        {uR"(\x{FFFF})", u"\uFFFF", none, {u"\uFFFF"}},
        {uR"(\w)", u"𝐀", none, {}},
        {u"𐐀", u"𐐨𐐀", icase, {u"𐐀"}},
        {uR"(.)", u"a" + lone + u"b", none, {u"a", lone, u"b"}},
        // value() reads ASCII digits only: no repeat count here.
        {u"a{1１}", u"a{1１}", none, {u"a{1１}"}},
        // The parameter parser's ASCII classes, kept apart from the same pattern's.
        {uR"(\d+)", u"1１٢", ascii, {u"1"}},
        {uR"(\d+)", u"1１٢", none, {u"1１٢"}},
        {uR"([[:d:]]+|\w+)", u"é7x", ascii, {u"7", u"x"}},
    };
    for (const Case& c : cases) {
        const std::string name(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern));
        const bool ignoreCase = c.flags & icase;
        const CharacterMode mode = c.flags == ascii ? CharacterMode::ascii : CharacterMode::unicode;
        if (c.flags & error) {
            EXPECT_THROW(compilePattern(c.pattern, ignoreCase, mode), EngineError) << name;
            continue;
        }
        EXPECT_EQ(searchAll(compilePattern(c.pattern, ignoreCase, mode), c.subject), c.expected) << name;
    }
    // An empty match may fall between the two halves of a pair.
    EXPECT_EQ(replace(u"", u"😀", u"-"), u"-\xD83D-\xDE00-");
}
