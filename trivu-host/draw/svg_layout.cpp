// The reading and the layout of the `--svg` drawing: where a path breaks
// (a jump, told from the instance's own usual step), which instance each
// wall or sleep event belongs to and how the events of one instance in one
// place merge into a single mark, the frame a panel needs to take in its
// paths, centres, events and near walls, and the placement of labels so
// that none covers another or a mark. Nothing here writes SVG.
#include "trivu-host/draw/svg_layout.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_map>

namespace standin::layout {
namespace {

constexpr int32_t kMergeRadius = 3;  // the events of one instance this close are one mark
constexpr int32_t kNearWall = 40;    // a wall this close to the paths is drawn in the panel

// Whether the instance reached point k by a jump rather than by moving: the
// game set it there, or the step is far longer than the instance's usual
// one (four times the median of its moving steps, and at least 16 pixels).
// A wrap, a re-centred orbit, or the motion taking back a place the game
// set are all many steps long at once. The steps to and from a place the
// game set say nothing of the motion's own pace and are left out of it.
// Steps are compared by their squares: a length is the whole root of its
// square, which keeps their order, so the median length is the root of the
// median square, and a step is longer than L when its square reaches
// (L + 1)^2.
std::vector<bool> jumps(const Path& p) {
    const size_t n = p.points.size();
    std::vector<bool> out(n, false);
    if (n == 0) return out;
    std::vector<int64_t> squares(n, 0), moving;
    Point previous = p.points[0];
    for (size_t k = 1; k < n; ++k) {
        const Point at = p.points[k];
        squares[k] = squaredDistance(previous.x, previous.y, at.x, at.y);
        if (squares[k] > 0 && !at.placed && !previous.placed) moving.push_back(squares[k]);
        out[k] = at.placed;
        previous = at;
    }
    int64_t usual = 0;
    if (!moving.empty()) {
        const auto middle = moving.begin() + static_cast<std::ptrdiff_t>(moving.size() / 2);
        std::nth_element(moving.begin(), middle, moving.end());
        usual = isqrt(*middle);
    }
    const int64_t limit = std::max<int64_t>(16, 4 * usual);
    // No square of two pulled-in positions reaches past a limit this long.
    const int64_t longer = limit >= 3037000499 ? std::numeric_limits<int64_t>::max() : (limit + 1) * (limit + 1);
    for (size_t k = 1; k < n; ++k) out[k] = out[k] || squares[k] >= longer;
    return out;
}

}  // namespace

// ---- Reading a path ----------------------------------------------------------------

int64_t clampCoordinate(int64_t v) { return std::clamp<int64_t>(v, -(int64_t{1} << 29), int64_t{1} << 29); }

int64_t isqrt(int64_t v) {
    if (v <= 0) return 0;
    auto r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
    while (r * r > v) --r;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

int64_t squaredDistance(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    const int64_t dx = clampCoordinate(bx) - clampCoordinate(ax), dy = clampCoordinate(by) - clampCoordinate(ay);
    return dx * dx + dy * dy;
}

int64_t distance(int64_t ax, int64_t ay, int64_t bx, int64_t by) { return isqrt(squaredDistance(ax, ay, bx, by)); }

int64_t stepLength(const Path& p, size_t k) {
    return distance(p.points[k - 1].x, p.points[k - 1].y, p.points[k].x, p.points[k].y);
}

// The unbroken runs of a path, split before each jump.
std::vector<Stretch> stretches(const Path& p) {
    std::vector<Stretch> out;
    if (p.points.empty()) return out;
    const std::vector<bool> jumped = jumps(p);
    size_t begin = 0;
    for (size_t k = 1; k < p.points.size(); ++k) {
        if (!jumped[k]) continue;
        out.push_back({begin, k});
        begin = k;
    }
    out.push_back({begin, p.points.size()});
    return out;
}

namespace {

struct Candidate {
    int32_t x, y;
    int path;
};

// The nearest of the candidates to (x, y), by the larger of the two
// distances, the lowest path on a tie; -1 when there is none.
int nearest(const std::vector<Candidate>& candidates, int64_t x, int64_t y) {
    int best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const Candidate& c : candidates) {
        const int64_t d = std::max(std::llabs(c.x - x), std::llabs(c.y - y));
        if (d < bestDistance || (d == bestDistance && c.path < best)) {
            bestDistance = d;
            best = c.path;
        }
    }
    return best;
}

// The candidates of one tick filed by squares of kSquare pixels, for many
// marks at once: a candidate within kSquare of a mark lies in a square that
// the mark's reach touches, and one outside them is further away.
class NearestBySquare {
public:
    explicit NearestBySquare(const std::vector<Candidate>& candidates) : all_(candidates) {
        for (size_t i = 0; i < all_.size(); ++i)
            filed_.file({all_[i].x, all_[i].y, all_[i].x, all_[i].y}, static_cast<uint32_t>(i));
    }
    int of(int64_t x, int64_t y) const {
        int best = -1;
        int64_t bestDistance = std::numeric_limits<int64_t>::max();
        filed_.near({x - kSquare, y - kSquare, x + kSquare, y + kSquare}, [&](uint32_t i) {
            const Candidate& c = all_[i];
            const int64_t d = std::max(std::llabs(c.x - x), std::llabs(c.y - y));
            if (d < bestDistance || (d == bestDistance && c.path < best)) {
                bestDistance = d;
                best = c.path;
            }
        });
        return bestDistance <= kSquare ? best : nearest(all_, x, y);
    }

private:
    static constexpr int64_t kSquare = 64;
    const std::vector<Candidate>& all_;
    SquareIndex filed_{kSquare};
};

}  // namespace

// Whose event it is: the events carry no instance, so it goes to the one
// that stood nearest just before or after it (a wrap reports where the
// object was and where it lands). The first path wins a tie. The ticks with
// marks that name no instance are taken in order; the paths that stand in
// such a tick or the one before are kept at hand as the sweep goes (each
// path joins once and leaves once), so that every tick looks only at the
// instances present.
std::vector<int> owners(const Panel& p) {
    std::vector<int> out(p.marks.size(), -1);
    std::vector<size_t> open;
    for (size_t m = 0; m < p.marks.size(); ++m) {
        if (p.marks[m].owner >= 0)
            out[m] = p.marks[m].owner;
        else
            open.push_back(m);
    }
    std::stable_sort(open.begin(), open.end(), [&](size_t a, size_t b) { return p.marks[a].tick < p.marks[b].tick; });
    std::vector<size_t> byStart;
    for (size_t i = 0; i < p.paths.size(); ++i)
        if (!p.paths[i].points.empty()) byStart.push_back(i);
    std::stable_sort(byStart.begin(), byStart.end(),
                     [&](size_t a, size_t b) { return p.paths[a].points.firstTick() < p.paths[b].points.firstTick(); });
    std::vector<size_t> present;
    std::vector<Candidate> candidates;
    size_t joined = 0;
    for (size_t first = 0; first < open.size();) {
        const int64_t tick = p.marks[open[first]].tick;
        size_t end = first;
        while (end < open.size() && p.marks[open[end]].tick == tick) ++end;
        while (joined < byStart.size() && p.paths[byStart[joined]].points.firstTick() <= tick)
            present.push_back(byStart[joined++]);
        std::erase_if(present, [&](size_t i) { return p.paths[i].points.back().tick < tick - 1; });
        candidates.clear();
        for (size_t i : present)
            for (const int64_t t : {tick - 1, tick})
                if (const size_t k = p.paths[i].points.indexOf(t); k < p.paths[i].points.size()) {
                    const Point at = p.paths[i].points[k];
                    candidates.push_back({at.x, at.y, static_cast<int>(i)});
                }
        // A few marks look at every candidate (the cost of gathering them);
        // more file them by square first.
        const size_t marks = end - first;
        if (marks <= 16) {
            for (size_t m = first; m < end; ++m) out[open[m]] = nearest(candidates, p.marks[open[m]].x, p.marks[open[m]].y);
        } else {
            const NearestBySquare squares(candidates);
            for (size_t m = first; m < end; ++m) out[open[m]] = squares.of(p.marks[open[m]].x, p.marks[open[m]].y);
        }
        first = end;
    }
    return out;
}

// Events of one instance and kind within kMergeRadius of each other are one
// spot, the newest first: a sleeping instance adds to the mark it made last.
// Two spots of one instance and kind never share a square of kMergeRadius + 1
// pixels (they would have merged), so a mark looks for its spot in its square
// and the eight around it.
std::vector<Spot> spots(const Panel& p) {
    struct Square {
        int path, kind;
        int64_t x, y;
        bool operator==(const Square&) const = default;
    };
    struct SquareHash {
        size_t operator()(const Square& s) const {
            const auto u = [](int64_t v) { return static_cast<uint64_t>(v); };
            return std::hash<uint64_t>()(((u(s.x) * 1000003 + u(s.y)) * 31 + u(s.kind)) * 131 + u(s.path));
        }
    };
    constexpr int64_t side = kMergeRadius + 1;
    std::unordered_map<Square, size_t, SquareHash> filed;
    std::vector<Spot> out;
    const std::vector<int> owner = owners(p);
    for (size_t i = 0; i < p.marks.size(); ++i) {
        const Recorder::Mark& m = p.marks[i];
        const int64_t sx = squareOf(m.x, side), sy = squareOf(m.y, side);
        size_t newest = out.size();
        for (int64_t dy = -1; dy <= 1; ++dy)
            for (int64_t dx = -1; dx <= 1; ++dx) {
                const auto found = filed.find({owner[i], m.kind, sx + dx, sy + dy});
                if (found == filed.end()) continue;
                const Spot& s = out[found->second];
                if (std::llabs(int64_t{s.x} - m.x) <= kMergeRadius && std::llabs(int64_t{s.y} - m.y) <= kMergeRadius &&
                    (newest == out.size() || found->second > newest))
                    newest = found->second;
            }
        if (newest < out.size()) {
            ++out[newest].count;
        } else {
            filed[{owner[i], m.kind, sx, sy}] = out.size();
            out.push_back({owner[i], m.kind, m.x, m.y, 1});
        }
    }
    return out;
}

// ---- Layout ------------------------------------------------------------------------

std::vector<Box> groupExtents(const Panel& p) {
    std::vector<Box> out(p.groups.size());
    for (const Path& path : p.paths)
        if (path.group >= 0 && static_cast<size_t>(path.group) < out.size())
            for (const Point& pt : path.points) out[static_cast<size_t>(path.group)].add(pt.x, pt.y);
    return out;
}

// A wall near its group's paths is drawn as a line; a far one as an arrow
// at the panel's edge.
bool isNear(const Recorder::Wall& w, const Box& paths) {
    if (paths.empty()) return true;
    return w.vertical ? w.at >= paths.minX - kNearWall && w.at <= paths.maxX + kNearWall
                      : w.at >= paths.minY - kNearWall && w.at <= paths.maxY + kNearWall;
}

// The panel spans the paths, the centres and the events, and the walls
// near them.
Box frameOf(const Panel& p, const std::vector<Spot>& marks, const std::vector<Box>& extents) {
    Box b;
    for (const Path& path : p.paths)
        for (const Point& pt : path.points) b.add(pt.x, pt.y);
    for (const Point& c : p.centres) b.add(c.x, c.y);
    for (const Spot& s : marks) b.add(s.x, s.y);
    const Box paths = b;
    for (const Recorder::Wall& w : p.walls) {
        const Box& extent = extents[static_cast<size_t>(w.group)];
        if (extent.empty() || !isNear(w, paths)) continue;
        if (w.vertical)
            b.add(w.at, extent.minY - WALL_OVERHANG), b.add(w.at, extent.maxY + WALL_OVERHANG);
        else
            b.add(extent.minX - WALL_OVERHANG, w.at), b.add(extent.maxX + WALL_OVERHANG, w.at);
    }
    b.settle();
    return b;
}

int64_t Labels::widthOf(const std::string& text) {
    int64_t chars = 0;
    for (char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return 6 * chars;
}

Labels::Placed Labels::place(const std::string& text, int64_t x, int64_t y, Side side) {
    const int64_t w = widthOf(text), h = 10;
    const Placed right[] = {{x + 7, y - 6}, {x + 7, y + 14}}, left[] = {{x - 7 - w, y - 6}, {x - 7 - w, y + 14}};
    const Placed* first = side == RIGHT_FIRST ? right : left;
    const Placed* second = side == LEFT_FIRST ? right : left;
    const Placed tries[] = {first[0], second[0], first[1], second[1]};
    for (int row = 0; row < 8; ++row)
        for (const Placed& t : tries) {
            const Placed at{t.x, t.y + (t.y < y ? -row : row) * h};
            if (free(at, w, h)) return take(at, w, h);
        }
    return take(tries[0], w, h);
}

void Labels::file(const Rect& r) {
    bySquare_.file(r, static_cast<uint32_t>(taken_.size()));
    taken_.push_back(r);
}

bool Labels::free(Placed at, int64_t w, int64_t h) const {
    bool clear = true;
    bySquare_.near({at.x, at.y - h, at.x + w, at.y}, [&](uint32_t i) {
        const Rect& r = taken_[i];
        if (at.x < r.x1 && r.x0 < at.x + w && at.y - h < r.y1 && r.y0 < at.y) clear = false;
    });
    return clear;
}

Labels::Placed Labels::take(Placed at, int64_t w, int64_t h) {
    file({at.x, at.y - h, at.x + w, at.y + 2});
    return at;
}

}  // namespace standin::layout
