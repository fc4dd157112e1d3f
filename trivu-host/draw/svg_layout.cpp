// The reading and the layout of the `--svg` drawing: where a path breaks
// (a jump, told from the instance's own usual step), which instance each
// wall or sleep event belongs to and how the events of one instance in one
// place merge into a single mark, the frame a panel needs to take in its
// paths, centres, events and near walls, and the placement of labels so
// that none covers another or a mark. Nothing here writes SVG.
#include "trivu-host/draw/svg_layout.h"

#include <cmath>
#include <cstdlib>

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
std::vector<bool> jumps(const Path& p) {
    std::vector<bool> out(p.points.size(), false);
    std::vector<int64_t> moving;
    for (size_t k = 1; k < p.points.size(); ++k)
        if (int64_t len = stepLength(p, k); len > 0 && !p.points[k].placed && !p.points[k - 1].placed)
            moving.push_back(len);
    int64_t usual = 0;
    if (!moving.empty()) {
        const auto middle = moving.begin() + static_cast<std::ptrdiff_t>(moving.size() / 2);
        std::nth_element(moving.begin(), middle, moving.end());
        usual = *middle;
    }
    const int64_t limit = std::max<int64_t>(16, 4 * usual);
    for (size_t k = 1; k < p.points.size(); ++k) out[k] = p.points[k].placed || stepLength(p, k) > limit;
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

int64_t distance(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    const int64_t dx = clampCoordinate(bx) - clampCoordinate(ax), dy = clampCoordinate(by) - clampCoordinate(ay);
    return isqrt(dx * dx + dy * dy);
}

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

// Whose event it is: the events carry no instance, so it goes to the one
// that stood nearest just before or after it (a wrap reports where the
// object was and where it lands). The first path wins a tie.
int ownerOf(const Panel& p, const Recorder::Mark& m) {
    int best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < p.paths.size(); ++i) {
        const std::vector<Point>& points = p.paths[i].points;  // in tick order
        auto at = std::lower_bound(points.begin(), points.end(), m.tick - 1,
                                   [](const Point& pt, int64_t tick) { return pt.tick < tick; });
        for (; at != points.end() && at->tick <= m.tick; ++at) {
            const int64_t d = std::max(std::llabs(int64_t{at->x} - m.x), std::llabs(int64_t{at->y} - m.y));
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
    }
    return best;
}

std::vector<Spot> spots(const Panel& p) {
    std::vector<Spot> out;
    for (const Recorder::Mark& m : p.marks) {
        const int owner = m.owner >= 0 ? m.owner : ownerOf(p, m);
        auto same = [&](const Spot& s) {
            return s.path == owner && s.kind == m.kind && std::llabs(int64_t{s.x} - m.x) <= kMergeRadius &&
                   std::llabs(int64_t{s.y} - m.y) <= kMergeRadius;
        };
        // Newest first: a sleeping instance adds to the mark it made last.
        if (auto it = std::find_if(out.rbegin(), out.rend(), same); it != out.rend())
            ++it->count;
        else
            out.push_back({owner, m.kind, m.x, m.y, 1});
    }
    return out;
}

// ---- Layout ------------------------------------------------------------------------


Box groupExtent(const Panel& p, int group) {
    Box b;
    for (const Path& path : p.paths)
        if (path.group == group)
            for (const Point& pt : path.points) b.add(pt.x, pt.y);
    return b;
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
Box frameOf(const Panel& p, const std::vector<Spot>& marks) {
    Box b;
    for (const Path& path : p.paths)
        for (const Point& pt : path.points) b.add(pt.x, pt.y);
    for (const Point& c : p.centres) b.add(c.x, c.y);
    for (const Spot& s : marks) b.add(s.x, s.y);
    const Box paths = b;
    for (const Recorder::Wall& w : p.walls) {
        const Box extent = groupExtent(p, w.group);
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

bool Labels::free(Placed at, int64_t w, int64_t h) const {
    for (const Rect& r : taken_)
        if (at.x < r.x1 && r.x0 < at.x + w && at.y - h < r.y1 && r.y0 < at.y) return false;
    return true;
}

Labels::Placed Labels::take(Placed at, int64_t w, int64_t h) {
    taken_.push_back({at.x, at.y - h, at.x + w, at.y + 2});
    return at;
}

}  // namespace standin::layout
