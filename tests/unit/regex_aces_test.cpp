// The regular-expression ACEs through their jump-table routines: what the
// matching conditions leave in the shared results, which conditions they
// raise, the replacement's parameters, error reports, long texts and runaway
// patterns, and the copy into the JSON document.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "host/catalogue.h"
#include "host/boundary/json_value.h"
#include "regex/state.h"

using namespace trivu;

namespace {

enum : int { PARTIAL = 1, MISMATCH = 2, EXACT = 5 };
enum : int { REPLACE = 2, EXACT_COUNT = 5, EXACT_AT = 6, PARTIAL_COUNT = 7, PARTIAL_AT = 8 };

using Texts = std::vector<std::u16string>;
using Events = std::vector<int>;

class RegexAcesTest : public ::testing::Test {
protected:
    void SetUp() override { regexState() = RegexState{}; }
    void TearDown() override { regexState() = RegexState{}; }
    test::RecordingDesktop desktop;
};

}  // namespace

TEST_F(RegexAcesTest, AMismatchEmptiesItsOwnListOnlyAndRaisesTheMismatch) {
    test::Instance instance;
    ASSERT_TRUE(instance.condition(PARTIAL, {u"a1", uR"(\d)", 1}));
    ASSERT_TRUE(instance.condition(EXACT, {u"12", uR"(\d+)", 2}));
    for (uint32_t request : instance.requests) EXPECT_EQ(request, PARAM_REQUEST_AS_IS);  // the ID too
    EXPECT_FALSE(instance.condition(EXACT, {u"12a", uR"(\d+)", 7}));
    EXPECT_EQ(instance.events, Events{CND_REGEX_MISMATCH});
    EXPECT_TRUE(regexState().exactMatches.empty());
    EXPECT_EQ(regexState().searchMatches, Texts{u"1"});  // the other kind is untouched
    EXPECT_TRUE(instance.condition(MISMATCH, {7}));      // tied by the ID
    EXPECT_FALSE(instance.condition(MISMATCH, {2}));
    EXPECT_FALSE(instance.condition(PARTIAL, {u"abc", u"z", 8}));
    EXPECT_EQ(instance.events, (Events{CND_REGEX_MISMATCH, CND_REGEX_MISMATCH}));
    EXPECT_TRUE(regexState().searchMatches.empty());
    // Reading an empty list answers the empty text, whatever the index.
    EXPECT_EQ(instance.textExpression(PARTIAL_AT, {5}), u"");
    EXPECT_EQ(instance.textExpression(EXACT_AT, {-1}), u"");
    EXPECT_EQ(instance.expression(EXACT_COUNT), 0);
}

// The scenarios show the flag at work; here, what they cannot: the fetch of
// both texts through the expression services, and a text that is not there.
TEST_F(RegexAcesTest, ReplaceFetchesBothTextsAndWorksOnAMissingText) {
    test::Instance instance(1, 0, 3, 0, u"a-b-c");
    EXPECT_EQ(instance.textExpression(REPLACE, {u"(\\w)-", u"$1$1\\$"}), u"aa\\$bb\\$c");
    EXPECT_EQ(instance.functions, (std::vector<int>{RFUNCTION_GETPARAM1, RFUNCTION_GETPARAM2}));
    EXPECT_EQ(instance.requests, (std::vector<uint32_t>{PARAM_REQUEST_STRING, PARAM_REQUEST_STRING}));
    delete instance.rd().text;
    instance.rd().text = nullptr;
    EXPECT_EQ(instance.textExpression(REPLACE, {u"^", u"x"}), u"x");
    EXPECT_EQ(regexState().resultText, u"x");
}

TEST_F(RegexAcesTest, ErrorsAreReportedWithTheBoxOnlyWhenForced) {
    const std::string message =
        "Unmatched marking parenthesis ( or \\(.  The error occurred while parsing the regular expression: "
        "'(>>>HERE>>>'.";
    for (int32_t forcePopup : {1, 0, 5}) {
        desktop.boxes.clear();
        test::Instance instance(forcePopup, 0, 0, 0, u"a-b");
        EXPECT_EQ(instance.textExpression(REPLACE, {u"(", u"+"}), std::u16string(message.begin(), message.end()));
        ASSERT_TRUE(instance.condition(PARTIAL, {u"a1", uR"(\d)", 1}));
        EXPECT_FALSE(instance.condition(PARTIAL, {u"a", u"(", 3}));
        EXPECT_FALSE(instance.condition(EXACT, {u"a", u"[", 3}));
        EXPECT_EQ(instance.events, (Events{CND_REGEX_ERROR, CND_REGEX_ERROR, CND_REGEX_ERROR}));  // no mismatch
        EXPECT_TRUE(regexState().searchMatches.empty());
        EXPECT_EQ(regexState().mismatchId, 3);
        EXPECT_EQ(desktop.boxes.size(), forcePopup == 1 ? 3u : 0u);
        if (forcePopup == 1) {
            EXPECT_EQ(desktop.boxes[0], (test::Box{"INFO", message}));
        }
    }
}

// Whatever the game passes, the answer comes back: a megabyte subject, a
// pattern the engine gives up on, a pattern nested too deep.
TEST_F(RegexAcesTest, LongSubjectsAndRunawayPatternsAnswerOrReport) {
    test::Instance instance(0);
    std::u16string megabyte(1 << 20, u'a');
    EXPECT_TRUE(instance.condition(PARTIAL, {megabyte.c_str(), u".*", 1}));
    EXPECT_EQ(instance.expression(PARTIAL_COUNT), 2);
    EXPECT_TRUE(instance.condition(EXACT, {megabyte.c_str(), u"^(.*?)$", 1}));
    EXPECT_TRUE(instance.condition(PARTIAL, {megabyte.c_str(), u"a{1000}", 1}));
    EXPECT_EQ(instance.expression(PARTIAL_COUNT), 1048);
    EXPECT_FALSE(instance.condition(PARTIAL, {megabyte.c_str(), u"(a|b)*", 1}));
    EXPECT_EQ(regexState().resultText, u"Ran out of stack space trying to match the regular expression.");
    std::u16string forty(40, u'a');
    EXPECT_FALSE(instance.condition(PARTIAL, {forty.c_str(), u"(a+)+b", 2}));
    EXPECT_EQ(regexState().resultText.substr(0, 56), u"The complexity of matching the regular expression exceed");
    std::u16string nested = std::u16string(20000, u'(') + u"a" + std::u16string(20000, u')');
    EXPECT_FALSE(instance.condition(EXACT, {u"a", nested.c_str(), 3}));
    EXPECT_EQ(regexState().resultText.substr(0, 29), u"Exceeded nested brace limit. ");
    instance.action(0, {megabyte.c_str()});
    EXPECT_EQ(instance.textExpression(REPLACE, {u"a+$", u"done"}), u"done");
    EXPECT_EQ(instance.events, (Events{CND_REGEX_ERROR, CND_REGEX_ERROR, CND_REGEX_ERROR}));
}

TEST_F(RegexAcesTest, PushingSubMatchesMakesTheMemberAnArrayOfThem) {
    test::Instance instance;
    instance.rd().document = Json::object();
    ASSERT_TRUE(instance.condition(EXACT, {u"2024-01", uR"((\d+)-(\d+))", 1}));
    instance.action(52, {u"/res"});
    EXPECT_EQ(instance.rd().document, (Json{{"res", {"2024-01", "2024", "01"}}}));
    EXPECT_EQ(instance.rd().target, &instance.rd().document);
    ASSERT_TRUE(instance.condition(PARTIAL, {u"日本 語", u"\\S+", 1}));
    instance.action(53, {u"/res"});  // whatever the member held before
    EXPECT_EQ(instance.rd().document, (Json{{"res", {"日本", "語"}}}));
    instance.action(52, {u"/exact"});
    EXPECT_EQ(instance.rd().document["exact"].size(), 3u);

    // An empty list leaves the path unread and the document alone.
    EXPECT_FALSE(instance.condition(EXACT, {u"x", u"y", 1}));
    instance.requests.clear();
    instance.action(52, {u"/res"});
    EXPECT_TRUE(instance.requests.empty());
    instance.action(53, {u""});
    EXPECT_EQ(instance.rd().document, (Json{{"res", {"日本", "語"}}, {"exact", {"2024-01", "2024", "01"}}}));
    EXPECT_TRUE(desktop.boxes.empty());

    // A parent that is not there is the store's to report.
    instance.action(53, {u"/missing/res"});
    EXPECT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(instance.events.back(), CND_JSON_POINTER_ERROR);
}
