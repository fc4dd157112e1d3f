// The text codec: one row per malformed form and per valid length, each
// direction through the one function the extension and the host both call.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/utf.h"

using namespace trivu;
using namespace std::string_literals;

namespace {

const std::u16string R = u"\uFFFD";
const std::string r = "\xEF\xBF\xBD";

#if defined(_WIN32)
// Runs of U+FFFD as one. On Windows the extension's conversion is the
// system's, which replaces every ill-formed run too but may count the
// replacements otherwise (Wine gives fewer for overlong forms, encoded
// surrogates and values past U+10FFFF); the text around them must agree.
std::u16string replacementRuns(const std::u16string& text) {
    std::u16string out;
    for (char16_t c : text)
        if (c != R[0] || out.empty() || out.back() != R[0]) out.push_back(c);
    return out;
}
#endif

}  // namespace

TEST(Utf8ToUtf16, EachMaximalIllFormedSubpartBecomesOneReplacement) {
    const struct {
        const char* what;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"every length of sequence", "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", u"A\u00e9\u65e5\U0001F600"},
        {"the last of three and four bytes", "\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\uFFFF\U0010FFFF"},
        {"zero units are text, not an end", "a\0b"s, u"a\0b"s},
        {"nothing", "", u""},
        {"a continuation byte alone", "a\x80z", u"a" + R + u"z"},
        {"a byte that never leads (C0, C1, F5 to FF), even before a continuation", "\xC0\x80\xC1\xBF\xF5\x80\xFF",
         R + R + R + R + R + R + R},
        {"a sequence cut short by the end", "a\xF0\x9F\x98", u"a" + R},
        {"a sequence broken by a byte that starts anew", "\xE6\x97x", R + u"x"},
        {"an overlong form (E0 before A0)", "\xE0\x80\xAF", R + R + R},
        {"an encoded surrogate (ED after 9F)", "\xED\xA0\x80", R + R + R},
        {"past U+10FFFF (F4 after 8F)", "\xF4\x90\x80\x80", R + R + R + R},
    };
    for (const auto& c : cases) {
#if defined(_WIN32)
        EXPECT_EQ(replacementRuns(platform::utf8ToUtf16(c.bytes)), replacementRuns(c.text)) << c.what;
#else
        EXPECT_EQ(platform::utf8ToUtf16(c.bytes), c.text) << c.what;
#endif
    }
}

TEST(Utf16ToUtf8, LoneSurrogatesBecomeOneReplacementEach) {
    const struct {
        const char* what;
        std::u16string units;
        std::string bytes;
    } cases[] = {
        {"every length of sequence", u"A\u00e9\u65e5\U0001F600\U0010FFFF",
         "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
        {"zero units are text, not an end", u"x\0y"s, "x\0y"s},
        {"a high surrogate before another unit", {u'a', char16_t(0xD83D), u'b'}, "a" + r + "b"},
        {"a high surrogate at the end", {u'x', char16_t(0xD83D)}, "x" + r},
        {"a low surrogate alone", {char16_t(0xDE00)}, r},
        {"a reversed pair", {char16_t(0xDE00), char16_t(0xD83D)}, r + r},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::utf16ToUtf8(c.units), c.bytes) << c.what;
        EXPECT_EQ(platform::utf8ToUtf16(platform::utf16ToUtf8(c.units)),
                  platform::utf8ToUtf16(c.bytes)) << c.what;
    }
}

TEST(NarrowText, IsTheProcessCodePage) {
    EXPECT_EQ(platform::narrowToUtf16("Not Found :: a.json"), u"Not Found :: a.json");
    EXPECT_EQ(platform::utf16ToNarrow(u"Not Found :: a.json"), "Not Found :: a.json");
    EXPECT_EQ(platform::narrowToUtf16(""), u"");
#if !defined(_WIN32)
    // Linux runs with UTF-8 as its code page.
    EXPECT_EQ(platform::narrowToUtf16("caf\xC3\xA9\xFF"), u"caf\u00e9" + R);
    EXPECT_EQ(platform::utf16ToNarrow(std::u16string{u'\u00e9', char16_t(0xD800)}), "\xC3\xA9" + r);
#endif
}
