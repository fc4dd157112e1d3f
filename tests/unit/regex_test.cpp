// The engine and the matching rules apart from the host: the engine copy of
// UTF-16 text, the ECMAScript meaning of the compile flags, what partial and
// exact matches collect, the control-character escapes, and the replacement
// format side by side with the standard library's.
#include <gtest/gtest.h>

#include <regex>

#include "common/regex_engine.h"
#include "regex/matching.h"

using namespace trivu;

namespace {

using Texts = std::vector<std::u16string>;

Texts search(std::u16string_view pattern, std::u16string_view subject, bool ignoreCase = false) {
    return searchAll(compilePattern(pattern, ignoreCase), toEngineText(subject));
}

Texts exact(std::u16string_view pattern, std::u16string_view subject) {
    return matchExact(compilePattern(pattern, false), toEngineText(subject));
}

std::u16string replace(std::u16string_view pattern, std::u16string_view subject, std::u16string_view format) {
    return fromEngineText(replaceAll(compilePattern(pattern, false), toEngineText(subject), toEngineText(format)));
}

}  // namespace

TEST(EngineText, RoundTripsEveryUtf16Text) {
    std::u16string text = u"a\U0001F600b";
    text.push_back(char16_t(0xD801));  // a lone surrogate survives as itself
    text += u"日";
    EngineText engine = toEngineText(text);
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(engine.size(), 5u);
        EXPECT_EQ(engine[1], wchar_t(0x1F600));
    } else {
        EXPECT_EQ(engine.size(), text.size());
    }
    EXPECT_EQ(fromEngineText(engine), text);
}

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

TEST(CompilePattern, SeesCharactersOutsideTheBasicPlaneWholeWhereWcharIsWide) {
    if constexpr (sizeof(wchar_t) != 4) GTEST_SKIP() << "the engine works on UTF-16 units here";
    EXPECT_EQ(exact(u"^.$", u"\U0001F600"), Texts{u"\U0001F600"});
    EXPECT_EQ(search(u"[\U0001F600-\U0001F64F]+", u"a\U0001F600\U0001F601b"), Texts{u"\U0001F600\U0001F601"});
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
        std::wstring subject = toEngineText(c.subject);
        std::wregex standard(toEngineText(c.pattern), std::regex::ECMAScript);
        std::wstring expected = std::regex_replace(subject, standard, toEngineText(c.format));
        EXPECT_EQ(replace(c.pattern, c.subject, c.format), fromEngineText(expected))
            << std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format));
    }
}

// The engine answers long subjects and gives up on runaway patterns with an
// error; the standard library's would overflow the stack or never return.
TEST(EngineLimits, LongSubjectsAreAnsweredOrRefusedWithAnError) {
    std::u16string megabyte(1 << 20, u'a');
    EXPECT_EQ(search(u".*", megabyte), (Texts{megabyte, u""}));
    EXPECT_EQ(exact(u"^(.*?)$", megabyte).size(), 2u);
    EXPECT_EQ(replace(u"[a-z]+", megabyte, u"x"), u"x");
    try {
        search(u"(a|b)*", megabyte);
        ADD_FAILURE() << "no error";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(), "Ran out of stack space trying to match the regular expression.");
    }
    try {
        exact(u"(a+)+b", std::u16string(40, u'a'));
        ADD_FAILURE() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.code(), boost::regex_constants::error_complexity);
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
