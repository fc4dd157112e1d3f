// Text conversions: what invalid input becomes and where results end.
#include <gtest/gtest.h>

#include "common/text.h"
#include "platform/platform.h"

using namespace trivu;

// The malformed forms themselves are the codec's cases (utf_test.cpp).
TEST(Utf8ToWide, DecodesTheWholeInput) {
    EXPECT_EQ(Utf8ToWide("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE8\xA1\xA8\xE7\x8F\xBE"), u"日本語表現");
    EXPECT_EQ(Utf8ToWide("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf8ToWide(""), u"");
}

TEST(Utf8ToWide, EndsAtTheFirstZero) {
    using namespace std::string_view_literals;
    EXPECT_EQ(Utf8ToWide("ab\0cd"sv), u"ab");
}

TEST(WideToUtf8, EncodesAndEndsAtTheFirstZero) {
    EXPECT_EQ(WideToUtf8(u"日本語表現"), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE8\xA1\xA8\xE7\x8F\xBE");
    EXPECT_EQ(WideToUtf8(std::u16string_view(u"x\0y", 3)), "x");
}

TEST(PlatformText, FollowsTheWindowsBufferRules) {
    using namespace platform;
    char16_t out[4] = {};
    EXPECT_EQ(multiByteToWideChar(CP_UTF8, "abc", 3, nullptr, 0), 3);      // size asked
    EXPECT_EQ(multiByteToWideChar(CP_UTF8, "abcde", 5, out, 4), 0);        // too small
    EXPECT_EQ(multiByteToWideChar(CP_UTF8, "ab", -1, out, 4), 3);          // -1 takes the terminator
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(multiByteToWideChar(12345, "ab", 2, out, 4), 0);             // unknown code page
    char narrow[8] = {};
    EXPECT_EQ(wideCharToMultiByte(CP_UTF8, u"\u00e9", 1, narrow, 8), 2);
}
