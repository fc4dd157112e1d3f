// The writing side of the `--svg` drawing: the shapes (path ends, jumps,
// direction arrows, event and controller marks, centres), the walls as
// lines over their group or arrows at the panel's edge, the legend of what
// a panel uses, and the document that stacks the panels under their frame
// titles. Where things go comes from svg_layout.cpp; this file only turns
// it into text, in a fixed order, so the same drawing gives the same bytes.
#include "trivu-host/draw/svg.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>
#include <set>
#include <tuple>
#include <utility>

#include "trivu-host/draw/svg_layout.h"
#include "trivu-host/base/text.h"

namespace standin {
namespace {

using namespace layout;

// Distinct hues for motion groups, in order of registration.
const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                "#17becf", "#8c564b", "#e377c2", "#bcbd22", "#7f7f7f"};
const char* const kUngrouped = "#444444";
const char* const kInk = "#222222";  // the event marks

constexpr int32_t kMargin = 24;
constexpr int32_t kTitle = 28;       // the room for a panel's title above it
constexpr int64_t kArrowEvery = 80;  // pixels of travel between two direction arrows
constexpr int64_t kArrowCell = 20;   // one arrow of an instance each way in a square this size
constexpr int64_t kLongJump = 120;
constexpr double kSubPixel = 0.5;    // a path drawn this close to every position is the same picture   // a longer jump (a wrap) has no link, which would read as a track
constexpr int32_t kLegendWidth = 240;
constexpr int32_t kLegendLine = 16;

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
    if (!p.groups[group].empty()) return trivu::platform::utf16ToUtf8(p.groups[group]);
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

// The outline of an arrowhead at `at` pointing along (dx, dy), in whole pixels.
std::string arrowHead(const Point& at, int64_t dx, int64_t dy) {
    const int64_t len = std::max<int64_t>(1, isqrt(dx * dx + dy * dy));
    const int64_t ux = dx * 6 / len, uy = dy * 6 / len, px = -dy * 4 / len, py = dx * 4 / len;
    const int64_t bx = at.x - ux / 2, by = at.y - uy / 2;
    return "M " + pt(at.x + ux, at.y + uy) + " L " + pt(bx + px, by + py) + " L " + pt(bx - px, by - py) + " Z";
}

std::string arrow(const std::string& heads, const char* colour) {
    return "<path class=\"direction\" d=\"" + heads + "\" fill=\"" + colour + "\"/>\n";
}

// Where an arrow of an instance already points one way: its cell of
// kArrowCell pixels and its direction of 16. A run that goes over its own
// way again (a wrap round and round, a bounce to and fro) would otherwise
// pile arrows on arrows.
using ArrowPlaces = std::set<std::tuple<int64_t, int64_t, int>>;

bool seen(ArrowPlaces& drawn, const Point& at, int64_t dx, int64_t dy) {
    const double turn = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) / (2 * 3.14159265358979323846);
    const int way = static_cast<int>(std::lround(turn * 16)) & 15;
    return !drawn.insert({squareOf(at.x, kArrowCell), squareOf(at.y, kArrowCell), way}).second;
}

// Arrowheads every kArrowEvery pixels of travel, the first half-way there,
// all of a stretch in one path.
std::string arrows(const Path& p, const Stretch& s, ArrowPlaces& drawn) {
    std::string heads;
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
        if ((dx == 0 && dy == 0) || seen(drawn, p.points[k], dx, dy)) continue;
        heads += (heads.empty() ? "" : " ") + arrowHead(p.points[k], dx, dy);
    }
    return heads.empty() ? heads : arrow(heads, colourOf(p));
}

// The way from a to b reduced to its smallest whole step, so that two
// steps compare as directions without products that could overflow.
std::pair<int64_t, int64_t> direction(const Point& a, const Point& b) {
    const int64_t dx = int64_t{b.x} - a.x, dy = int64_t{b.y} - a.y;
    const int64_t g = std::gcd(dx, dy);
    return g == 0 ? std::pair<int64_t, int64_t>{0, 0} : std::pair<int64_t, int64_t>{dx / g, dy / g};
}

// A point where the line goes straight on, or where the instance stood
// still, adds nothing to the picture: a long run of equal steps is one
// segment, whatever its length.
std::vector<Point> corners(const Path& p, const Stretch& s) {
    std::vector<Point> out;
    for (size_t k = s.begin; k < s.end; ++k) {
        const Point& q = p.points[k];
        if (!out.empty() && out.back().x == q.x && out.back().y == q.y) continue;
        if (out.size() >= 2 && direction(out[out.size() - 2], out.back()) == direction(out.back(), q))
            out.back() = q;
        else
            out.push_back(q);
    }
    return out;
}

// How far q lies from the segment a-b.
double offset(const Point& q, const Point& a, const Point& b) {
    const double ax = a.x, ay = a.y, dx = b.x - ax, dy = b.y - ay, qx = q.x - ax, qy = q.y - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 == 0 ? 0 : std::clamp((qx * dx + qy * dy) / len2, 0.0, 1.0);
    return std::hypot(qx - t * dx, qy - t * dy);
}

// Marks the points of [from, to] that a curve needs so that the line drawn
// through them stays within half a pixel of every position: a long run on
// a curve draws the same picture with a point every few ticks.
void keepBends(const std::vector<Point>& points, size_t from, size_t to, std::vector<bool>& keep) {
    std::vector<std::pair<size_t, size_t>> todo{{from, to}};
    while (!todo.empty()) {
        const auto [a, b] = todo.back();
        todo.pop_back();
        size_t worst = a;
        double most = kSubPixel;
        for (size_t k = a + 1; k < b; ++k)
            if (const double o = offset(points[k], points[a], points[b]); o > most) most = o, worst = k;
        if (worst == a) continue;
        keep[worst] = true;
        todo.push_back({a, worst});
        todo.push_back({worst, b});
    }
}

std::string polyline(const Path& p, const Stretch& s) {
    std::string out = "<polyline class=\"path\" data-instance=\"" + escape(p.label) + "\" points=\"";
    const std::vector<Point> turns = corners(p, s);
    std::vector<bool> keep(turns.size(), false);
    if (!turns.empty()) keep.front() = keep.back() = true;
    if (turns.size() > 2) keepBends(turns, 0, turns.size() - 1, keep);
    bool first = true;
    for (size_t k = 0; k < turns.size(); ++k) {
        if (!keep[k]) continue;
        const Point& q = turns[k];
        if (!first) out += ' ';
        out += num(q.x) + "," + num(q.y);
        first = false;
    }
    return out + "\" fill=\"none\" stroke=\"" + colourOf(p) + "\" stroke-width=\"1.5\"/>\n";
}

// One instance: its stretches with their arrows, a ring at both ends of
// each jump and a faint dotted link across the short ones, its start and
// its end.
std::string instance(const Path& p, const std::vector<Stretch>& runs) {
    if (p.points.empty()) return {};
    std::string out = "<g class=\"instance\" data-instance=\"" + escape(p.label) + "\">\n";
    for (size_t i = 1; i < runs.size(); ++i) {
        const Point& a = p.points[runs[i].begin - 1];
        const Point& b = p.points[runs[i].begin];
        if (distance(a.x, a.y, b.x, b.y) > kLongJump) continue;
        out += "<line class=\"jump\" x1=\"" + num(a.x) + "\" y1=\"" + num(a.y) + "\" x2=\"" + num(b.x) + "\" y2=\"" +
               num(b.y) + "\" stroke=\"" + colourOf(p) + "\" stroke-opacity=\"0.35\" stroke-dasharray=\"1 4\"/>\n";
    }
    // A stretch or ring drawn again in the same place (the passes of a wrap)
    // changes nothing.
    std::set<std::string> once;
    auto add = [&](std::string drawn) {
        if (once.insert(drawn).second) out += drawn;
    };
    ArrowPlaces drawn;
    for (const Stretch& s : runs) {
        add(polyline(p, s));
        out += arrows(p, s, drawn);
    }
    for (size_t i = 1; i < runs.size(); ++i) {
        const Point& a = p.points[runs[i].begin - 1];
        const Point& b = p.points[runs[i].begin];
        add(shape("jump-end", a.x, a.y, colourOf(p)));
        add(shape("jump-end", b.x, b.y, colourOf(p)));
    }
    const Point& first = p.points.front();
    const Point& last = p.points.back();
    out += shape("start", first.x, first.y, colourOf(p));
    out += shape(p.destroyed ? marks::nameOf(DESTROYED).shape : "end", last.x, last.y, colourOf(p));
    return out + "</g>\n";
}

std::string text(const Labels::Placed& at, const std::string& label, const char* cls, const char* colour) {
    return "<text class=\"" + std::string(cls) + "\" x=\"" + num(at.x) + "\" y=\"" + num(at.y) +
           "\" font-size=\"9\" fill=\"" + colour + "\">" + escape(label) + "</text>\n";
}

std::string wallName(const Panel& p, const Recorder::Wall& w) {
    return groupName(p, w.group) + (w.vertical ? " wall x=" : " wall y=") + num(w.at);
}

// A group's wall over the group's extent, or an arrow at the panel's edge
// toward a wall that lies outside.
std::string wall(const Panel& p, const Recorder::Wall& w, const Box& e, const Box& frame, const Box& paths,
                 Labels& labels) {
    if (e.empty()) return {};
    const char* grey = "#888888";
    if (isNear(w, paths)) {
        const int64_t x1 = w.vertical ? w.at : e.minX - WALL_OVERHANG, y1 = w.vertical ? e.minY - WALL_OVERHANG : w.at;
        const int64_t x2 = w.vertical ? w.at : e.maxX + WALL_OVERHANG, y2 = w.vertical ? e.maxY + WALL_OVERHANG : w.at;
        // The label goes on the side of the wall that faces the group.
        const bool inward = w.vertical ? 2 * int64_t{w.at} > e.minX + e.maxX : false;
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
using Runs = std::vector<std::vector<Stretch>>;   // each path's stretches

// The legend's rows: the groups by colour, then what each mark means, only
// the marks the panel uses.
std::vector<Row> legendRows(const Panel& p, const std::vector<Spot>& marks, const Runs& runs) {
    std::vector<Row> rows;
    auto swatch = [](const char* colour) {
        return "<line x1=\"0\" y1=\"-4\" x2=\"16\" y2=\"-4\" stroke=\"" + std::string(colour) +
               "\" stroke-width=\"2\"/>";
    };
    for (size_t g = 0; g < p.groups.size(); ++g)
        rows.emplace_back(swatch(kColours[g % std::size(kColours)]), "group " + groupName(p, static_cast<int>(g)));
    bool ungrouped = false, jumped = false, destroyed = false, merged = false;
    for (size_t i = 0; i < p.paths.size(); ++i) {
        const Path& path = p.paths[i];
        if (path.points.empty()) continue;  // nothing of it in the ticks drawn
        ungrouped = ungrouped || path.group < 0;
        jumped = jumped || runs[i].size() > 1;
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
    std::string direction = arrow(arrowHead({0, 8, -4, false}, 1, 0), kUngrouped);
    rows.emplace_back(direction.replace(direction.find("direction"), 9, "key"), "direction of travel");
    if (jumped) rows.emplace_back(sample("jump-end"), "jump (wrap, re-centre, placed)");
    if (!p.walls.empty())
        rows.emplace_back("<line x1=\"8\" y1=\"-10\" x2=\"8\" y2=\"2\" stroke=\"#888888\" stroke-dasharray=\"3 2\"/>",
                          "wall of a group");
    if (!p.centres.empty()) rows.emplace_back(sample("centre"), "orbit centre");
    for (const marks::Name& m : marks::NAMES) {
        bool used = false;
        for (const Spot& s : marks) used = used || s.kind == m.kind;
        if (used) rows.emplace_back(sample(m.shape), m.legend);
    }
    for (const Spot& s : marks) merged = merged || s.count > 1;
    if (destroyed) rows.emplace_back(sample(marks::nameOf(DESTROYED).shape), marks::nameOf(DESTROYED).legend);
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
std::string panelBody(const Panel& p, const Box& b, const std::vector<Spot>& marks, const std::vector<Box>& extents,
                      const Runs& runs, Rect& area) {
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
    for (const Recorder::Wall& w : p.walls) out += wall(p, w, extents[static_cast<size_t>(w.group)], b, paths, labels);
    for (size_t i = 0; i < p.paths.size(); ++i) out += instance(p.paths[i], runs[i]);
    for (const Point& c : p.centres) out += shape("centre", c.x, c.y, kInk);
    for (const Spot& s : marks) {
        out += "<g class=\"event\">" + shape(marks::nameOf(s.kind).shape, s.x, s.y, kInk);
        const std::string count = "\xC3\x97" + num(s.count);
        if (s.count > 1) out += text(labels.place(count, s.x, s.y), count, "count", kInk);
        out += "</g>\n";
    }
    labels.extend(area);
    return out;
}

}  // namespace

std::string svg(const Recorder& recorder) {
    const std::vector<Panel>& panels_ = recorder.panels();
    struct Laid {
        Rect area;  // the panel's rectangle, in the run's coordinates
        std::string body;
        std::vector<Row> legend;
    };
    std::vector<Laid> laid;
    int64_t width = 0, height = 0;
    for (const Panel& p : panels_) {
        const std::vector<Spot> marks = spots(p);
        const std::vector<Box> extents = groupExtents(p);
        const Box b = frameOf(p, marks, extents);
        Laid& l = laid.emplace_back();
        l.area = {b.minX - kMargin, b.minY - kMargin, b.maxX + kMargin, b.maxY + kMargin};
        Runs runs;
        for (const Path& path : p.paths) runs.push_back(stretches(path));
        l.body = panelBody(p, b, marks, extents, runs, l.area);
        l.legend = legendRows(p, marks, runs);
        width = std::max(width, l.area.x1 - l.area.x0 + 4 + kLegendWidth);
        height += kTitle + std::max(l.area.y1 - l.area.y0 + 4, legendHeight(l.legend));
    }
    // The bodies are most of it: the document is made once, at its size.
    size_t size = 1024;
    for (const Laid& l : laid) size += l.body.size() + 1024 + l.legend.size() * 256;
    std::string out;
    out.reserve(size);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" + num(height) +
           "\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    int64_t top = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        Laid& l = laid[i];
        const int64_t w = l.area.x1 - l.area.x0 + 4, h = l.area.y1 - l.area.y0 + 4;
        out += "<g class=\"frame\">\n";
        out += "<text x=\"4\" y=\"" + num(top + 18) + "\" font-size=\"14\">" + escape(panels_[i].name) + "</text>\n";
        out += "<g transform=\"translate(" + pt(2 - l.area.x0, top + kTitle + 2 - l.area.y0) + ")\">\n";
        out += "<rect class=\"panel\" x=\"" + num(l.area.x0 - 2) + "\" y=\"" + num(l.area.y0 - 2) + "\" width=\"" +
               num(w) + "\" height=\"" + num(h) + "\" fill=\"#fafafa\" stroke=\"#cccccc\"/>\n";
        out += l.body;
        std::string().swap(l.body);
        out += "</g>\n";
        out += legend(l.legend, w + 12, top + kTitle);
        out += "</g>\n";
        top += kTitle + std::max(h, legendHeight(l.legend));
    }
    out += "</svg>\n";
    return out;
}

}  // namespace standin
