// An instance's life through the run-time exports: creation from the record,
// the frame hand-over of the document, what destruction resets, and the ACE
// routines built so far, including those of subsystems still to come.
#include <gtest/gtest.h>

#include "align/state.h"
#include "fake_host.h"
#include "host/catalogue.h"
#include "json/store.h"
#include "objctrl/registry.h"
#include "regex/state.h"

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

namespace {

// Every process-wide state that the destruction of an instance resets: how
// to dirty it and how to tell that it is back to its reset value. A state
// added to the extension gets its row here, so that dropping any one reset
// from DestroyRunObject fails the test below.
struct SharedState {
    const char* name;
    void (*dirty)();
    bool (*isReset)();
};

const SharedState kResetStates[] = {
    {"JSON work state and result text",
     [] {
         JsonWork& w = jsonWork();
         w.resultText = u"text";
         w.targetPointer = Json::json_pointer("/a");
         w.workPointer = Json::json_pointer("/b");
         w.targetId = 3;
         w.arrayKeyName = "key";
         w.arrayRepeatCount = 2;
         w.objectRecords.push_back({1, 2, 3, 4, 5, 6, 7});
         w.collectingRecords = true;
     },
     [] {
         const JsonWork& w = jsonWork();
         return w.resultText.empty() && w.targetPointer.empty() && w.workPointer.empty() && w.targetId == 0 &&
                w.arrayKeyName.empty() && w.arrayRepeatCount == 0 && w.objectRecords.empty() &&
                !w.collectingRecords;
     }},
    {"regex state and results",
     [] {
         RegexState& r = regexState();
         r.mismatchId = 7;
         r.searchMatches = {u"a"};
         r.exactMatches = {u"x"};
         r.resultText = u"replaced";
     },
     [] {
         const RegexState& r = regexState();
         return r.mismatchId == -1 && r.searchMatches.empty() && r.exactMatches.empty() && r.resultText.empty();
     }},
    {"alignment state",
     [] {
         AlignState& a = alignState();
         a.ok = true;
         a.runX = 4;
         a.runY = 5;
         a.number = u"01";
     },
     [] {
         const AlignState& a = alignState();
         return !a.ok && a.runX == 0 && a.runY == 0 && a.number.empty();
     }},
    {"motion registry",
     [] {
         MotionRegistry& m = registry();
         m.groups.push_back(MotionGroup{u"g", m.freeIds.take(), {1, 0, 0, 0, 0}});
         m.nulls.emplace_back();
         m.wrapFlips.emplace_back();
         m.sineWaves.emplace_back();
         m.orbitals.emplace_back();
         m.moveTowards.emplace_back();
         m.pendingNullTimer = true;
         m.pendingNullFrames = 9;
         m.lastRejectedGroup = u"g";
         m.currentGroupName = u"g";
         static headerObject centre{};
         m.pendingCentre = &centre;
     },
     [] {
         const MotionRegistry& m = registry();
         bool queueFull = m.freeIds.size() == UNIQUE_ID_COUNT && m.freeIds.front() == 0 &&
                          m.freeIds.back() == UNIQUE_ID_COUNT - 1;
         return queueFull && m.groups.empty() && m.nulls.empty() && m.wrapFlips.empty() && m.sineWaves.empty() &&
                m.orbitals.empty() && m.moveTowards.empty() && !m.pendingNullTimer && m.pendingNullFrames == 0 &&
                m.lastRejectedGroup.empty() && m.currentGroupName.empty() &&
               m.pendingCentre == nullptr;
     }},
};

}  // namespace

TEST_F(LifecycleTest, DestroyingAnyInstanceResetsEveryProcessWideState) {
    test::Instance keeper;
    for (const SharedState& state : kResetStates) {
        state.dirty();
        ASSERT_FALSE(state.isReset()) << state.name << ": dirtying it changed nothing";
    }
    jsonSlots().backup = Json{1};
    {
        test::Instance other;
    }
    for (const SharedState& state : kResetStates) EXPECT_TRUE(state.isReset()) << state.name;
    EXPECT_EQ(jsonSlots().backup, Json{1});  // the slots live as long as the library
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
