// Index
//   1. What the motion registrations say: group, walls, centre
//   2. Gathering
//   3. Reading a path: stretches between jumps, events and whose they are
//   4. Layout: the panel's frame and labels that keep clear of each other
//   5. Writing: paths, marks, walls, the legend, the document
#include "trivu-host/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "trivu-host/text.h"

namespace host {
namespace {

// ---- 1. What the motion registrations say ------------------------------------------

enum : int {
    NULL_MOTION = 20,
    HORIZONTAL_WRAP = 27,
    TIMED_NULL = 34,
    HORIZONTAL_FLIP = 37,
    VERTICAL_WRAP = 38,
    VERTICAL_FLIP = 39,
    HORIZONTAL_WRAP_WAVE = 40,
    HORIZONTAL_FLIP_WAVE = 41,
    VERTICAL_WRAP_WAVE = 42,
    VERTICAL_FLIP_WAVE = 43,
    ORBIT_OWN = 44,
    ORBIT_TARGET = 45,
};

// The controllers drawn, by name or for one instance.
enum : int {
    REJECT_NAMED = 21,
    REJECT_DESTROY_NAMED = 22,
    REJECT_DIRECT = 25,
    REJECT_DESTROY_DIRECT = 26,
    TOGGLE_STOP_NAMED = 28,
    STOP_NAMED = 29,
    TOGGLE_STOP_DIRECT = 30,
    REVERSE_NAMED = 50,
    REVERSE_DIRECT = 51,
};

// The marks beside the events' conditions (11 to 15).
enum : int { STOPPED = 100, REVERSED, REJECTED };

int controlMark(int code) {
    switch (code) {
        case REJECT_NAMED:
        case REJECT_DESTROY_NAMED:
        case REJECT_DIRECT:
        case REJECT_DESTROY_DIRECT: return REJECTED;
        case TOGGLE_STOP_NAMED:
        case STOP_NAMED:
        case TOGGLE_STOP_DIRECT: return STOPPED;
        case REVERSE_NAMED:
        case REVERSE_DIRECT: return REVERSED;
        default: return 0;
    }
}

bool isDirect(int code) {
    return code == REJECT_DIRECT || code == REJECT_DESTROY_DIRECT || code == TOGGLE_STOP_DIRECT ||
           code == REVERSE_DIRECT;
}

bool isLine(int code) { return code == HORIZONTAL_WRAP || (code >= HORIZONTAL_FLIP && code <= VERTICAL_FLIP); }
bool isWave(int code) { return code >= HORIZONTAL_WRAP_WAVE && code <= VERTICAL_FLIP_WAVE; }
bool isOrbit(int code) { return code == ORBIT_OWN || code == ORBIT_TARGET; }
bool movesHorizontally(int code) {
    return code == HORIZONTAL_WRAP || code == HORIZONTAL_FLIP || code == HORIZONTAL_WRAP_WAVE ||
           code == HORIZONTAL_FLIP_WAVE;
}

// The numbers of a multi-value parameter text, read as the extension's
// parser prepares it (spaces dropped, "true" and "false" as 1 and 0);
// nothing when a value is not a number.
std::optional<std::vector<double>> numbers(const std::u16string& text) {
    std::string s;
    for (char16_t c : text) {
        if (c == u' ') continue;
        if (c > 0x7F) return std::nullopt;
        s += static_cast<char>(c);
    }
    std::vector<double> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string value = s.substr(start, end - start);
        if (value == "true") value = "1";
        if (value == "false") value = "0";
        if (!value.empty() && value[0] == '+') value.erase(0, 1);
        double d = 0;
        auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), d);
        if (value.empty() || ec != std::errc{} || ptr != value.data() + value.size()) return std::nullopt;
        out.push_back(d);
        start = end + 1;
    }
    return out;
}

// The kind index a registration leaves in alterable value B.
int kindIndexOf(int code) {
    if (isLine(code)) return 1;
    if (isWave(code)) return 2;
    if (isOrbit(code)) return 3;
    return 0;
}

int32_t pixel(double v) {
    if (!(std::fabs(v) < 1e9)) return 0;
    return static_cast<int32_t>(v);
}

}  // namespace

bool Drawing::isMotionRegistration(int code) {
    return code == NULL_MOTION || code == TIMED_NULL || isLine(code) || isWave(code) || isOrbit(code);
}

bool Drawing::isController(int code) { return controlMark(code) != 0; }

// ---- 2. Gathering -------------------------------------------------------------------------

Drawing::Panel& Drawing::panel() {
    if (panels_.empty()) panels_.emplace_back();
    return panels_.back();
}

Drawing::Path& Drawing::path(int number) {
    Panel& p = panel();
    for (Path& path : p.paths)
        if (path.number == number) return path;
    Path& made = p.paths.emplace_back();
    made.number = number;
    return made;
}

void Drawing::startFrame(const std::string& name) {
    panels_.emplace_back().name = name;
    lastTexts_.clear();
}

void Drawing::position(int number, const std::string& label, int64_t tick, int32_t x, int32_t y) {
    Path& p = path(number);
    p.label = label;
    p.points.push_back({tick, x, y, p.placedNext});
    p.placedNext = false;
    panel().lastTick = tick;
}

void Drawing::placed(int number) { path(number).placedNext = true; }

void Drawing::destroyed(int number) { path(number).destroyed = true; }

void Drawing::motionCall(const MotionCall& call) {
    if (!isMotionRegistration(call.code)) return;
    // The later runs of one action fetch nothing: they use the first's texts.
    if (call.loopIndex == 0) lastTexts_ = call.texts;
    // A registration that took marks the instance with the loop index and
    // its kind; one that was refused leaves no group, wall or centre.
    const bool took = call.markA == call.loopIndex && call.markB == kindIndexOf(call.code);
    if (!took || lastTexts_.empty()) return;
    Panel& p = panel();
    Path& owner = path(call.number);
    if (owner.group < 0) {
        const std::u16string& name = lastTexts_[0];
        auto known = std::find(p.groups.begin(), p.groups.end(), name);
        owner.group = static_cast<int>(known - p.groups.begin());
        if (known == p.groups.end()) p.groups.push_back(name);
    }
    if (lastTexts_.size() < 2) return;
    const auto values = numbers(lastTexts_[1]);
    if (!values) return;
    const std::vector<double>& v = *values;
    auto addWall = [&](bool vertical, int32_t at) {
        for (const Wall& w : p.walls)
            if (w.group == owner.group && w.vertical == vertical && w.at == at) return;
        p.walls.push_back({owner.group, vertical, at});
    };
    if ((isLine(call.code) && v.size() == 4) || (isWave(call.code) && v.size() == 8)) {
        const size_t first = v.size() - 2;
        addWall(movesHorizontally(call.code), pixel(v[first]));
        addWall(movesHorizontally(call.code), pixel(v[first + 1]));
    } else if (isOrbit(call.code) && v.size() == 12) {
        const int32_t cx = call.code == ORBIT_OWN ? call.x : call.centreX;
        const int32_t cy = call.code == ORBIT_OWN ? call.y : call.centreY;
        p.centres.push_back({p.lastTick + 1, pixel(cx + v[6]), pixel(cy + v[7]), false});
    }
}

// Events raised during a tick come before that tick's positions.
void Drawing::event(int condition, int32_t x, int32_t y) {
    Panel& p = panel();
    p.marks.push_back({condition, p.lastTick + 1, x, y});
}

// A controller is marked on the instances of the groups it names, as the
// registrations drew them, where each stood at the end of the last tick.
void Drawing::control(int code, const std::vector<std::u16string>& texts, int number) {
    const int kind = controlMark(code);
    if (kind == 0) return;
    Panel& p = panel();
    const bool direct = isDirect(code);
    if (!direct && texts.empty()) return;
    for (size_t i = 0; i < p.paths.size(); ++i) {
        const Path& path = p.paths[i];
        if (path.group < 0 || path.points.empty()) continue;
        const bool named =
            direct ? path.number == number : texts[0].empty() || p.groups[static_cast<size_t>(path.group)] == texts[0];
        if (named)
            p.marks.push_back({kind, p.lastTick + 1, path.points.back().x, path.points.back().y, static_cast<int>(i)});
    }
}

namespace {

using Point = Drawing::Point;
using Path = Drawing::Path;
using Panel = Drawing::Panel;

// ---- 3. Reading a path ----------------------------------------------------------------

// Far-off positions are pulled in, so that squared distances fit.
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

struct Stretch {
    size_t begin, end;  // [begin, end) of the path's points
};

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

// One mark drawn for the events of one instance within kMergeRadius of
// each other.
struct Spot {
    int path;  // the instance's index in the panel, -1 when none was near
    int kind;
    int32_t x, y;
    int count;
};

constexpr int32_t kMergeRadius = 3;

// Whose event it is: the events carry no instance, so it goes to the one
// that stood nearest just before or after it (a wrap reports where the
// object was and where it lands). The first path wins a tie.
int ownerOf(const Panel& p, const Drawing::Mark& m) {
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
    for (const Drawing::Mark& m : p.marks) {
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

// ---- 4. Layout --------------------------------------------------------------------------

// Distinct hues for motion groups, in order of registration.
const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                "#17becf", "#8c564b", "#e377c2", "#bcbd22", "#7f7f7f"};
const char* const kUngrouped = "#444444";
const char* const kInk = "#222222";  // the event marks

constexpr int32_t kMargin = 24;
constexpr int32_t kTitle = 28;         // the room for a panel's title above it
constexpr int32_t kNearWall = 40;      // a wall this close to the paths is drawn in the panel
constexpr int32_t kWallOverhang = 12;  // a wall reaches this far past its group's extent
constexpr int64_t kArrowEvery = 80;    // pixels of travel between two direction arrows
constexpr int64_t kLongJump = 120;     // a longer jump (a wrap) has no link, which would read as a track
constexpr int32_t kLegendWidth = 240;
constexpr int32_t kLegendLine = 16;

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

Box groupExtent(const Panel& p, int group) {
    Box b;
    for (const Path& path : p.paths)
        if (path.group == group)
            for (const Point& pt : path.points) b.add(pt.x, pt.y);
    return b;
}

// A wall near its group's paths is drawn as a line; a far one as an arrow
// at the panel's edge.
bool isNear(const Drawing::Wall& w, const Box& paths) {
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
    for (const Drawing::Wall& w : p.walls) {
        const Box extent = groupExtent(p, w.group);
        if (extent.empty() || !isNear(w, paths)) continue;
        if (w.vertical)
            b.add(w.at, extent.minY - kWallOverhang), b.add(w.at, extent.maxY + kWallOverhang);
        else
            b.add(extent.minX - kWallOverhang, w.at), b.add(extent.maxX + kWallOverhang, w.at);
    }
    b.settle();
    return b;
}

struct Rect {
    int64_t x0, y0, x1, y1;
    void add(const Rect& r) {
        x0 = std::min(x0, r.x0);
        y0 = std::min(y0, r.y0);
        x1 = std::max(x1, r.x1);
        y1 = std::max(y1, r.y1);
    }
};

// Places small labels beside the points they name, trying a few places
// around each and then further out, so that no label covers another or a
// mark.
class Labels {
public:
    struct Placed {
        int64_t x, y;  // the text's baseline start
    };
    static int64_t widthOf(const std::string& text) {
        int64_t chars = 0;
        for (char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return 6 * chars;
    }
    void block(int64_t x, int64_t y, int64_t r) { taken_.push_back({x - r, y - r, x + r, y + r}); }
    enum Side { RIGHT_FIRST, LEFT_FIRST, LEFT_ONLY };
    Placed place(const std::string& text, int64_t x, int64_t y, Side side = RIGHT_FIRST) {
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
    // Everything placed, for the panel to take in.
    void extend(Rect& area) const {
        for (size_t i = blocks_; i < taken_.size(); ++i) area.add(taken_[i]);
    }
    void endBlocks() { blocks_ = taken_.size(); }

private:
    bool free(Placed at, int64_t w, int64_t h) const {
        for (const Rect& r : taken_)
            if (at.x < r.x1 && r.x0 < at.x + w && at.y - h < r.y1 && r.y0 < at.y) return false;
        return true;
    }
    Placed take(Placed at, int64_t w, int64_t h) {
        taken_.push_back({at.x, at.y - h, at.x + w, at.y + 2});
        return at;
    }
    std::vector<Rect> taken_;
    size_t blocks_ = 0;  // the first ones are marks, not labels
};

// ---- 5. Writing -------------------------------------------------------------------------

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') continue;
                out += c;
        }
    }
    return out;
}

std::string num(int64_t v) { return std::to_string(v); }

std::string pt(int64_t x, int64_t y) { return num(x) + " " + num(y); }

const char* colourOf(const Path& p) { return p.group >= 0 ? kColours[p.group % std::size(kColours)] : kUngrouped; }

std::string groupName(const Panel& p, int group) {
    if (group < 0) return "no group";
    if (!p.groups[group].empty()) return toUtf8(p.groups[group]);
    // An empty name groups the object under its own name.
    for (const Path& path : p.paths)
        if (path.group == group) return path.label.substr(0, path.label.find('#'));
    return "\"\"";
}

// The shapes, each centred on (x, y). Event marks are drawn in ink, the
// start and end of a path in its colour.
std::string shape(const std::string& kind, int64_t x, int64_t y, const char* colour) {
    const std::string cls = "<path class=\"" + kind + "\" d=\"";
    if (kind == "start")
        return "<circle class=\"start\" cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"4\" fill=\"" + colour +
               "\" stroke=\"#ffffff\"/>\n";
    if (kind == "end")
        return "<rect class=\"end\" x=\"" + num(x - 4) + "\" y=\"" + num(y - 4) +
               "\" width=\"8\" height=\"8\" fill=\"" + colour + "\" stroke=\"#ffffff\"/>\n";
    if (kind == "jump-end")
        return "<circle class=\"jump-end\" cx=\"" + num(x) + "\" cy=\"" + num(y) +
               "\" r=\"2.5\" fill=\"#ffffff\" stroke=\"" + colour + "\"/>\n";
    if (kind == "destroyed")
        return cls + "M " + pt(x - 5, y - 5) + " L " + pt(x + 5, y + 5) + " M " + pt(x - 5, y + 5) + " L " +
               pt(x + 5, y - 5) + "\" stroke=\"" + kInk + "\" stroke-width=\"2.5\"/>\n";
    if (kind == "centre")
        return cls + "M " + pt(x - 5, y) + " H " + num(x + 5) + " M " + pt(x, y - 5) + " V " + num(y + 5) +
               "\" stroke=\"#000000\"/>\n";
    std::string d;
    if (kind == "left-wall") d = "M " + pt(x - 5, y) + " L " + pt(x + 3, y - 5) + " L " + pt(x + 3, y + 5) + " Z";
    if (kind == "right-wall") d = "M " + pt(x + 5, y) + " L " + pt(x - 3, y - 5) + " L " + pt(x - 3, y + 5) + " Z";
    if (kind == "top-wall") d = "M " + pt(x, y - 5) + " L " + pt(x - 5, y + 3) + " L " + pt(x + 5, y + 3) + " Z";
    if (kind == "bottom-wall") d = "M " + pt(x, y + 5) + " L " + pt(x - 5, y - 3) + " L " + pt(x + 5, y - 3) + " Z";
    if (kind == "stopped")
        return cls + "M " + pt(x - 4, y - 5) + " h 3 v 10 h -3 Z M " + pt(x + 1, y - 5) + " h 3 v 10 h -3 Z\" fill=\"" +
               kInk + "\"/>\n";
    if (kind == "reversed")
        return cls + "M " + pt(x - 5, y - 4) + " L " + pt(x + 5, y + 4) + " L " + pt(x + 5, y - 4) + " L " +
               pt(x - 5, y + 4) + " Z\" fill=\"" + kInk + "\"/>\n";
    if (kind == "rejected")
        return "<g class=\"rejected\"><circle cx=\"" + num(x) + "\" cy=\"" + num(y) +
               "\" r=\"5\" fill=\"#ffffff\" stroke=\"" + kInk + "\" stroke-width=\"1.5\"/><path d=\"M " +
               pt(x - 3, y + 3) + " L " + pt(x + 3, y - 3) + "\" stroke=\"" + kInk + "\" stroke-width=\"1.5\"/></g>\n";
    if (kind == "asleep")
        return cls + "M " + pt(x, y - 5) + " L " + pt(x + 5, y) + " L " + pt(x, y + 5) + " L " + pt(x - 5, y) +
               " Z\" fill=\"#ffffff\" stroke=\"" + kInk + "\" stroke-width=\"1.5\"/>\n";
    return cls + d + "\" fill=\"" + kInk + "\"/>\n";
}

struct Meaning {
    int kind;
    const char* shape;
    const char* text;
};
const Meaning kMarks[] = {
    {11, "left-wall", "left wall"},
    {12, "right-wall", "right wall"},
    {13, "top-wall", "top wall"},
    {14, "bottom-wall", "bottom wall"},
    {15, "asleep", "asleep"},
    {STOPPED, "stopped", "stop or toggle stop"},
    {REVERSED, "reversed", "reversed"},
    {REJECTED, "rejected", "rejected"},
};

const Meaning& meaningOf(int kind) {
    for (const Meaning& m : kMarks)
        if (m.kind == kind) return m;
    return kMarks[0];
}

// An arrowhead at `at` pointing along (dx, dy), in whole pixels.
std::string arrow(const Point& at, int64_t dx, int64_t dy, const char* colour) {
    const int64_t len = std::max<int64_t>(1, isqrt(dx * dx + dy * dy));
    const int64_t ux = dx * 6 / len, uy = dy * 6 / len, px = -dy * 4 / len, py = dx * 4 / len;
    const int64_t bx = at.x - ux / 2, by = at.y - uy / 2;
    return "<path class=\"direction\" d=\"M " + pt(at.x + ux, at.y + uy) + " L " + pt(bx + px, by + py) + " L " +
           pt(bx - px, by - py) + " Z\" fill=\"" + colour + "\"/>\n";
}

// Arrowheads every kArrowEvery pixels of travel, the first half-way there.
std::string arrows(const Path& p, const Stretch& s) {
    std::string out;
    int64_t travelled = 0, next = kArrowEvery / 2;
    for (size_t k = s.begin + 1; k < s.end; ++k) {
        travelled += stepLength(p, k);
        if (travelled < next) continue;
        next = travelled + kArrowEvery;
        // The way is taken over a few steps, so that one-pixel stairs do
        // not turn the arrow.
        const Point& from = p.points[std::max(s.begin, k >= 2 ? k - 2 : 0)];
        const Point& to = p.points[std::min(s.end - 1, k + 2)];
        const int64_t dx = clampCoordinate(to.x) - clampCoordinate(from.x);
        const int64_t dy = clampCoordinate(to.y) - clampCoordinate(from.y);
        if (dx != 0 || dy != 0) out += arrow(p.points[k], dx, dy, colourOf(p));
    }
    return out;
}

std::string polyline(const Path& p, const Stretch& s) {
    std::string out = "<polyline class=\"path\" data-instance=\"" + escape(p.label) + "\" points=\"";
    for (size_t k = s.begin; k < s.end; ++k) {
        if (k > s.begin) out += ' ';
        out += num(p.points[k].x) + "," + num(p.points[k].y);
    }
    return out + "\" fill=\"none\" stroke=\"" + colourOf(p) + "\" stroke-width=\"1.5\"/>\n";
}

// One instance: its stretches with their arrows, a ring at both ends of
// each jump and a faint dotted link across the short ones, its start and
// its end.
std::string instance(const Path& p) {
    if (p.points.empty()) return {};
    const std::vector<Stretch> runs = stretches(p);
    std::string out = "<g class=\"instance\" data-instance=\"" + escape(p.label) + "\">\n";
    for (size_t i = 1; i < runs.size(); ++i) {
        const Point& a = p.points[runs[i].begin - 1];
        const Point& b = p.points[runs[i].begin];
        if (distance(a.x, a.y, b.x, b.y) > kLongJump) continue;
        out += "<line class=\"jump\" x1=\"" + num(a.x) + "\" y1=\"" + num(a.y) + "\" x2=\"" + num(b.x) + "\" y2=\"" +
               num(b.y) + "\" stroke=\"" + colourOf(p) + "\" stroke-opacity=\"0.35\" stroke-dasharray=\"1 4\"/>\n";
    }
    for (const Stretch& s : runs) out += polyline(p, s) + arrows(p, s);
    for (size_t i = 1; i < runs.size(); ++i) {
        const Point& a = p.points[runs[i].begin - 1];
        const Point& b = p.points[runs[i].begin];
        out += shape("jump-end", a.x, a.y, colourOf(p)) + shape("jump-end", b.x, b.y, colourOf(p));
    }
    const Point& first = p.points.front();
    const Point& last = p.points.back();
    out += shape("start", first.x, first.y, colourOf(p));
    out += shape(p.destroyed ? "destroyed" : "end", last.x, last.y, colourOf(p));
    return out + "</g>\n";
}

std::string text(const Labels::Placed& at, const std::string& label, const char* cls, const char* colour) {
    return "<text class=\"" + std::string(cls) + "\" x=\"" + num(at.x) + "\" y=\"" + num(at.y) +
           "\" font-size=\"9\" fill=\"" + colour + "\">" + escape(label) + "</text>\n";
}

std::string wallName(const Panel& p, const Drawing::Wall& w) {
    return groupName(p, w.group) + (w.vertical ? " wall x=" : " wall y=") + num(w.at);
}

// A group's wall over the group's extent, or an arrow at the panel's edge
// toward a wall that lies outside.
std::string wall(const Panel& p, const Drawing::Wall& w, const Box& frame, const Box& paths, Labels& labels) {
    const Box e = groupExtent(p, w.group);
    if (e.empty()) return {};
    const char* grey = "#888888";
    if (isNear(w, paths)) {
        const int64_t x1 = w.vertical ? w.at : e.minX - kWallOverhang, y1 = w.vertical ? e.minY - kWallOverhang : w.at;
        const int64_t x2 = w.vertical ? w.at : e.maxX + kWallOverhang, y2 = w.vertical ? e.maxY + kWallOverhang : w.at;
        // The label goes on the side of the wall that faces the group.
        const bool inward = w.vertical ? 2 * w.at > e.minX + e.maxX : false;
        return "<line class=\"wall\" x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
               num(y2) + "\" stroke=\"" + grey + "\" stroke-dasharray=\"6 4\"/>\n" +
               text(labels.place(wallName(p, w), x1, y1, inward ? Labels::LEFT_FIRST : Labels::RIGHT_FIRST),
                    wallName(p, w), "wall-label", grey);
    }
    // The arrow sits on the edge the wall lies beyond, level with the middle
    // of the group.
    const int64_t left = frame.minX - kMargin, right = frame.maxX + kMargin;
    const int64_t top = frame.minY - kMargin, bottom = frame.maxY + kMargin;
    std::string d;
    int64_t x, y;
    if (w.vertical) {
        y = std::clamp((e.minY + e.maxY) / 2, top + 8, bottom - 8);
        const bool beyondLeft = w.at < frame.minX;
        x = beyondLeft ? left + 2 : right - 2;
        const int64_t back = beyondLeft ? x + 8 : x - 8;
        d = "M " + pt(x, y) + " L " + pt(back, y - 5) + " L " + pt(back, y + 5) + " Z";
    } else {
        x = std::clamp((e.minX + e.maxX) / 2, left + 8, right - 8);
        const bool beyondTop = w.at < frame.minY;
        y = beyondTop ? top + 2 : bottom - 2;
        const int64_t back = beyondTop ? y + 8 : y - 8;
        d = "M " + pt(x, y) + " L " + pt(x - 5, back) + " L " + pt(x + 5, back) + " Z";
    }
    const std::string name = wallName(p, w);
    // Its label stays inside the panel.
    const Labels::Placed at =
        labels.place(name, x, y, w.vertical && w.at > frame.maxX ? Labels::LEFT_ONLY : Labels::RIGHT_FIRST);
    return "<path class=\"wall-arrow\" d=\"" + d + "\" fill=\"" + grey + "\"/>\n" + text(at, name, "wall-label", grey);
}

using Row = std::pair<std::string, std::string>;  // a drawn sample, its meaning

// The legend's rows: the groups by colour, then what each mark means, only
// the marks the panel uses.
std::vector<Row> legendRows(const Panel& p, const std::vector<Spot>& marks) {
    std::vector<Row> rows;
    auto swatch = [](const char* colour) {
        return "<line x1=\"0\" y1=\"-4\" x2=\"16\" y2=\"-4\" stroke=\"" + std::string(colour) +
               "\" stroke-width=\"2\"/>";
    };
    for (size_t g = 0; g < p.groups.size(); ++g)
        rows.emplace_back(swatch(kColours[g % std::size(kColours)]), "group " + groupName(p, static_cast<int>(g)));
    bool ungrouped = false, jumped = false, destroyed = false, merged = false;
    for (const Path& path : p.paths) {
        ungrouped = ungrouped || path.group < 0;
        jumped = jumped || stretches(path).size() > 1;
        destroyed = destroyed || path.destroyed;
    }
    if (ungrouped) rows.emplace_back(swatch(kUngrouped), "in no motion group");
    // Samples are classed apart from the marks they explain.
    auto sample = [](const std::string& kind) {
        std::string drawn = shape(kind, 8, -4, kUngrouped);
        return drawn.replace(drawn.find(kind), kind.size(), "key");
    };
    rows.emplace_back(sample("start"), "start");
    rows.emplace_back(sample("end"), "end (motion over, frame ended)");
    std::string direction = arrow({0, 8, -4, false}, 1, 0, kUngrouped);
    rows.emplace_back(direction.replace(direction.find("direction"), 9, "key"), "direction of travel");
    if (jumped) rows.emplace_back(sample("jump-end"), "jump (wrap, re-centre, placed)");
    if (!p.walls.empty())
        rows.emplace_back("<line x1=\"8\" y1=\"-10\" x2=\"8\" y2=\"2\" stroke=\"#888888\" stroke-dasharray=\"3 2\"/>",
                          "wall of a group");
    if (!p.centres.empty()) rows.emplace_back(sample("centre"), "orbit centre");
    for (const Meaning& m : kMarks) {
        bool used = false;
        for (const Spot& s : marks) used = used || s.kind == m.kind;
        if (used) rows.emplace_back(sample(m.shape), m.text);
    }
    for (const Spot& s : marks) merged = merged || s.count > 1;
    if (destroyed) rows.emplace_back(sample("destroyed"), "destroyed through the extension");
    if (merged) rows.emplace_back("<text x=\"0\" y=\"0\" font-size=\"9\">\xC3\x97n</text>", "n events in one place");
    return rows;
}

std::string legend(const std::vector<Row>& rows, int64_t x, int64_t y) {
    std::string out = "<g class=\"legend\" font-size=\"11\" transform=\"translate(" + pt(x, y) + ")\">\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        const int64_t at = 12 + static_cast<int64_t>(i) * kLegendLine;
        out += "<g transform=\"translate(0 " + num(at) + ")\">" + rows[i].first + "<text x=\"22\" y=\"0\">" +
               escape(rows[i].second) + "</text></g>\n";
    }
    return out + "</g>\n";
}

int64_t legendHeight(const std::vector<Row>& rows) { return 12 + static_cast<int64_t>(rows.size()) * kLegendLine; }

// The inside of a panel; `area` grows to take in the labels.
std::string panelBody(const Panel& p, const Box& b, const std::vector<Spot>& marks, Rect& area) {
    Box paths;
    for (const Path& path : p.paths)
        for (const Point& pt : path.points) paths.add(pt.x, pt.y);
    Labels labels;
    for (const Spot& s : marks) labels.block(s.x, s.y, 5);
    for (const Path& path : p.paths)
        if (!path.points.empty()) {
            labels.block(path.points.front().x, path.points.front().y, 4);
            labels.block(path.points.back().x, path.points.back().y, 4);
        }
    labels.endBlocks();
    std::string out;
    for (const Drawing::Wall& w : p.walls) out += wall(p, w, b, paths, labels);
    for (const Path& path : p.paths) out += instance(path);
    for (const Point& c : p.centres) out += shape("centre", c.x, c.y, kInk);
    for (const Spot& s : marks) {
        out += "<g class=\"event\">" + shape(meaningOf(s.kind).shape, s.x, s.y, kInk);
        const std::string count = "\xC3\x97" + num(s.count);
        if (s.count > 1) out += text(labels.place(count, s.x, s.y), count, "count", kInk);
        out += "</g>\n";
    }
    labels.extend(area);
    return out;
}

}  // namespace

std::string Drawing::svg() const {
    struct Laid {
        Rect area;  // the panel's rectangle, in the run's coordinates
        std::string body;
        std::vector<Row> legend;
    };
    std::vector<Laid> laid;
    int64_t width = 0, height = 0;
    for (const Panel& p : panels_) {
        const std::vector<Spot> marks = spots(p);
        const Box b = frameOf(p, marks);
        Laid& l = laid.emplace_back();
        l.area = {b.minX - kMargin, b.minY - kMargin, b.maxX + kMargin, b.maxY + kMargin};
        l.body = panelBody(p, b, marks, l.area);
        l.legend = legendRows(p, marks);
        width = std::max(width, l.area.x1 - l.area.x0 + 4 + kLegendWidth);
        height += kTitle + std::max(l.area.y1 - l.area.y0 + 4, legendHeight(l.legend));
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" + num(height) +
           "\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    int64_t top = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        const Laid& l = laid[i];
        const int64_t w = l.area.x1 - l.area.x0 + 4, h = l.area.y1 - l.area.y0 + 4;
        out += "<g class=\"frame\">\n";
        out += "<text x=\"4\" y=\"" + num(top + 18) + "\" font-size=\"14\">" + escape(panels_[i].name) + "</text>\n";
        out += "<g transform=\"translate(" + pt(2 - l.area.x0, top + kTitle + 2 - l.area.y0) + ")\">\n";
        out += "<rect class=\"panel\" x=\"" + num(l.area.x0 - 2) + "\" y=\"" + num(l.area.y0 - 2) + "\" width=\"" +
               num(w) + "\" height=\"" + num(h) + "\" fill=\"#fafafa\" stroke=\"#cccccc\"/>\n";
        out += l.body + "</g>\n";
        out += legend(l.legend, w + 12, top + kTitle);
        out += "</g>\n";
        top += kTitle + std::max(h, legendHeight(l.legend));
    }
    out += "</svg>\n";
    return out;
}

}  // namespace host
