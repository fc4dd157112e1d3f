// The parameter parser against every caller's format: the documented forms,
// the failing ones, and what each does to the two lists.
#include <gtest/gtest.h>

#include "common/params.h"
#include "fake_host.h"

using namespace trivu;

namespace {

class ParamsTest : public ::testing::Test {
protected:
    test::RecordingDesktop desktop;
    test::Instance instance{0};  // forcePopup off: the parser's box does not depend on it
    RUNDATA& rd = instance.rd();

    bool parse(std::u16string_view text, const ParamFormat& format) { return MatchParams(rd, text, format); }

    void expectRejected(std::u16string_view text, const ParamFormat& format) {
        rd.intParams = {7};
        rd.floatParams = {7.5f};
        size_t boxes = desktop.boxes.size();
        EXPECT_FALSE(parse(text, format)) << std::string(text.begin(), text.end());
        ASSERT_EQ(desktop.boxes.size(), boxes + 1);
        EXPECT_EQ(desktop.boxes.back(), (test::Box{std::string(message(format.refusal).caption),
                                                   "Empty MatchParams... Invalid Parameter Format"}));
        EXPECT_EQ(rd.intParams, std::vector<int32_t>{7});
        EXPECT_EQ(rd.floatParams, std::vector<float>{7.5f});
    }
};

using Ints = std::vector<int32_t>;
using Floats = std::vector<float>;

}  // namespace

TEST_F(ParamsTest, IntegerFormatsTakeTheirDocumentedExamples) {
    ASSERT_TRUE(parse(u"100, 150, +10 , true", formats::rowColumn));
    EXPECT_EQ(rd.intParams, (Ints{100, 150, 10, 1}));
    ASSERT_TRUE(parse(u"100, 100, 4, 10, 10, true", formats::grid));
    EXPECT_EQ(rd.intParams, (Ints{100, 100, 4, 10, 10, 1}));
    ASSERT_TRUE(parse(u"true, true", formats::saveOptions));
    EXPECT_EQ(rd.intParams, (Ints{1, 1}));
    ASSERT_TRUE(parse(u"10,1", formats::saveOptions));
    EXPECT_EQ(rd.intParams, (Ints{10, 1}));
    ASSERT_TRUE(parse(u"10 , -1 , 10", formats::sleep));
    EXPECT_EQ(rd.intParams, (Ints{10, -1, 10}));
    for (auto text : {u"5, 0, +1 ", u"5,0,+1"}) {
        ASSERT_TRUE(parse(text, formats::sequence));
        EXPECT_EQ(rd.intParams, (Ints{5, 0, 1}));
    }
}

TEST_F(ParamsTest, FloatFormatsTakeTheirDocumentedExamples) {
    ASSERT_TRUE(parse(u"+1.0,  false , -40, 680", formats::wrapFlip));
    EXPECT_EQ(rd.floatParams, (Floats{1.0f, 0.0f, -40.0f, 680.0f}));
    ASSERT_TRUE(parse(u"+1.2 , 50 , +1.2 , 0, 20 , false , -40 , 1000", formats::sineWave));
    EXPECT_EQ(rd.floatParams, (Floats{1.2f, 50, 1.2f, 0, 20, 0, -40, 1000}));
    ASSERT_TRUE(parse(u"50,50, +1.0, false,0,72,0,0,false,30,-1,72", formats::orbital));
    EXPECT_EQ(rd.floatParams, (Floats{50, 50, 1, 0, 0, 72, 0, 0, 0, 30, -1, 72}));
    ASSERT_TRUE(parse(u"true, 150, 0, +1.0, 60, -1", formats::growSine));
    EXPECT_EQ(rd.floatParams, (Floats{1, 150, 0, 1, 60, -1}));
    ASSERT_TRUE(parse(u"true, 150, 0, +1.0, 60, -1,  150, 0, +1.0, 60, -1", formats::growOrbital));
    EXPECT_EQ(rd.floatParams, (Floats{1, 150, 0, 1, 60, -1, 150, 0, 1, 60, -1}));
    ASSERT_TRUE(parse(u".5,0,1,2", formats::wrapFlip));
    EXPECT_EQ(rd.floatParams, (Floats{0.5f, 0, 1, 2}));
}

TEST_F(ParamsTest, AnEmptyLastWrapFlipValueLeavesThreeValues) {
    ASSERT_TRUE(parse(u"+1.0, false, -40,", formats::wrapFlip));
    EXPECT_EQ(rd.floatParams, (Floats{1.0f, 0.0f, -40.0f}));
}

TEST_F(ParamsTest, MalformedTextsAreReportedAndChangeNothing) {
    expectRejected(u"", formats::rowColumn);
    expectRejected(u"100,\t150, 10, 1", formats::rowColumn);            // a tab stays
    expectRejected(u"True, 150, 0, +1.0, 60, -1", formats::growSine);  // only lower case is replaced
    expectRejected(u"-5, 0, +1", formats::sequence);                   // the count takes no minus
    expectRejected(u"1,10", formats::saveOptions);                      // one digit for pretty-print
    expectRejected(u"+1.2, -50, 1.2, 0, 20, false, -40, 1000", formats::sineWave);  // amplitude sign
    expectRejected(u"1,2,3,4,5", formats::rowColumn);
    expectRejected(u"abc", formats::wrapFlip);
}

TEST_F(ParamsTest, UnconvertibleGroupsAreReportedLikeAMismatch) {
    expectRejected(u"1.0, 0, -40, +", formats::wrapFlip);         // a lone sign
    expectRejected(u"2147483648, 0, 1", formats::sequence);      // past 32 bits
    std::u16string pastAFloat = std::u16string(1, u'1').append(40, u'0').append(u",0,1,2");
    expectRejected(pastAFloat, formats::wrapFlip);  // past a float
    ASSERT_TRUE(parse(u"2147483647, -2147483648, 0", formats::sequence));
    EXPECT_EQ(rd.intParams, (Ints{2147483647, -2147483647 - 1, 0}));
}

// The float patterns take no exponent, so only long digit strings get there.
TEST_F(ParamsTest, FloatsBeyondTheRangeAtEitherEndAreRefused) {
    auto zeros = [](size_t n) { return std::u16string(n, u'0'); };
    expectRejected(u"0." + zeros(60) + u"1,0,1,2", formats::wrapFlip);    // rounds to 0
    expectRejected(u"0." + zeros(39) + u"1,0,1,2", formats::wrapFlip);    // 1e-40, a subnormal
    expectRejected(u"-35" + zeros(37) + u",0,1,2", formats::wrapFlip);    // -3.5e38
    ASSERT_TRUE(parse(u"0." + zeros(37) + u"1175494351,0,1,-0", formats::wrapFlip));  // the least normal float
    EXPECT_EQ(rd.floatParams, (Floats{1.17549435e-38f, 0, 1, 0}));
    ASSERT_TRUE(parse(u"-34" + zeros(37) + u",0,1,2", formats::wrapFlip));
    EXPECT_EQ(rd.floatParams.front(), -3.4e38f);
}

TEST_F(ParamsTest, EachModeKeepsToItsOwnList) {
    rd.floatParams = {9.0f};
    ASSERT_TRUE(parse(u"1,2,3,1", formats::rowColumn));
    EXPECT_EQ(rd.floatParams, Floats{9.0f});
    rd.intParams = {9};
    ASSERT_TRUE(parse(u"1,0,2,3", formats::wrapFlip));
    EXPECT_EQ(rd.intParams, Ints{9});
}

TEST_F(ParamsTest, WordReplacementIsTextualAndSpacesOnlyAreRemoved) {
    // "false" inside a word is replaced too: "xfalse" becomes "x0", still no match.
    expectRejected(u"1, xfalse, 2, 3", formats::wrapFlip);
    ASSERT_TRUE(parse(u"  1 ,  0 ,  2  , 3  ", formats::rowColumn));
    EXPECT_EQ(rd.intParams, (Ints{1, 0, 2, 3}));
    ASSERT_TRUE(parse(u"+1, fal se, 0, 100", formats::wrapFlip));  // spaces go before the words are read
    EXPECT_EQ(rd.floatParams, (Floats{1, 0, 0, 100}));
}

TEST_F(ParamsTest, LongTextsAreAnsweredWithoutExhaustingTheStack) {
    ASSERT_TRUE(parse(u"1,0,2," + std::u16string(1 << 20, u'0') + u"3", formats::wrapFlip));
    EXPECT_EQ(rd.floatParams, (Floats{1, 0, 2, 3}));
    expectRejected(std::u16string(200000, u'1') + u",1,1", formats::sequence);  // out of range
    expectRejected(std::u16string(1 << 20, u'1'), formats::orbital);
}

TEST_F(ParamsTest, MatchOnlyValidatesWithoutReplacingOrConverting) {
    std::vector<std::u16string> groups;
    ASSERT_TRUE(MatchOnly(rd, u"+0100.0090", kAlignNumberPattern, MessageId::AlignTextRefused, groups));
    EXPECT_EQ(groups.at(0), u"+0100.0090");
    EXPECT_TRUE(MatchOnly(rd, u"1e5", kAlignNumberPattern, MessageId::AlignTextRefused, groups));
    EXPECT_TRUE(MatchOnly(rd, u" 1 2 ", kAlignNumberPattern, MessageId::AlignTextRefused, groups));
    EXPECT_TRUE(desktop.boxes.empty());
    for (auto bad : {u"12a", u"true", u""})
        EXPECT_FALSE(MatchOnly(rd, bad, kAlignNumberPattern, MessageId::AlignTextRefused, groups));
    EXPECT_EQ(desktop.boxes.size(), 3u);
}

TEST(GlyphCode, ReadsTheReversedNumberText) {
    std::u16string_view number = u"0900.0010+";  // "+0100.0090" reversed
    int expected[] = {0, 9, 0, 0, 12, 0, 0, 1, 0, 11, 15, 15};
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(GlyphCode(number, i), expected[i]) << i;
    EXPECT_EQ(GlyphCode(u"-eE ", 0), 10);
    EXPECT_EQ(GlyphCode(u"-eE ", 1), 13);
    EXPECT_EQ(GlyphCode(u"-eE ", 2), 14);
    EXPECT_EQ(GlyphCode(u"-eE ", 3), 15);  // a space has no glyph: blank
    EXPECT_EQ(GlyphCode(u"", 0), 15);
}

TEST(DirectionIndex, MapsDegreesOntoThirtyTwoSteps) {
    EXPECT_EQ(directionIndex(359.9), 31);
    EXPECT_EQ(directionIndex(11.24), 0);
    EXPECT_EQ(directionIndex(11.25), 1);
}
