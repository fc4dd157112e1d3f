// The geometry of the sine-wave and orbital motions: the grow step, both
// angle folds, the orbits' start angles and their snap at the sleep point,
// and the rest points an orbit reaches through the pass.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "fake_host.h"
#include "host/catalogue.h"
#include "objctrl/engine.h"

using namespace trivu;

namespace {

GrowAxis axis(double max, double min, double delta, int32_t pause, int32_t repetitions) {
    GrowAxis g;
    g.max = max;
    g.min = min;
    g.delta = delta;
    g.pauseLeft = g.pauseLength = pause;
    g.repetitions = repetitions;
    return g;
}

}  // namespace

TEST(GrowStep, HoldsEachBoundForTheHitFrameAndThePause) {
    double r = 50;
    GrowAxis g = axis(150, 0, 1.0, 60, -1);
    std::vector<double> seen;
    for (int frame = 0; frame < 400; ++frame) {
        growStep(r, g);
        seen.push_back(r);
    }
    EXPECT_EQ(seen[99], 150);   // 100 frames up
    EXPECT_EQ(seen[161], 150);  // held for 62 more
    EXPECT_EQ(seen[162], 149);
    EXPECT_EQ(seen[311], 0);  // 150 frames down
    EXPECT_EQ(seen[373], 0);
    EXPECT_EQ(seen[374], 1);
    EXPECT_EQ(g.repetitions, -1);
}

TEST(GrowStep, CountsRepetitionsAndOvershootsByLessThanAStep) {
    double r = 149.5;
    GrowAxis g = axis(150, 0, 1.0, 0, 1);
    growStep(r, g);
    EXPECT_EQ(r, 150.5);  // the bound is tested before the step
    growStep(r, g);
    EXPECT_EQ(r, 150);
    EXPECT_EQ(g.repetitions, 0);
    EXPECT_TRUE(g.pausing);
    EXPECT_EQ(g.delta, -1.0);

    // Without repetitions left a bound turns the value without a pause.
    r = 0;
    g = axis(10, 0, -2.0, 5, 0);
    growStep(r, g);
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(g.pausing);
    growStep(r, g);
    EXPECT_EQ(r, 2);

    // A delta of 0 never reaches a bound by itself.
    r = 5;
    g = axis(10, 0, 0, 5, 3);
    for (int i = 0; i < 50; ++i) growStep(r, g);
    EXPECT_EQ(r, 5);
    EXPECT_EQ(g.repetitions, 3);
}

TEST(AngleFolds, WavesKeepTheStepsSignAndOrbitsStayInOneTurn) {
    EXPECT_EQ(foldWaveAngle(365, 10), 5);
    EXPECT_EQ(foldWaveAngle(-365, -10), -5);
    EXPECT_EQ(foldWaveAngle(-390, 10), 30);
    EXPECT_EQ(foldWaveAngle(360, 10), 360);  // exactly one turn stays
    EXPECT_EQ(foldWaveAngle(-360, -1), -360);
    EXPECT_EQ(foldOrbitAngle(-1), 359);
    EXPECT_EQ(foldOrbitAngle(360), 0);
    EXPECT_EQ(foldOrbitAngle(725.5), 5.5);
}

TEST(OrbitStart, StaggersAndFoldsIntoATurn) {
    EXPECT_EQ(orbitStartAngle(0, 0, -72), 360);
    EXPECT_EQ(orbitStartAngle(1, 0, -72), 288);
    EXPECT_EQ(orbitStartAngle(0, 400, 0), 40);
    EXPECT_EQ(orbitStartAngle(0, -400, 0), 320);
    EXPECT_EQ(orbitStartAngle(4, 0, 72), 288);
    EXPECT_EQ(orbitStartAngle(0, 0, 72), 0);
}

TEST(OrbitSnap, TakesBackTheLastStepsOvershoot) {
    EXPECT_EQ(snapToSleepPoint(74, 2, -1), 72);
    EXPECT_EQ(snapToSleepPoint(-74 + 360, -2, -1), 288);
    EXPECT_EQ(snapToSleepPoint(1, 1, -1), 0);  // a rest every 0 degrees leaves -1: a speed of 1 holds still
    EXPECT_NEAR(snapToSleepPoint(72.1, 0.7, -0.4), 73, 1e-12);  // ceil(72.5)
    EXPECT_EQ(snapToSleepPoint(287.9, -0.7, -0.4), 288);      // floor(288.3)
}

namespace {

class OrbitPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        instance.onEvent = [this](int condition) {
            if (condition != CND_SLEEPING || instance.rd().eventSleepCount != 1) return;
            rests.push_back(instance.rd().eventAngle);
            answers.push_back(std::to_string(instance.expression(19, {0})) + " " +
                              std::to_string(instance.expression(19, {1})));
        };
    }
    void orbit(const char16_t* params) {
        instance.action(44, {star.header(), u"ring", params});
        for (int i = 0; i < 400; ++i) HandleRunObject(&instance.rd());
    }
    test::RecordingDesktop desktop;
    test::Instance instance;
    test::Sprite star{OBJ_SPR, 1, 100, 100};
    std::vector<double> rests;  // the angle of each rest, seen on its last frame
    std::vector<std::string> answers;  // expression 19 then, in degrees and in directions
};

}  // namespace

TEST_F(OrbitPassTest, RestsEveryRotationFromTheStart) {
    orbit(u"50,50, +2, false, 0, 72, 0, 0, true, 3, -1, 72");
    ASSERT_GE(rests.size(), 3u);
    EXPECT_EQ(rests[0], 0);
    EXPECT_EQ(rests[1], 72);
    EXPECT_EQ(rests[2], 144);
}

TEST_F(OrbitPassTest, AnAwakeStartRestsOneStepShort) {
    orbit(u"50,50, +2, false, 0, 72, 0, 0, false, 3, -1, 72");
    ASSERT_GE(rests.size(), 2u);
    EXPECT_EQ(rests[0], 70);
    EXPECT_EQ(rests[1], 142);
}

TEST_F(OrbitPassTest, SlowOrbitsRoundTheirRestPoints) {
    orbit(u"50,50, +0.7, false, 0, 72, 0, 0, true, 3, -1, 72");
    ASSERT_GE(rests.size(), 2u);
    EXPECT_EQ(rests[0], 0);
    EXPECT_EQ(rests[1], 73);
}

// The record's angle at a rest may lie outside a turn; expression 19 answers
// it within one.
TEST_F(OrbitPassTest, RestAnglesAreAnsweredWithinATurn) {
    const struct {
        const char* what;
        const char16_t* params;
        std::vector<std::string> answers;  // of the first rests
    } cases[] = {
        // The star of the ring example that starts at 180 degrees: its
        // second rest is at -2.
        {"the ring's rest point", u"60,40, +2.0, false,180,0,0,0,false,20,-1,90", {"268 23", "358 31"}},
        {"a start angle of 360", u"50,50, +2, false, 360, 0, 0, 0, true, 3, -1, 72", {"0 0", "72 6"}},
        // A non-integer negative speed: the turn's last rest comes at 360,
        // or at 361.2 for an orbit that starts awake.
        {"-1.2 degrees a frame, resting at the start", u"50,50, -1.2, false, 0, 0, 0, 0, true, 3, -1, 72",
         {"0 0", "288 25", "216 19", "144 12", "72 6", "0 0"}},
        {"-1.2 degrees a frame, awake at the start", u"50,50, -1.2, false, 0, 0, 0, 0, false, 3, -1, 72",
         {"289 25", "217 19", "145 12", "73 6", "1 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry() = MotionRegistry{};
        rests.clear();
        answers.clear();
        orbit(c.params);
        ASSERT_GE(answers.size(), c.answers.size());
        answers.resize(c.answers.size());
        EXPECT_EQ(answers, c.answers);
    }
}
