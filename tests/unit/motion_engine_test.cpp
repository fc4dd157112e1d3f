// The per-frame pass: the wall rules of crossWall, wraps through the pass,
// the sleep cycle, reject timers, the end of a wave's growth, objects the game
// destroyed, the refusal from a wall event, and a pass that allocates nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <new>

#include "fake_host.h"
#include "host/catalogue.h"
#include "objctrl/engine.h"

using namespace trivu;

// ---- Counting heap allocations ---------------------------------------------------
// Every allocation of this test program goes through here; only those made
// while `counting` is set are counted.

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

// The replacements pair malloc with free on purpose; GCC sees only half of it.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

struct Event {
    int condition;
    int32_t x, y, fixed;
};

class MotionEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        instance.onEvent = [this](int condition) {
            const RUNDATA& rd = instance.rd();
            seen.push_back({condition, rd.eventX, rd.eventY, rd.eventFixedValue});
        };
    }
    test::Sprite& sprite(int16_t number, int32_t x = 0, int32_t y = 0) {
        return sprites.emplace_back(OBJ_SPR, number, x, y);
    }
    WrapFlipRecord line(test::Sprite& s, double p, double v, bool wrap, bool horizontal = true) {
        WrapFlipRecord r;
        r.object = s.header();
        r.wrap = wrap;
        r.horizontal = horizontal;
        (horizontal ? r.x : r.y) = p;
        (horizontal ? r.y : r.x) = 100.7;
        (horizontal ? r.velocityX : r.velocityY) = v;
        r.wallA = -40;
        r.wallB = 680;
        return r;
    }
    // Runs the pass as HandleRunObject does; answers its result.
    int16_t pass() { return HandleRunObject(&instance.rd()); }

    test::RecordingDesktop desktop;
    test::Instance instance;
    std::deque<test::Sprite> sprites;
    std::vector<Event> seen;
};

}  // namespace

TEST_F(MotionEngineTest, ForwardWallsWrapOrFlip) {
    test::Sprite& s = sprite(1);
    WrapFlipRecord r = line(s, 679.5, 1.0, true);
    EXPECT_TRUE(crossWall(instance.rd(), r));
    EXPECT_DOUBLE_EQ(r.x, -39.5);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].condition, CND_WALL_RIGHT);
    EXPECT_EQ(seen[0].x, 679);
    EXPECT_EQ(seen[0].y, 100);
    EXPECT_EQ(seen[0].fixed, 65537);
    EXPECT_EQ(seen[1].condition, CND_WALL_LEFT);
    EXPECT_EQ(seen[1].x, -39);

    seen.clear();
    r = line(s, 679.5, 1.5, false);
    EXPECT_TRUE(crossWall(instance.rd(), r));
    EXPECT_DOUBLE_EQ(r.x, 679.5);
    EXPECT_DOUBLE_EQ(r.velocityX, -1.5);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].condition, CND_WALL_RIGHT);
    EXPECT_EQ(seen[0].x, 678);  // one step back: 679.5 - 1.5

    seen.clear();
    r = line(s, 679.0, 1.0, true);  // lands exactly on the wall: inside
    EXPECT_FALSE(crossWall(instance.rd(), r));
    EXPECT_DOUBLE_EQ(r.x, 680.0);
    EXPECT_TRUE(seen.empty());
}

TEST_F(MotionEngineTest, BackwardWrapCarriesTheOvershootFromTheOtherWall) {
    test::Sprite& s = sprite(1);
    WrapFlipRecord r = line(s, -39.5, -1.2, true);
    EXPECT_TRUE(crossWall(instance.rd(), r));
    EXPECT_NEAR(r.x, 679.3, 1e-9);  // inside the walls, not 680.7 beyond them
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].condition, CND_WALL_LEFT);
    EXPECT_EQ(seen[0].x, -39);
    EXPECT_EQ(seen[1].condition, CND_WALL_RIGHT);
    EXPECT_EQ(seen[1].x, 679);

    seen.clear();
    r = line(s, -39.5, -1.2, false);
    EXPECT_TRUE(crossWall(instance.rd(), r));
    EXPECT_DOUBLE_EQ(r.velocityX, 1.2);
    EXPECT_DOUBLE_EQ(r.x, -39.5);
    EXPECT_EQ(seen.back().condition, CND_WALL_LEFT);
    EXPECT_EQ(seen.back().x, -38);

    seen.clear();
    r = line(s, -39.0, -1.0, false);
    EXPECT_FALSE(crossWall(instance.rd(), r));
    EXPECT_DOUBLE_EQ(r.x, -40.0);
}

TEST_F(MotionEngineTest, AVerticalFlipReportsTheOldPlace) {
    test::Sprite& s = sprite(0);  // fixed value 0: the earlier one stays
    instance.rd().eventFixedValue = 42;
    WrapFlipRecord r = line(s, 679.5, 2.0, false, false);
    EXPECT_TRUE(crossWall(instance.rd(), r));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].condition, CND_WALL_BOTTOM);
    EXPECT_EQ(seen[0].x, 100);
    EXPECT_EQ(seen[0].y, 679);  // the old Y, unlike a horizontal flip
    EXPECT_EQ(seen[0].fixed, 42);
}

TEST_F(MotionEngineTest, SpeedZeroBeyondTheSecondWallFlipsEveryPass) {
    test::Sprite& s = sprite(1);
    WrapFlipRecord flip = line(s, 700, 0, false);
    for (int i = 0; i < 3; ++i) crossWall(instance.rd(), flip);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_DOUBLE_EQ(flip.x, 700);
}

// Wraps through the pass, each case on both axes, as a line and as a flat
// sine wave: the object's place on its axis after each frame, and each
// frame's wall events ("B50 A0": the second wall reported at 50, then the
// first at 0). A speed above the walls' distance comes back between them;
// the others carry their overshoot over, also when they start outside.
TEST_F(MotionEngineTest, WrapsComeBackBetweenTheirWalls) {
    struct Case {
        const char* what;
        int32_t start;
        const char16_t* motion;  // speed, first and second wall
        std::vector<int32_t> places;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"forward, faster than the walls' distance", 50, u"+250, 0, 100", {0, 50, 0, 50},
         {"B50 A0", "B0 A50", "B50 A0", "B0 A50"}},
        {"backward, faster than the walls' distance", 50, u"-250, 0, 100", {100, 50, 100, 50},
         {"A50 B100", "A100 B50", "A50 B100", "A100 B50"}},
        {"a huge speed", 50, u"2147483647, 0, 100", {98, 46, 94}, {"B50 A98", "B98 A46", "B46 A94"}},
        // 4e9 apart: more than an int holds. The first two frames land inside.
        {"walls far apart", 0, u"+5000000000, -2000000000, 2000000000", {1000000000, 2000000000, -1000000000},
         {"B0 A1000000000", "B1000000000 A2000000000", "B2000000000 A-1000000000"}},
        {"just below the walls' distance", 50, u"+99, 0, 100", {49, 48, 47}, {"B50 A49", "B49 A48", "B48 A47"}},
        {"forward from outside", 300, u"+1, 0, 100", {201, 102, 3, 4}, {"B300 A201", "B201 A102", "B102 A3", ""}},
        {"backward from outside", -300, u"-1, 0, 100", {-201, -102, -3, 96},
         {"A-300 B-201", "A-201 B-102", "A-102 B-3", "A-3 B96"}},
        {"standing outside", 300, u"0, 0, 100", {200, 100, 100}, {"B300 A200", "B200 A100", ""}},
    };
    struct Registration {
        const char* what;
        int action;
        bool horizontal;
        const char16_t* afterSpeed;  // the values between the speed and the walls
    };
    const Registration registrations[] = {
        {"horizontal wrap", 27, true, u", false"},
        {"vertical wrap", 38, false, u", false"},
        {"horizontal sine-wave wrap", 40, true, u", 0, 0, 0, 0, 0"},  // a flat wave
        {"vertical sine-wave wrap", 42, false, u", 0, 0, 0, 0, 0"},
    };
    for (const Registration& how : registrations) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(how.what) + ", " + c.what);
            registry() = MotionRegistry{};
            seen.clear();
            // Across the axis the object stands at 7.
            test::Sprite& s = how.horizontal ? sprite(1, c.start, 7) : sprite(1, 7, c.start);
            std::u16string text = c.motion;
            text.insert(text.find(u','), how.afterSpeed);
            instance.action(how.action, {s.header(), u"g", text.c_str()});
            ASSERT_EQ(countRegistered(KIND_TOTAL), 1);
            const int first = how.horizontal ? CND_WALL_LEFT : CND_WALL_TOP;
            const int second = how.horizontal ? CND_WALL_RIGHT : CND_WALL_BOTTOM;
            std::vector<int32_t> places;
            std::vector<std::string> events;
            for (size_t frame = 0; frame < c.places.size(); ++frame) {
                seen.clear();
                pass();
                const headerObject& o = *s.header();
                places.push_back(how.horizontal ? o.hoX : o.hoY);
                EXPECT_EQ(how.horizontal ? o.hoY : o.hoX, 7);
                std::string frameEvents;
                for (const Event& e : seen) {
                    if (!frameEvents.empty()) frameEvents += ' ';
                    frameEvents += e.condition == first ? "A" : e.condition == second ? "B" : "?";
                    frameEvents += std::to_string(how.horizontal ? e.x : e.y);
                    if ((how.horizontal ? e.y : e.x) != 7) frameEvents += "(off the axis)";
                }
                events.push_back(frameEvents);
            }
            EXPECT_EQ(places, c.places);
            EXPECT_EQ(events, c.events);
        }
    }
}

TEST_F(MotionEngineTest, SleepCyclesCountTheirFrames) {
    test::Sprite& s = sprite(1);
    // "10, -1, 10": ten asleep frames counting 10 down to 1, then eleven moving.
    SleepBlock sleep{false, true, 10, 10, -1, 0, 10};
    std::string moves;
    for (int frame = 0; frame < 42; ++frame) moves += stepSleep(instance.rd(), *s.header(), sleep) ? 'm' : 's';
    EXPECT_EQ(moves, std::string(10, 's') + std::string(11, 'm') + std::string(10, 's') + std::string(11, 'm'));
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_EQ(instance.rd().eventSleepCount, 1);
    EXPECT_EQ(seen[0].condition, CND_SLEEPING);

    // "10, 2, 5": two sleeps with six moving frames between, then no more.
    sleep = SleepBlock{false, true, 10, 10, 2, 0, 5};
    moves.clear();
    for (int frame = 0; frame < 40; ++frame) moves += stepSleep(instance.rd(), *s.header(), sleep) ? 'm' : 's';
    EXPECT_EQ(moves, std::string(10, 's') + std::string(6, 'm') + std::string(10, 's') + std::string(14, 'm'));
}

TEST_F(MotionEngineTest, TimedNullRecordsGoInThePassAfterTheirCount) {
    test::Sprite& s = sprite(1, 5, 5);
    instance.action(34, {s.header(), u"g", 3});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pass(), 0);
    EXPECT_TRUE(instance.destroyed.empty());
    EXPECT_EQ(pass(), REFLAG_ONESHOT);  // the 4th pass: nothing left to move
    EXPECT_EQ(instance.destroyed, (std::vector<headerObject*>{s.header()}));
    EXPECT_EQ(instance.events, (std::vector<int>{CND_GROUP_REJECTED}));
    EXPECT_FALSE(instance.rd().handleEnabled);
    EXPECT_EQ(s.object.roHo.hoX, 5);

    // A timed record that condition 9 registers while the pass walks the
    // Null queue is counted down by that same walk.
    test::Sprite& late = sprite(3);
    instance.action(34, {sprite(4).header(), u"g", 1});
    instance.onEvent = [&](int) {
        if (instance.events.size() == 2) instance.action(34, {late.header(), u"h", 1});
    };
    pass();
    pass();
    EXPECT_EQ(registry().nulls.back().rejectCountdown, 0);
    pass();
    EXPECT_EQ(instance.destroyed.back(), late.header());
    instance.onEvent = nullptr;

    test::Sprite& plain = sprite(2);
    instance.action(34, {plain.header(), u"g", -5});  // no timer: never expires, no wake
    EXPECT_FALSE(instance.rd().handleEnabled);
    EXPECT_FALSE(registry().nulls.front().rejectArmed);
}

TEST_F(MotionEngineTest, StoppedRecordsStillExpire) {
    test::Sprite& s = sprite(1, 10, 10);
    instance.action(27, {s.header(), u"g", u"+1, true, 0, 100"});
    instance.action(25, {s.header(), 1});
    pass();
    EXPECT_EQ(s.object.roHo.hoX, 10);
    pass();
    EXPECT_EQ(countRegistered(KIND_TOTAL), 0);
    EXPECT_EQ(instance.events, (std::vector<int>{CND_GROUP_REJECTED}));
}

TEST_F(MotionEngineTest, MovingRecordsWriteBackAndObjectsDestroyedByTheGameLeave) {
    test::Sprite& a = sprite(1, 10, 10);
    test::Sprite& b = sprite(2, 10, 10);
    instance.action(27, {a.header(), u"g", u"+1.5, false, 0, 100"});
    instance.action(38, {b.header(), u"h", u"-0.5, false, 0, 100"});
    pass();
    EXPECT_EQ(a.object.roHo.hoX, 11);
    EXPECT_EQ(b.object.roHo.hoY, 9);
    EXPECT_EQ(a.object.roc.rcChanged, 1);
    EXPECT_EQ(instance.redrawn, (std::vector<headerObject*>{a.header(), b.header()}));
    a.object.roHo.hoX = 50;  // the record's own position wins
    b.object.roHo.hoFlags |= HOF_DESTROYED;
    pass();
    EXPECT_EQ(a.object.roHo.hoX, 13);
    EXPECT_EQ(b.object.roHo.hoY, 9);
    EXPECT_EQ(countRegistered(KIND_WRAPFLIP), 1);
    EXPECT_EQ(registry().lastRejectedGroup, u"h");
    EXPECT_TRUE(instance.destroyed.empty());
}

TEST_F(MotionEngineTest, AWallEventCannotRegisterOrReject) {
    test::Sprite& a = sprite(1, 99, 0);
    test::Sprite& other = sprite(2);
    instance.action(27, {a.header(), u"g", u"+1, false, 0, 100"});
    instance.onEvent = [&](int) {
        instance.action(27, {other.header(), u"g", u"+1, false, 0, 100"});
        instance.action(21, {u"g", 0});
    };
    pass();
    pass();
    const test::Box restriction{"NOTIFICATION", "ObjCtrl :: Restriction to terminate"};
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>(4, restriction)));  // two walls met, two refusals each
    EXPECT_EQ(registry().wrapFlips.size(), 1u);
    EXPECT_FALSE(instance.rd().inHandler);
}

// Every way out takes its steps in the same order, the record going last:
// condition 9's events run while the leaving record still stands (expression
// 13 counts it, the debug text lists it) and its group is already gone from
// the table; the records that left before it in the same walk are gone. The
// containers are compacted once no walk is open.
TEST_F(MotionEngineTest, ConditionNineSeesTheLeavingRecordInPlace) {
    struct Case {
        const char* way;
        std::function<void(std::vector<test::Sprite*>&)> reject;  // the group's sprites 1 (Null), 2 and 3
        const char* atConditionNine;  // expression 13, the debug text's lines, the objects destroyed so far
    };
    const Case cases[] = {
        {"by name at once", [&](auto&) { instance.action(22, {u"g", 0}); }, "total 2 ****30003, destroyed 3"},
        {"directly at once",
         [&](auto& g) {
             for (test::Sprite* s : g) instance.action(26, {s->header(), 0});
         },
         "total 2 ****30003, destroyed 2"},
        {"count-down",
         [&](auto&) {
             instance.action(22, {u"g", 1});
             pass();
             pass();
         },
         "total 2 ****30003, destroyed 2"},
        {"destroyed by the game",
         [&](auto& g) {
             for (test::Sprite* s : g) s->object.roHo.hoFlags |= HOF_DESTROYED;
             pass();
         },
         "total 2 ****30003, destroyed 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        registry() = MotionRegistry{};
        instance.destroyed.clear();
        std::vector<test::Sprite*> g = {&sprite(1), &sprite(2), &sprite(3)};
        instance.action(20, {g[0]->header(), u"g"});
        for (int i : {1, 2}) instance.action(27, {g[i]->header(), u"g", u"+1, false, -1000, 1000"});
        instance.action(27, {sprite(4).header(), u"keep", u"+1, false, -1000, 1000"});
        std::vector<std::string> views;
        instance.onEvent = [&](int condition) {
            if (condition != CND_GROUP_REJECTED) return;
            const std::u16string text = instance.textExpression(14, {u""});
            std::string view = "total ";
            view += std::to_string(instance.expression(13, {0}));
            for (const char16_t* line : {u"g                    uID", u"****10001", u"****20002", u"****30003"}) {
                if (text.find(line) == std::u16string::npos) continue;
                view += ' ';
                view.append(line, line + 9);
            }
            view += ", destroyed ";
            view += std::to_string(instance.destroyed.size());
            views.push_back(view);
        };
        c.reject(g);
        EXPECT_EQ(views, (std::vector<std::string>{c.atConditionNine}));
        EXPECT_EQ(instance.expression(13, {0}), 1);
        EXPECT_EQ(registry().nulls.size() + registry().wrapFlips.size(), 1u);
    }
}

// Named: a lambda does not convert to the services' calling convention on
// Windows.
intptr_t WINAPI redrawNothing(headerObject*, uintptr_t, intptr_t) { return 0; }

TEST_F(MotionEngineTest, WaveGrowthEndsWithItsLastRepetition) {
    MotionRegistry& reg = registry();
    reg.groups.push_back(MotionGroup{u"g", 0, {0, 0, 1, 0, 0}});
    SineWaveRecord wave;
    static_cast<WrapFlipRecord&>(wave) = line(sprite(1), 100, 0, false);
    wave.kindIndex = INDEX_SINEWAVE;
    wave.amplitude = 20;
    reg.sineWaves.push_back(wave);
    instance.rd().handleEnabled = true;
    instance.action(48, {u"", u"1,30,10,5,0,0"});  // no repetition: never grows
    for (int i = 0; i < 5; ++i) pass();
    EXPECT_EQ(reg.sineWaves[0].amplitude, 20);
    instance.action(48, {u"", u"1,30,10,5,0,1"});  // up to 30 once, then held there
    for (int i = 0; i < 20; ++i) pass();
    EXPECT_EQ(reg.sineWaves[0].amplitude, 30);
}

TEST_F(MotionEngineTest, ThePassAllocatesNothing) {
    std::deque<test::Sprite> many;
    MotionRegistry& reg = registry();
    reg.groups.push_back(MotionGroup{u"g", 0, {0, 10000, 2000, 2000, 0}});
    for (int i = 0; i < 14000; ++i) {
        test::Sprite& s = many.emplace_back(OBJ_SPR, static_cast<int16_t>(i % 30000), i, i);
        WrapFlipRecord r = line(s, i % 600, 0.75, i % 2 == 0);
        r.wallA = -1000000;
        r.wallB = 1000000;
        if (i < 10000) {
            reg.wrapFlips.push_back(r);
        } else if (i < 12000) {
            SineWaveRecord wave;
            static_cast<WrapFlipRecord&>(wave) = r;
            wave.kindIndex = INDEX_SINEWAVE;
            wave.amplitude = 20;
            wave.omega = 3;
            reg.sineWaves.push_back(wave);
        } else {
            OrbitalRecord orbit;
            orbit.object = s.header();
            orbit.kindIndex = INDEX_ORBITAL;
            orbit.radiusX = orbit.radiusY = 30;
            orbit.omega = 1.5;
            orbit.centreObject = many.front().header();
            orbit.centreMode = SUB_ORBIT_TARGET;
            reg.orbitals.push_back(orbit);
        }
    }
    // A host whose redraw keeps no list of its own.
    instance.runHeader.rh4.rh4KpxFunctions[RFUNCTION_REDRAW] = redrawNothing;
    instance.rd().handleEnabled = true;
    allocations = 0;
    counting = true;
    for (int i = 0; i < 100; ++i) pass();
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(many[3].object.roHo.hoX, 3 + 75);
    EXPECT_TRUE(seen.empty());
}
