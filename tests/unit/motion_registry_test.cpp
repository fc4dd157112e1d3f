// The motion registry through its actions: unique IDs, group accounting
// across kinds, the three rejections, the marks on registered objects, the
// refusal while the containers are walked, and the debug text.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <unordered_set>

#include "common/notifier.h"
#include "fake_host.h"
#include "host/catalogue.h"
#include "objctrl/registry.h"

using namespace trivu;

namespace {

enum Action : int {
    NULL_MOTION = 20,
    REJECT_BY_NAME = 21,
    REJECT_DESTROY_BY_NAME = 22,
    REJECT_DIRECT = 25,
    REJECT_DESTROY_DIRECT = 26,
    HORIZONTAL_WRAP = 27,
    TIMED_NULL = 34,
    HORIZONTAL_FLIP = 37,
    VERTICAL_WRAP = 38,
};

const test::Box kRestriction{"NOTIFICATION", "ObjCtrl :: Restriction to terminate"};

class MotionRegistryTest : public ::testing::Test {
protected:
    test::Sprite& sprite(int16_t number = 0, int32_t x = 0, int32_t y = 0) {
        return sprites.emplace_back(OBJ_SPR, number, x, y);
    }
    void wrap(test::Sprite& s, const char16_t* group, const char16_t* params = u"1,false,0,100") {
        instance.action(HORIZONTAL_WRAP, {s.header(), group, params});
    }
    std::u16string debug(const char16_t* group = u"") { return instance.textExpression(14, {group}); }
    MotionRegistry& reg() { return registry(); }

    test::RecordingDesktop desktop;
    test::Instance instance;  // destroyed last among the members below: resets the registry
    std::deque<test::Sprite> sprites;
};

}  // namespace

TEST_F(MotionRegistryTest, UniqueIdsComeInOrderAndComeBackAtTheBackOfTheQueue) {
    for (char16_t name : {u'a', u'b', u'c'})
        instance.action(NULL_MOTION, {sprite(static_cast<int16_t>(name)).header(), std::u16string(1, name).c_str()});
    ASSERT_EQ(reg().groups.size(), 3u);
    EXPECT_EQ(reg().groups[1].groupId, 1);
    instance.action(REJECT_BY_NAME, {u"b", 0});
    instance.action(NULL_MOTION, {sprite(3).header(), u"d"});
    EXPECT_EQ(reg().groups.back().groupId, 3);  // 1 waits behind 3..254
    EXPECT_EQ(reg().freeIds.back(), 1);

    // With every ID taken, a registration that needs a new group is refused
    // without a trace; one into an existing group still works.
    for (int i = 0; reg().freeIds.size() > 0; ++i) {
        const std::u16string name(1, static_cast<char16_t>(0x100 + i));
        instance.action(NULL_MOTION, {sprite(static_cast<int16_t>(10 + i)).header(), name.c_str()});
    }
    test::Sprite& late = sprite(500);
    late.values[1].m_type = TYPE_LONG;
    late.values[1].m_long = 77;
    wrap(late, u"one more");
    EXPECT_EQ(reg().groups.size(), 255u);
    EXPECT_EQ(reg().wrapFlips.size(), 0u);
    EXPECT_EQ(late.values[1].m_long, 77);
    wrap(late, u"a");
    EXPECT_EQ(reg().wrapFlips.size(), 1u);
}

TEST_F(MotionRegistryTest, AnObjectIsRegisteredOnceAndCountedInItsKind) {
    test::Sprite& s = sprite(1);
    wrap(s, u"g");
    wrap(s, u"other");                                 // refused: registered already,
    instance.action(NULL_MOTION, {s.header(), u"g"});  // whatever the group or kind
    instance.action(NULL_MOTION, {sprite(2).header(), u"g"});
    wrap(sprite(3), u"g");
    EXPECT_EQ(reg().groups.size(), 1u);
    EXPECT_EQ(reg().groups[0].count, (std::array<uint32_t, 5>{1, 2, 0, 0, 0}));
    EXPECT_EQ(instance.expression(13, {1}), 1);
    EXPECT_EQ(instance.expression(13, {2}), 2);
    EXPECT_EQ(instance.expression(13, {5}), 0);
    for (int total : {0, 6, -1}) EXPECT_EQ(instance.expression(13, {total}), 3);
}

// Each way a record leaves frees its object for a new registration, and
// compaction keeps the index right: it names exactly the objects that have
// live records, each with the place where its record stands.
TEST_F(MotionRegistryTest, EveryWayOutFreesTheObject) {
    auto indexIsExact = [&] {
        size_t live = 0;
        bool placed = true;
        forEachContainer(reg(), [&](auto& records) {
            forEachLive(records, [&](const MotionRecord& r) {
                ++live;
                const auto slot = reg().slots.find(r.object);
                placed = placed && slot != reg().slots.end() && &records[slot->second] == &r;
            });
        });
        return placed && live == reg().slots.size();
    };
    std::vector<test::Sprite*> s;
    for (int16_t n = 1; n <= 9; ++n) wrap(*s.emplace_back(&sprite(n)), u"g");
    instance.action(REJECT_BY_NAME, {u"g", 0});
    EXPECT_TRUE(reg().slots.empty());
    for (test::Sprite* one : s) wrap(*one, u"g");
    instance.action(REJECT_DIRECT, {s[0]->header(), 0});
    instance.action(REJECT_DIRECT, {s[1]->header(), 1});  // leaves in the second pass
    s[2]->object.roHo.hoFlags |= HOF_DESTROYED;           // leaves in the first
    instance.action(REJECT_DIRECT, {s[4]->header(), 0});
    EXPECT_TRUE(indexIsExact());
    HandleRunObject(&instance.rd());
    HandleRunObject(&instance.rd());
    EXPECT_TRUE(indexIsExact());
    instance.action(REJECT_DIRECT, {s[5]->header(), 0});  // dead now outnumber live
    EXPECT_EQ(reg().wrapFlips.size(), 4u);  // compacted: 3, 6, 7 and 8 are left
    EXPECT_TRUE(indexIsExact());
    wrap(*s[0], u"g");
    wrap(*s[1], u"h");
    wrap(*s[3], u"h");  // still registered: refused
    EXPECT_EQ(instance.expression(13, {2}), 6);
    EXPECT_TRUE(indexIsExact());
    instance.action(REJECT_DIRECT, {s[8]->header(), 0});  // found where it stands after the compaction
    EXPECT_EQ(instance.expression(13, {2}), 5);
    instance.action(REJECT_BY_NAME, {u"", 0});  // everything
    EXPECT_TRUE(reg().slots.empty());
}

TEST_F(MotionRegistryTest, RegistrationMarksTheLoopIndexAndTheKind) {
    test::Sprite& a = sprite(0, 10, 20);
    test::Sprite& b = sprite(1, 30, 40);
    wrap(a, u"");  // the object's own name
    instance.runHeader.rh2.rh2ActionLoopCount = 1;
    wrap(b, u"ignored", u"ignored too");  // later instances reuse the first one's parse
    EXPECT_EQ(reg().groups[0].name, u"Sprite");
    ASSERT_EQ(reg().wrapFlips.size(), 2u);
    EXPECT_EQ(b.values[0].m_long, 1);
    EXPECT_EQ(b.values[1].m_long, INDEX_WRAPFLIP);
    EXPECT_EQ(reg().wrapFlips[1].x, 30);
    EXPECT_EQ(reg().wrapFlips[1].wallB, 100);
    EXPECT_GE(instance.rehandles, 1);
    EXPECT_TRUE(instance.rd().handleEnabled);
    EXPECT_TRUE(desktop.boxes.empty());

    // A first instance that cannot move leaves nothing for the later ones:
    // they register nothing, rather than with the values above.
    test::Sprite& gone = sprite(2);
    test::Sprite& c = sprite(3);
    gone.header()->hoFlags |= HOF_DESTROYED;
    instance.runHeader.rh2.rh2ActionLoopCount = 0;
    wrap(gone, u"other", u"5,false,0,50");
    instance.runHeader.rh2.rh2ActionLoopCount = 1;
    wrap(c, u"ignored", u"ignored too");
    EXPECT_EQ(reg().wrapFlips.size(), 2u);
    EXPECT_EQ(c.values[1].m_long, 0);
}

// Each registration marks its instance with the kind of record that
// host/boundary/ace_numbers.h names for it, which is how a loading program
// (the stand-in's pictures) tells that it took and what it made.
TEST_F(MotionRegistryTest, EachRegistrationMakesTheKindItsRowNames) {
    test::Sprite& centre = sprite(99, 50, 50);
    int16_t number = 0;
    for (const MotionRegistration& r : MOTION_REGISTRATIONS) {
        SCOPED_TRACE(r.action);
        test::Sprite& s = sprite(number++);
        for (CValue& v : s.values) {
            v.m_type = TYPE_LONG;
            v.m_long = -1;
        }
        std::u16string group(u"g");
        group.push_back(static_cast<char16_t>(u'a' + number));
        std::vector<test::Param> params{s.header()};
        if (r.action == ACT_ORBIT_TARGET) params.push_back(centre.header());
        params.push_back(group.c_str());
        if (r.kind == INDEX_WRAPFLIP) params.push_back(u"1,false,0,100");
        if (r.kind == INDEX_SINEWAVE) params.push_back(u"1,10,1,0,0,false,0,100");
        if (r.kind == INDEX_ORBITAL) params.push_back(u"10,10,1,false,0,0,0,0,false,0,0,0");
        if (r.action == ACT_TIMED_NULL_MOTION) params.push_back(30);
        instance.action(r.action, params);
        EXPECT_EQ(s.values[0].m_long, 0);
        EXPECT_EQ(s.values[1].m_long, r.kind);
        if (r.kind == INDEX_WRAPFLIP) {
            EXPECT_EQ(reg().wrapFlips.back().horizontal, r.horizontal);
        }
        if (r.kind == INDEX_SINEWAVE) {
            EXPECT_EQ(reg().sineWaves.back().horizontal, r.horizontal);
        }
    }
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(MotionRegistryTest, AWrapTextWithoutItsLastWallIsRefused) {
    test::Sprite& s = sprite();
    wrap(s, u"g", u"1,false,0,");
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{{"ObjCtrl :: Motion Registrate :: Invalid Params", "Empty MatchParams... Invalid Parameter Format"}}));
    EXPECT_TRUE(reg().groups.empty());
    EXPECT_TRUE(instance.rd().floatParams.empty());
}

// Directly one record at a time, or by name all at once: the group goes with
// its last record of any kind and raises condition 9 once.
TEST_F(MotionRegistryTest, AGroupGoesWithItsLastRecordOfAnyKind) {
    test::Sprite& n = sprite(1);
    test::Sprite& w = sprite(2);
    instance.action(NULL_MOTION, {n.header(), u"mixed"});
    wrap(w, u"mixed");
    EXPECT_EQ(reg().groups[0].count, (std::array<uint32_t, 5>{1, 1, 0, 0, 0}));
    instance.action(REJECT_DIRECT, {n.header(), 0});
    EXPECT_TRUE(instance.events.empty());
    instance.action(REJECT_DESTROY_DIRECT, {w.header(), -3});
    EXPECT_EQ(instance.events, (std::vector<int>{CND_GROUP_REJECTED}));
    EXPECT_EQ(instance.destroyed, (std::vector<headerObject*>{w.header()}));
    EXPECT_TRUE(w.object.roHo.hoFlags & HOF_DESTROYED);
    EXPECT_TRUE(instance.condition(CND_GROUP_REJECTED, {u"mixed"}));
    EXPECT_FALSE(instance.condition(CND_GROUP_REJECTED, {u"Mixed"}));
    EXPECT_EQ(reg().freeIds.back(), 0);

    test::Sprite& a = sprite(3);
    test::Sprite& b = sprite(4);
    wrap(a, u"g");
    instance.action(NULL_MOTION, {b.header(), u"g"});
    instance.action(NULL_MOTION, {sprite(5).header(), u"keep"});
    instance.action(REJECT_DESTROY_BY_NAME, {u"g", 0});
    EXPECT_EQ(instance.destroyed, (std::vector<headerObject*>{w.header(), b.header(), a.header()}));  // Null queue first
    EXPECT_EQ(instance.events, (std::vector<int>{CND_GROUP_REJECTED, CND_GROUP_REJECTED}));
    EXPECT_EQ(reg().lastRejectedGroup, u"g");
    EXPECT_EQ(instance.expression(13, {0}), 1);
    instance.action(REJECT_BY_NAME, {u"nobody", 0});
    EXPECT_EQ(instance.expression(13, {-1}), 1);
}

// A count-down by name wakes the pass only when it sleeps.
TEST_F(MotionRegistryTest, TimersRestartForAllButNotByName) {
    test::Sprite& a = sprite(1);
    test::Sprite& b = sprite(2);
    wrap(a, u"g");
    wrap(b, u"h");
    const int woken = instance.rehandles;
    instance.action(REJECT_BY_NAME, {u"g", 8});  // the pass runs already: no new wake
    EXPECT_EQ(instance.rehandles, woken);
    instance.rd().handleEnabled = false;
    instance.action(REJECT_BY_NAME, {u"g", 3});  // keeps its running countdown, and wakes the pass
    EXPECT_EQ(reg().wrapFlips[0].rejectCountdown, 8);
    EXPECT_EQ(instance.rehandles, woken + 1);
    EXPECT_TRUE(instance.rd().handleEnabled);
    instance.action(REJECT_DIRECT, {a.header(), 2});  // already counting: nothing
    EXPECT_EQ(reg().wrapFlips[0].rejectCountdown, 8);
    instance.action(REJECT_DESTROY_BY_NAME, {u"", 5});  // restarts every timer
    for (const WrapFlipRecord& r : reg().wrapFlips) {
        EXPECT_EQ(r.rejectCountdown, 5);
        EXPECT_TRUE(r.destroyOnReject);
    }
    instance.action(REJECT_BY_NAME, {u"", -4});  // negative counts as 0: all at once
    EXPECT_TRUE(reg().groups.empty());
    EXPECT_EQ(reg().freeIds.size(), 255u);
    EXPECT_TRUE(instance.events.empty());  // no condition 9 for everything at once
    EXPECT_TRUE(instance.destroyed.empty());
}

TEST_F(MotionRegistryTest, DirectRejectionLooksWhereAlterableValueBPoints) {
    test::Sprite& s = sprite(1);
    wrap(s, u"g");
    s.values[1].m_type = TYPE_DOUBLE;
    s.values[1].m_double = 0.9;  // truncated to 0: the Null queue, where it is not
    instance.action(REJECT_DIRECT, {s.header(), 0});
    EXPECT_EQ(instance.expression(13, {2}), 1);
    s.values[1].m_type = TYPE_LONG;
    s.values[1].m_long = 257;  // modulo 256: WrapFlip
    instance.action(REJECT_DIRECT, {s.header(), 0});
    EXPECT_EQ(instance.expression(13, {2}), 0);
    wrap(s, u"g");
    s.values[1].m_type = TYPE_DOUBLE;
    s.values[1].m_double = -255.5;  // truncated to -255, then modulo 256: WrapFlip
    instance.action(REJECT_DIRECT, {s.header(), 0});
    EXPECT_EQ(instance.expression(13, {2}), 0);
    // A record whose group is missing stays, with the box.
    wrap(s, u"g");
    reg().wrapFlips.back().groupId = 200;
    instance.action(REJECT_DIRECT, {s.header(), 0});
    EXPECT_EQ(instance.expression(13, {2}), 1);
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{{"ObjCtrl :: Motion Registrate :: Invalid Params",
                                                      "ObjCtrl.Search LPRO.Destroy :: ERR = No Matched Unique ID"}}));
}

TEST_F(MotionRegistryTest, EventsOfAnImmediateRejectionCannotReshapeTheRegistry) {
    test::Sprite& a = sprite(1);
    test::Sprite& b = sprite(2);
    test::Sprite& c = sprite(3);
    wrap(a, u"g");
    wrap(b, u"h");
    instance.onEvent = [&](int) {
        instance.action(REJECT_BY_NAME, {u"h", 0});
        wrap(c, u"h");
        instance.action(NULL_MOTION, {c.header(), u"fresh"});  // unguarded: it only appends
    };
    instance.action(REJECT_BY_NAME, {u"g", 0});
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kRestriction, kRestriction}));
    ASSERT_EQ(reg().groups.size(), 2u);
    EXPECT_EQ(reg().groups[0].name, u"h");
    EXPECT_EQ(reg().groups[1].name, u"fresh");
    EXPECT_EQ(reg().groups[1].groupId, 2);
}

TEST_F(MotionRegistryTest, DebugTextListsGroupsThenRecords) {
    EXPECT_EQ(debug(), u"============ Noone Registered ============");
    instance.action(TIMED_NULL, {sprite(1).header(), u"A", 30});
    wrap(sprite(2, 10, 20), u"B", u"-2.5,true,-40,680");
    instance.action(VERTICAL_WRAP, {sprite(3, 5, 6).header(), u"a group name longer than twenty", u"+1.2,0,0,99"});
    const std::u16string header = u"============ TRIVU Debug Info ============\r\n";
    EXPECT_EQ(debug(u"A"), header +
                               u"A                    uID.0   : REG [ 1  , 0  , 0  , 0  , 0  ]\r\n\r\n"
                               u"****10001 : uID.0   : Mot.0 : Rjct = 30    : DEST\r\n");
    EXPECT_EQ(debug(u"B"), header +
                               u"B                    uID.1   : REG [ 0  , 1  , 0  , 0  , 0  ]\r\n\r\n"
                               u"****20002 : uID.1   : Mot.1 : x.y [   10 :  20   ] : HW.xv [  -2.5 ] : "
                               u"wall A.B [  -40 : 680  ] : STOP\r\n");
    EXPECT_EQ(debug(u"b"), header + u"\r\n");
    EXPECT_NE(debug().find(u"a group name longer than twenty uID.2   : REG"), std::u16string::npos);
    EXPECT_NE(debug().find(u"****30003 : uID.2   : Mot.1 : x.y [    5 :  6    ] : VW.yv [   1.2 ] : "
                           u"wall A.B [    0 : 99   ]\r\n"),
              std::u16string::npos);
}

TEST_F(MotionRegistryTest, EventDetectExpressionsReadTheLastEvent) {
    RUNDATA& rd = instance.rd();
    // Expression 19 answers the angle within one turn: degrees 0 to 359
    // (type 0) and directions 0 to 31 (any other type).
    const struct {
        double angle;
        intptr_t degrees, direction;
    } angles[] = {
        {359.9, 359, 31}, {11.24, 11, 0}, {11.25, 11, 1}, {-2, 358, 31}, {360, 0, 0}, {720.5, 0, 0},
        {-0.0, 0, 0},     {-1e-20, 0, 0}, {2e15, 200, 17},  // an orbit of a huge speed
        {NAN, 0, 0},
    };
    for (const auto& a : angles) {
        SCOPED_TRACE(a.angle);
        rd.eventAngle = a.angle;
        EXPECT_EQ(instance.expression(19, {0}), a.degrees);
        EXPECT_EQ(instance.expression(19, {1}), a.direction);
        EXPECT_EQ(instance.expression(19, {7}), a.direction);
    }
    rd.eventX = -3;
    rd.eventY = 4;
    rd.eventFixedValue = 65537;
    rd.eventSleepCount = 9;
    EXPECT_EQ(static_cast<int32_t>(instance.expression(15)), -3);
    EXPECT_EQ(instance.expression(16), 4);
    EXPECT_EQ(instance.expression(17), 65537);
    EXPECT_EQ(instance.expression(18), 9);
}
