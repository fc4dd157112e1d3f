// The shared codec: one case per malformed form, each checked through the
// extension's conversion and the host's alike, since the point of sharing is
// that both read the same bytes as the same text.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "platform/utf.h"

using namespace trivu;

namespace {

const std::u16string R = u"\uFFFD";

struct Malformed {
    const char* what;
    std::string bytes;
    std::u16string text;
};

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

TEST(Utf8Decoding, EachMaximalIllFormedSubpartBecomesOneReplacement) {
    const Malformed cases[] = {
        {"a continuation byte alone", "a\x80z", u"a" + R + u"z"},
        {"a byte that never leads (C0, C1, F5 to FF), even before a continuation", "\xC0\x80\xC1\xBF\xF5\x80\xFF",
         R + R + R + R + R + R + R},
        {"a sequence cut short by the end", "a\xF0\x9F\x98", u"a" + R},
        {"a sequence broken by a byte that starts anew", "\xE6\x97x", R + u"x"},
        {"an overlong form (E0 before A0)", "\xE0\x80\xAF", R + R + R},
        {"an encoded surrogate (ED after 9F)", "\xED\xA0\x80", R + R + R},
        {"past U+10FFFF (F4 after 8F)", "\xF4\x90\x80\x80", R + R + R + R},
    };
    for (const Malformed& c : cases) {
        EXPECT_EQ(utf::decodeUtf8(c.bytes), c.text) << c.what;
#if defined(_WIN32)
        EXPECT_EQ(replacementRuns(Utf8ToWide(c.bytes)), replacementRuns(c.text)) << c.what;
#else
        EXPECT_EQ(Utf8ToWide(c.bytes), c.text) << c.what;
#endif
    }
}

TEST(Utf8Decoding, ValidTextOfEveryLengthAndZeroUnitsPass) {
    using namespace std::string_view_literals;
    EXPECT_EQ(utf::decodeUtf8("A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"), u"A\u00e9\u65e5\U0001F600");
    EXPECT_EQ(utf::decodeUtf8("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"), u"\uFFFF\U0010FFFF");
    EXPECT_EQ(utf::decodeUtf8("a\0b"sv), std::u16string(u"a\0b", 3));  // the codec does not cut
}

TEST(Utf16Encoding, LoneSurrogatesBecomeOneReplacementEach) {
    const std::string r = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::u16string units;
        std::string bytes;
    } cases[] = {
        {"a high surrogate before another unit", {u'a', char16_t(0xD83D), u'b'}, "a" + r + "b"},
        {"a high surrogate at the end", {u'x', char16_t(0xD83D)}, "x" + r},
        {"a low surrogate alone", {char16_t(0xDE00)}, r},
        {"a reversed pair", {char16_t(0xDE00), char16_t(0xD83D)}, r + r},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf::encodeUtf8(c.units), c.bytes) << c.what;
        EXPECT_EQ(WideToUtf8(c.units), c.bytes) << c.what;
    }
    std::u16string text = u"A\u00e9\u65e5\U0001F600\U0010FFFF";
    EXPECT_EQ(utf::decodeUtf8(utf::encodeUtf8(text)), text);
}
