// An instance's life through the run-time exports: creation from the record,
// the frame hand-over of the document, what destruction resets, and the ACE
// routines built so far, including those of subsystems still to come.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "host/catalogue.h"
#include "host/lifetimes.h"
#include "objctrl/debug_text.h"

using namespace trivu;

namespace {

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { jsonSlots() = JsonSlots{}; }
    void TearDown() override { jsonSlots() = JsonSlots{}; }
    test::RecordingDesktop desktop;
};

}  // namespace

TEST_F(LifecycleTest, CreationCopiesTheRecord) {
    test::Instance instance(5, 2, 3, 4, u"hello");
    RUNDATA& rd = instance.rd();
    EXPECT_EQ(rd.forcePopup, 5);  // unchanged, even when not 0 or 1
    EXPECT_EQ(rd.regexIcase, 2);
    EXPECT_EQ(rd.regexControlChars, 3);
    EXPECT_EQ(rd.jsonShare, 4);
    ASSERT_NE(rd.text, nullptr);
    EXPECT_EQ(*rd.text, u"hello");
    EXPECT_EQ(rd.target, nullptr);
    EXPECT_TRUE(rd.document.is_null());
    EXPECT_FALSE(rd.handleEnabled);
    EXPECT_EQ(HandleRunObject(&rd), REFLAG_ONESHOT);
    EXPECT_EQ(SaveRunObject(&rd, nullptr), 1);
    EXPECT_EQ(LoadRunObject(&rd, nullptr), 1);
}

TEST_F(LifecycleTest, SharingHandsANonEmptyDocumentToTheNextFrame) {
    jsonSlots().backup = Json{{"b", 1}};
    {
        test::Instance first(1, 0, 0, 4);
        first.rd().document = Json{{"a", 1}};
    }
    test::Instance second(1, 0, 0, 4);
    EXPECT_EQ(second.rd().document, (Json{{"a", 1}}));
    EXPECT_EQ(second.rd().target, &second.rd().document);
    EXPECT_EQ(jsonSlots().shared, (Json{{"a", 1}}));  // both slots keep their content
}

TEST_F(LifecycleTest, ShareInTakesTheSharedSlotWhateverTheBackupHolds) {
    jsonSlots().shared = Json{{"a", 1}};
    test::Instance taken(1, 0, 0, 4);
    EXPECT_EQ(taken.rd().document, (Json{{"a", 1}}));
    EXPECT_EQ(taken.rd().target, &taken.rd().document);
    jsonSlots().shared = Json::object();
    jsonSlots().backup = Json{{"stale", true}};
    test::Instance empty(1, 0, 0, 4);
    EXPECT_TRUE(empty.rd().document.is_null());
    EXPECT_EQ(empty.rd().target, nullptr);
}

TEST_F(LifecycleTest, EmptyDocumentsAndSharingOffLeaveTheSlot) {
    jsonSlots().shared = Json{{"old", true}};
    for (Json document : {Json::array(), Json(), Json::object()}) {
        test::Instance instance(1, 0, 0, 4);
        instance.rd().document = document;
    }
    {
        test::Instance off(1, 0, 0, 0);
        off.rd().document = Json{{"x", 1}};
    }
    EXPECT_EQ(jsonSlots().shared, (Json{{"old", true}}));
    {
        test::Instance text(1, 0, 0, 4);
        text.rd().document = "";  // a string, even empty, is not an empty document
    }
    EXPECT_EQ(jsonSlots().shared, Json(""));
}

// The shared work is one record, reset by one assignment: a piece left out
// of it, or a destruction that forgot the reset, fails here.
TEST_F(LifecycleTest, DestroyingAnyInstanceResetsTheSharedWorkAndKeepsWhatLivesWithTheLibrary) {
    test::Instance keeper;
    SharedWork& work = sharedWork();
    work.json.targetId = 7;
    work.loop.records.records.push_back({1, 2, 3, 4, 5, 6, 7});
    work.regex.mismatchId = 7;
    work.loop.align.number = u"01";
    work.motion.groups.push_back(MotionGroup{u"g", work.motion.freeIds.take(), {1, 0, 0, 0, 0}});
    work.motion.nulls.emplace_back();
    work.motion.currentGroupName = u"g";
    ASSERT_FALSE(work == SharedWork());
    jsonSlots().backup = Json{1};
    debugText() = u"kept";
    {
        test::Instance other;
    }
    EXPECT_TRUE(sharedWork() == SharedWork());
    EXPECT_EQ(jsonSlots().backup, Json{1});
    EXPECT_EQ(debugText(), u"kept");
    // The surviving instance sees the reset through its triggered conditions.
    EXPECT_TRUE(keeper.condition(CND_REGEX_MISMATCH, {-1}));
    EXPECT_TRUE(keeper.condition(CND_TARGET_IS_ARRAY, {0}));
}

TEST_F(LifecycleTest, HandlingWithMotionWantedRunsThePassAndStops) {
    test::Instance instance;
    instance.rd().handleEnabled = true;
    EXPECT_EQ(HandleRunObject(&instance.rd()), REFLAG_ONESHOT);  // no group left
    EXPECT_FALSE(instance.rd().handleEnabled);
    EXPECT_FALSE(instance.rd().inHandler);
}

TEST_F(LifecycleTest, TextActionAndExpression) {
    test::Instance instance;
    EXPECT_EQ(instance.textExpression(0), u"日本語表現");
    instance.action(0, {u"hello"});
    EXPECT_EQ(instance.textExpression(0), u"hello");
    instance.action(0, {u""});
    EXPECT_EQ(instance.textExpression(0), u"");
    EXPECT_EQ(instance.requests, (std::vector<uint32_t>{PARAM_REQUEST_AS_IS, PARAM_REQUEST_AS_IS}));
}

TEST_F(LifecycleTest, FlagTogglesLandOnOffOrOn) {
    test::Instance instance(1, 1, 7);
    instance.action(3);
    EXPECT_EQ(instance.rd().regexIcase, 2);
    instance.action(3);
    EXPECT_EQ(instance.rd().regexIcase, 0);
    instance.action(4);
    EXPECT_EQ(instance.rd().regexControlChars, 3);
    instance.action(4);
    EXPECT_EQ(instance.rd().regexControlChars, 0);
}

TEST_F(LifecycleTest, TriggeredConditionsCompareWithWhatWasRecorded) {
    test::Instance instance;
    regexState().mismatchId = 4;
    EXPECT_TRUE(instance.condition(CND_REGEX_MISMATCH, {4}));
    EXPECT_FALSE(instance.condition(CND_REGEX_MISMATCH, {5}));
    jsonWork().targetId = 7;
    for (int code : {CND_TARGET_IS_ARRAY, CND_TARGET_IS_TRUE, CND_TARGET_IS_FALSE}) {
        EXPECT_TRUE(instance.condition(code, {7}));
        EXPECT_FALSE(instance.condition(code, {8}));
    }
    registry().lastRejectedGroup = u"Wave";
    EXPECT_TRUE(instance.condition(CND_GROUP_REJECTED, {u"Wave"}));
    EXPECT_FALSE(instance.condition(CND_GROUP_REJECTED, {u"wave"}));
    for (int code : {0, 3, 11, 12, 13, 14, 15}) EXPECT_TRUE(instance.condition(code));
    // Every condition asks for its parameters as they are.
    for (uint32_t request : instance.requests) EXPECT_EQ(request, PARAM_REQUEST_AS_IS);
}

TEST_F(LifecycleTest, RoutinesFetchEachParameterOnceInCatalogueOrder) {
    test::Instance instance;
    test::Sprite ball;
    instance.action(21, {u"g", 0});  // its count is asked for as is
    EXPECT_EQ(instance.requests, (std::vector<uint32_t>{PARAM_REQUEST_AS_IS, PARAM_REQUEST_AS_IS}));
    instance.requests.clear();
    instance.functions.clear();
    EXPECT_EQ(instance.textExpression(9, {u"/a", 4}), u"");
    EXPECT_EQ(instance.functions, (std::vector<int>{RFUNCTION_GETPARAM1, RFUNCTION_GETPARAM2}));
    EXPECT_EQ(instance.requests, (std::vector<uint32_t>{PARAM_REQUEST_STRING, PARAM_REQUEST_INT}));
    EXPECT_EQ(instance.expression(13, {0}), 0);
    instance.action(45, {ball.header(), ball.header(), u"g", u"1,1,1,0,0,0,0,0,0,0,0,0"});
    EXPECT_EQ(instance.unansweredFetches, 0);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(LifecycleTest, MotionTextsAreParsedOnceForAllSelectedInstances) {
    test::Instance instance(0);
    test::Sprite ball;
    instance.action(27, {ball.header(), u"g", u"abc"});
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{
                                 {"ObjCtrl :: Motion Registrate :: Invalid Params",
                                  "Empty MatchParams... Invalid Parameter Format"},
                             }));
    // The later instances of the same action reuse the first one's parse.
    instance.runHeader.rh2.rh2ActionLoopCount = 1;
    instance.action(27, {ball.header(), u"g", u"abc"});
    EXPECT_EQ(desktop.boxes.size(), 1u);
}
