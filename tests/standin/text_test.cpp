// The trace's text and number notations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "trivu-host/base/text.h"

namespace {

using standin::formatDouble;
using standin::formatFloat;
using standin::quoted;

TEST(Quoted, EscapesWhatJsonRequiresAndNothingElse) {
    EXPECT_EQ(quoted(std::u16string_view(u"a\"b\\c")), R"("a\"b\\c")");
    EXPECT_EQ(quoted(std::u16string_view(u"\b\f\n\r\t")), R"("\b\f\n\r\t")");
    EXPECT_EQ(quoted(std::u16string_view(u"/")), R"("/")");
    EXPECT_EQ(quoted(std::u16string_view(u"\x7f")), "\"\x7f\"");
}

TEST(Quoted, OtherControlCharactersAsLowerCaseHex) {
    EXPECT_EQ(quoted(std::u16string_view(u"\x01\x1f\x1b")), R"("\u0001\u001f\u001b")");
    // A zero unit inside the text is a character like the others.
    EXPECT_EQ(quoted(std::u16string_view(u"a\0b", 3)), R"("a\u0000b")");
}

TEST(Quoted, NonAsciiAsUtf8) {
    EXPECT_EQ(quoted(std::u16string_view(u"日本語表現")), "\"日本語表現\"");
    EXPECT_EQ(quoted(std::u16string_view(u"\U0001F600")), "\"\xF0\x9F\x98\x80\"");
}

TEST(Quoted, LoneSurrogatesBecomeReplacementCharacters) {
    const char* replacement = "\xEF\xBF\xBD";
    char16_t high[] = {u'a', 0xD83D, u'b', 0};
    char16_t low[] = {0xDE00, 0};
    char16_t highAtEnd[] = {u'x', 0xD83D, 0};
    char16_t reversedPair[] = {0xDE00, 0xD83D, 0};
    EXPECT_EQ(quoted(std::u16string_view(high)), std::string("\"a") + replacement + "b\"");
    EXPECT_EQ(quoted(std::u16string_view(low)), std::string("\"") + replacement + "\"");
    EXPECT_EQ(quoted(std::u16string_view(highAtEnd)), std::string("\"x") + replacement + "\"");
    EXPECT_EQ(quoted(std::u16string_view(reversedPair)), std::string("\"") + replacement + replacement + "\"");
}

TEST(Quoted, NarrowTextIsReadAsUtf8) {
    EXPECT_EQ(quoted(std::string_view("ERROR\n")), R"("ERROR\n")");
    EXPECT_EQ(quoted(std::string_view("\xE6\x97\xA5")), "\"\xE6\x97\xA5\"");
    // Bytes that are no UTF-8 must not leak into the trace as they are.
    EXPECT_EQ(quoted(std::string_view("a\xFF" "b")), "\"a\xEF\xBF\xBD" "b\"");
    EXPECT_EQ(quoted(std::string_view("\xE6\x97")), "\"\xEF\xBF\xBD\"");
}

TEST(FormatFloat, ShortestFormForTheWidthWithAMarkOfNonInteger) {
    EXPECT_EQ(formatFloat(1.0f), "1.0");
    EXPECT_EQ(formatFloat(-3.0f), "-3.0");
    EXPECT_EQ(formatFloat(0.1f), "0.1");  // not 0.10000000149011612
    EXPECT_EQ(formatFloat(2.5f), "2.5");
    EXPECT_EQ(formatFloat(1e20f), "1e+20");
    EXPECT_EQ(formatFloat(16777216.0f), "16777216.0");
}

TEST(FormatDouble, ShortestFormForTheWidth) {
    EXPECT_EQ(formatDouble(2.5), "2.5");
    EXPECT_EQ(formatDouble(0.1), "0.1");
    EXPECT_EQ(formatDouble(0.1f), "0.10000000149011612");
    EXPECT_EQ(formatDouble(100.0), "100.0");
    EXPECT_EQ(formatDouble(1e300), "1e+300");
}

TEST(FormatFloat, InfinityAndNanAreLeftBare) {
    EXPECT_EQ(formatFloat(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(formatFloat(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(formatFloat(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(formatDouble(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatDouble(std::nan("")), "nan");
}

}  // namespace
