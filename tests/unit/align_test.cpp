// Alignment: the placement arithmetic at its limits, and what placing does to
// a host object (the scenarios in tests/e2e show where things go).
#include <gtest/gtest.h>

#include <climits>

#include "align/layout.h"
#include "align/state.h"
#include "fake_host.h"

using namespace trivu;

namespace {

// A sprite with alterable values, as the host's Active objects have them.
struct Piece : test::Sprite {
    Piece(int32_t width, int32_t height) {
        object.roHo.hoImgWidth = width;
        object.roHo.hoImgHeight = height;
        object.rov.rvpValues = values;
    }
    Spot spot() const { return {object.roHo.hoX, object.roHo.hoY}; }
    int32_t frame() const { return object.roa.raAnimFrameForced - 1; }
    int32_t a() const { return values[0].m_type == TYPE_LONG ? values[0].m_long : -99; }
    CValue values[VALUES_NUMBEROF_ALTERABLE]{};
};

class AlignTest : public ::testing::Test {
protected:
    void SetUp() override { alignState() = AlignState{}; }
    void TearDown() override { alignState() = AlignState{}; }

    // Runs `code` for each piece in turn, as the host's action loop does:
    // the first call gets `params`, the later ones only the object.
    void run(int code, std::vector<Piece>& pieces, std::vector<test::Param> params) {
        for (size_t k = 0; k < pieces.size(); ++k) {
            instance.runHeader.rh2.rh2ActionLoopCount = static_cast<int32_t>(k);
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
