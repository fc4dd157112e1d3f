// Alignment: the placement arithmetic on its own, then the actions through
// the fake host, one call per selected instance as the host makes them.
#include <gtest/gtest.h>

#include <climits>

#include "align/layout.h"
#include "align/state.h"
#include "common/notifier.h"
#include "fake_host.h"

using namespace trivu;

namespace {

const test::Box kInvalidBox{"ObjectAlign :: Notification", "Empty MatchParams... Invalid Parameter Format"};
const test::Box kNotSpriteBox{"ObjectAlign :: Notification",
                              "Selected Object is Not the Sprite. || That Instance already had Destoryed."};

// A sprite with alterable values, as the host's Active objects have them.
struct Piece : test::Sprite {
    Piece(int32_t width, int32_t height) {
        object.rHo.hoImgWidth = width;
        object.rHo.hoImgHeight = height;
        object.rov.rvpValues = values;
        object.rov.rvNumberOfValues = 2;
    }
    Spot spot() const { return {object.rHo.hoX, object.rHo.hoY}; }
    int32_t frame() const { return object.roa.raAnimFrameForced - 1; }
    int32_t a() const { return values[0].type == VALUE_INT ? values[0].l : -99; }
    AltValue values[2]{};
};

class AlignTest : public ::testing::Test {
protected:
    void SetUp() override { resetAlignState(); }
    void TearDown() override { resetAlignState(); }

    // Runs `code` for each piece in turn, as the host's action loop does:
    // the first call gets `params`, the later ones only the object.
    void run(int code, std::vector<Piece>& pieces, std::vector<test::Param> params) {
        for (size_t k = 0; k < pieces.size(); ++k) {
            instance.runHeader.rh2ActionLoopCount = static_cast<int32_t>(k);
            std::vector<test::Param> call{pieces[k].header()};
            if (k == 0) call.insert(call.end(), params.begin(), params.end());
            instance.action(code, call);
        }
    }

    std::vector<Spot> spots(const std::vector<Piece>& pieces) {
        std::vector<Spot> out;
        for (const Piece& p : pieces) out.push_back(p.spot());
        return out;
    }
    std::vector<int32_t> frames(const std::vector<Piece>& pieces) {
        std::vector<int32_t> out;
        for (const Piece& p : pieces) out.push_back(p.frame());
        return out;
    }

    test::RecordingDesktop desktop;
    test::Instance instance;
};

std::vector<Piece> pieces(std::initializer_list<std::pair<int32_t, int32_t>> sizes) {
    std::vector<Piece> out;
    out.reserve(sizes.size());
    for (auto [w, h] : sizes) out.emplace_back(w, h);
    return out;
}

}  // namespace

TEST(AlignLayout, GridCellsTruncateTowardZeroAndPositionsWrapInsteadOfOverflowing) {
    GridLayout grid{100, 100, 4, 10, 10, true};
    EXPECT_EQ(gridSpot(grid, 0, 32, 32), (Spot{100, 100}));
    EXPECT_EQ(gridSpot(grid, 5, 32, 32), (Spot{142, 142}));
    // Negative columns: the remainder keeps the sign of k, rows go upwards.
    GridLayout upward{0, 0, -2, 0, 0, false};
    EXPECT_EQ(gridSpot(upward, 3, 10, 10), (Spot{10, -10}));
    // INT_MAX + 2 * (INT_MAX + INT_MAX), modulo 2^32.
    GridLayout huge{INT_MAX, INT_MIN, 3, INT_MAX, 0, false};
    EXPECT_EQ(gridSpot(huge, 2, INT_MAX, 0), (Spot{INT_MAX - 4, INT_MIN}));
    EXPECT_EQ(advanced(INT_MIN, INT_MAX, 1, false), 0);
    EXPECT_EQ(advanced(INT_MAX, 1, 0, true), INT_MIN);
    EXPECT_EQ(shifted(10, -25), -15);
}

TEST(AlignLayout, ValuesAreTakenOnlyInTheirFormatsCount) {
    EXPECT_FALSE(lineLayout({1, 2, 3}));
    EXPECT_FALSE(gridLayout({1, 2, 3, 4}));
    auto line = lineLayout({1, 2, 3, 2});
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->forceFrame);  // only 1 forces the frame
    EXPECT_TRUE(lineLayout({1, 2, 3, 1})->forceFrame);
}

TEST_F(AlignTest, GridPlacesMovesRedrawsAndAnimatesEachInstance) {
    auto grid = pieces({{32, 32}, {32, 32}, {32, 32}, {32, 32}, {32, 32}, {32, 32}});
    run(7, grid, {u"100, 100, 4, 10, 10, true"});
    EXPECT_EQ(spots(grid),
              (std::vector<Spot>{{100, 100}, {142, 100}, {184, 100}, {226, 100}, {100, 142}, {142, 142}}));
    EXPECT_EQ(frames(grid), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(grid[k].a(), k);
        EXPECT_EQ(grid[k].object.roc.rcChanged, 1);
        EXPECT_EQ(instance.redrawn.at(k), grid[k].header());
    }
    // The routine saw the frame already in place.
    EXPECT_EQ(instance.animated, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(AlignTest, GridWithoutColumnsIsRefusedLikeAMalformedText) {
    auto grid = pieces({{8, 8}, {8, 8}});
    run(7, grid, {u"5, 5, 0, 1, 1, true"});
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kInvalidBox}));
    EXPECT_EQ(spots(grid), (std::vector<Spot>{{0, 0}, {0, 0}}));
    EXPECT_TRUE(instance.redrawn.empty());
    EXPECT_FALSE(alignState().ok);
}

TEST_F(AlignTest, RowsAdvanceByEachInstancesOwnWidth) {
    auto row = pieces({{20, 5}, {30, 5}, {40, 5}});
    run(13, row, {u"100, 150, +10 , true"});
    EXPECT_EQ(spots(row), (std::vector<Spot>{{100, 150}, {130, 150}, {170, 150}}));
    EXPECT_EQ(alignState().runX, 120);  // past the last one too
    run(14, row, {u"100, 0, 0, false", u"7"});
    EXPECT_EQ(spots(row), (std::vector<Spot>{{100, 0}, {80, 0}, {50, 0}}));
    EXPECT_EQ(frames(row), (std::vector<int32_t>{0, 1, 2}));  // not forced this time: kept
}

TEST_F(AlignTest, RightToLeftRowShowsTheNumberAsGlyphs) {
    std::vector<Piece> row;
    row.reserve(12);
    for (int i = 0; i < 12; ++i) row.emplace_back(16, 16);
    run(14, row, {u"100, 0, 0, true", u"+0100.0090"});
    EXPECT_EQ(frames(row), (std::vector<int32_t>{0, 9, 0, 0, 12, 0, 0, 1, 0, 11, 15, 15}));
    EXPECT_EQ(row[1].spot(), (Spot{84, 0}));
    EXPECT_EQ(row[11].spot(), (Spot{-76, 0}));
    EXPECT_EQ(alignState().number, u"0900.0010+");
}

TEST_F(AlignTest, ANumberTextThatIsNotANumberPlacesNothing) {
    auto row = pieces({{16, 16}, {16, 16}, {16, 16}});
    run(14, row, {u"9, 9, 0, true", u"1e5"});
    EXPECT_EQ(frames(row), (std::vector<int32_t>{5, 13, 1}));
    for (Piece& p : row) p.object.rHo.hoX = p.object.rHo.hoY = 0;
    run(14, row, {u"50, 50, 0, true", u"12a"});
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kInvalidBox}));
    EXPECT_EQ(spots(row), (std::vector<Spot>{{0, 0}, {0, 0}, {0, 0}}));
    EXPECT_FALSE(alignState().ok);
}

TEST_F(AlignTest, ColumnsRunDownOrUpByEachInstancesHeight) {
    auto column = pieces({{5, 50}, {5, 50}, {5, 20}});
    run(17, column, {u"100, 500, 4, false"});
    EXPECT_EQ(spots(column), (std::vector<Spot>{{100, 500}, {100, 446}, {100, 392}}));
    EXPECT_TRUE(instance.animated.empty());
    EXPECT_EQ(frames(column), (std::vector<int32_t>{-1, -1, -1}));
    run(16, column, {u"0, 10, -10, true"});
    EXPECT_EQ(spots(column), (std::vector<Spot>{{0, 10}, {0, 50}, {0, 90}}));
}

TEST_F(AlignTest, ADestroyedLaterInstanceIsSkippedWithoutAdvancing) {
    auto row = pieces({{10, 10}, {10, 10}, {10, 10}});
    row[1].object.rHo.hoFlags |= HOF_DESTROYED;
    row[1].object.rHo.hoX = 77;
    run(13, row, {u"0, 0, 0, false"});
    EXPECT_EQ(spots(row), (std::vector<Spot>{{0, 0}, {77, 0}, {10, 0}}));
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kNotSpriteBox}));
}

TEST_F(AlignTest, AnUnusableFirstInstanceStopsTheActionAfterOneThatSucceeded) {
    auto row = pieces({{10, 10}, {10, 10}});
    run(13, row, {u"0, 0, 0, false"});
    ASSERT_TRUE(alignState().ok);
    row[0].object.rHo.hoType = 7;
    row[1].object.rHo.hoX = 55;
    run(16, row, {u"0, 0, 0, false"});
    EXPECT_EQ(row[1].spot(), (Spot{55, 0}));
    EXPECT_FALSE(alignState().ok);
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kNotSpriteBox}));
}

TEST_F(AlignTest, AMalformedFirstTextStopsTheActionAfterOneThatSucceeded) {
    auto row = pieces({{10, 10}, {10, 10}});
    run(16, row, {u"0, 0, 0, false"});
    row[1].object.rHo.hoY = 55;
    run(17, row, {u"0, 0, 0, True"});
    EXPECT_EQ(row[1].spot(), (Spot{0, 55}));
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{kInvalidBox}));
}
