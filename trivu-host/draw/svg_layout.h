// What the parts of the `--svg` drawing share, inside the stand-in only: the
// marks the controllers leave beside the events' conditions, the reading of
// a path (its stretches between jumps, its events merged into spots and
// given to an instance), the panel's frame with the walls it takes in, and
// the placement of labels that keep clear of each other. record/recorder.cpp gathers,
// svg_layout.cpp reads and lays out, svg.cpp writes the document.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "trivu-host/record/marks.h"
#include "trivu-host/record/recorder.h"

namespace standin::layout {

using Point = Recorder::Point;
using Path = Recorder::Path;
using Panel = Recorder::Panel;

using namespace marks;

// ---- Reading a path ----------------------------------------------------------------

// Far-off positions are pulled in, so that squared distances fit.
int64_t clampCoordinate(int64_t v);
int64_t isqrt(int64_t v);
int64_t squaredDistance(int64_t ax, int64_t ay, int64_t bx, int64_t by);
int64_t distance(int64_t ax, int64_t ay, int64_t bx, int64_t by);
// The length of the step that reached point k (k >= 1).
int64_t stepLength(const Path& p, size_t k);

struct Stretch {
    size_t begin, end;  // [begin, end) of the path's points
};

// The unbroken runs of a path, split before each jump.
std::vector<Stretch> stretches(const Path& p);

// One mark drawn for the events of one instance close to each other.
struct Spot {
    int path;  // the instance's index in the panel, -1 when none was near
    int kind;
    int32_t x, y;
    int count;
};

// The instance each of the panel's marks belongs to: the one it names, or
// for one that names none the instance that stood nearest it (by the larger
// of the two distances) in its tick or the one before, the first instance
// on a tie; -1 when none was there. In one sweep of the ticks, whatever the
// number of marks and instances.
std::vector<int> owners(const Panel& p);

// The panel's marks, each given to its instance and merged with the ones
// it made in the same place.
std::vector<Spot> spots(const Panel& p);

// ---- Layout ------------------------------------------------------------------------

struct Box {
    int64_t minX = std::numeric_limits<int64_t>::max(), minY = std::numeric_limits<int64_t>::max();
    int64_t maxX = std::numeric_limits<int64_t>::min(), maxY = std::numeric_limits<int64_t>::min();
    bool empty() const { return minX > maxX; }
    void add(int64_t x, int64_t y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    void settle() {
        if (empty()) minX = maxX = minY = maxY = 0;
    }
};

// Each group's extent: where its instances went.
std::vector<Box> groupExtents(const Panel& p);

// A wall near its group's paths is drawn as a line; a far one as an arrow
// at the panel's edge.
bool isNear(const Recorder::Wall& w, const Box& paths);

// The panel spans the paths, the centres and the events, and the walls
// near them.
Box frameOf(const Panel& p, const std::vector<Spot>& marks, const std::vector<Box>& extents);

struct Rect {
    int64_t x0, y0, x1, y1;
    void add(const Rect& r) {
        x0 = std::min(x0, r.x0);
        y0 = std::min(y0, r.y0);
        x1 = std::max(x1, r.x1);
        y1 = std::max(y1, r.y1);
    }
};

// The square of `side` pixels a coordinate falls in, counted from 0 both
// ways (-1 holds -side to -1).
inline int64_t squareOf(int64_t v, int64_t side) { return v >= 0 ? v / side : -((-v + side - 1) / side); }

// Indices of things filed by the squares of `side` pixels they touch, so
// that what lies near a place is looked for among its neighbours only.
class SquareIndex {
public:
    explicit SquareIndex(int64_t side) : side_(side) {}
    // Files `index` in each square the rectangle touches, its edges included.
    void file(const Rect& r, uint32_t index) {
        eachSquare(r, [&](const Square& s) { filed_[s].push_back(index); });
    }
    // Visits each index filed in a square the rectangle touches (one filed
    // in several of them, once for each).
    template <typename Visit>
    void near(const Rect& r, Visit visit) const {
        eachSquare(r, [&](const Square& s) {
            if (const auto found = filed_.find(s); found != filed_.end())
                for (uint32_t index : found->second) visit(index);
        });
    }

private:
    struct Square {
        int64_t x, y;
        bool operator==(const Square&) const = default;
    };
    struct SquareHash {
        size_t operator()(const Square& s) const {
            return std::hash<uint64_t>()(static_cast<uint64_t>(s.x) * 1000003 + static_cast<uint64_t>(s.y));
        }
    };
    template <typename Each>
    void eachSquare(const Rect& r, Each each) const {
        for (int64_t y = squareOf(r.y0, side_); y <= squareOf(r.y1, side_); ++y)
            for (int64_t x = squareOf(r.x0, side_); x <= squareOf(r.x1, side_); ++x) each(Square{x, y});
    }

    int64_t side_;
    std::unordered_map<Square, std::vector<uint32_t>, SquareHash> filed_;
};

// Places small labels beside the points they name, trying a few places
// around each and then further out, so that no label covers another or a
// mark. What is taken is also filed by the squares of kCell pixels it
// touches, so that a place is tried against its neighbours only.
class Labels {
public:
    struct Placed {
        int64_t x, y;  // the text's baseline start
    };
    static int64_t widthOf(const std::string& text);
    void block(int64_t x, int64_t y, int64_t r) { file({x - r, y - r, x + r, y + r}); }
    enum Side { RIGHT_FIRST, LEFT_FIRST, LEFT_ONLY };
    Placed place(const std::string& text, int64_t x, int64_t y, Side side = RIGHT_FIRST);
    // Everything placed, for the panel to take in.
    void extend(Rect& area) const {
        for (size_t i = blocks_; i < taken_.size(); ++i) area.add(taken_[i]);
    }
    void endBlocks() { blocks_ = taken_.size(); }

private:
    static constexpr int64_t kCell = 64;
    bool free(Placed at, int64_t w, int64_t h) const;
    Placed take(Placed at, int64_t w, int64_t h);
    void file(const Rect& r);

    std::vector<Rect> taken_;
    SquareIndex bySquare_{kCell};  // indices into taken_
    size_t blocks_ = 0;  // the first ones are marks, not labels
};

}  // namespace standin::layout
